#pragma once
// The z-score chart a clinician reads a spirometry by: one line per index on a horizontal scale
// from -5 to +3, the lower limit of normal at -1.645 with the abnormal side shaded, and a mark per
// index where its z-score lies: filled in the result's colour, the reference's hollow in grey.

#include <QColor>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

namespace vm::plots {

inline constexpr double kZScaleLowest = -5.0;
inline constexpr double kZScaleHighest = 3.0;
inline constexpr double kLowerLimitOfNormal_z = -1.645;

struct ZScoreLine {
    QString name;                    // "FEV1"
    std::optional<double> result;    // none: no mark
    std::optional<double> reference; // none: no mark
};

// Draws the whole chart over the picture. A z-score beyond the scale stands at its end.
void DrawZScoreChart(QImage& picture, const std::vector<ZScoreLine>& lines,
                     const QColor& resultColour);

// Where a z-score stands on a chart of this width: the x of its mark, in pixels.
double zScoreChartX(double z, int pictureWidth);

} // namespace vm::plots

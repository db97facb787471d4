#include "plots/z_score_chart.h"

#include "plots/chart_axes.h"
#include "plots/plot_fonts.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace vm::plots {

namespace {

constexpr int kNameWidth = 70;
constexpr int kMargin = 10;
constexpr double kMarkRadius = 5.0;

ChartScale zScale(int width, int height, int labelHeight) {
    ChartScale scale;
    scale.area = QRectF(kNameWidth, kMargin, width - kNameWidth - kMargin,
                        height - 2 * kMargin - labelHeight);
    scale.xMin = kZScaleLowest;
    scale.xMax = kZScaleHighest;
    return scale;
}

} // namespace

double zScoreChartX(double z, int pictureWidth) {
    ChartScale scale = zScale(pictureWidth, 100, 0);
    return scale.x(std::clamp(z, kZScaleLowest, kZScaleHighest));
}

void DrawZScoreChart(QImage& picture, const std::vector<ZScoreLine>& lines,
                     const QColor& resultColour) {
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(defaultPlotFont(8));
    const QFontMetrics metrics(painter.font());
    const ChartScale scale = zScale(picture.width(), picture.height(), metrics.height() + 2);
    const QRectF& area = scale.area;

    // Below the lower limit of normal: abnormal.
    painter.fillRect(QRectF(QPointF(scale.x(kZScaleLowest), area.top()),
                            QPointF(scale.x(kLowerLimitOfNormal_z), area.bottom())),
                     QColor(250, 220, 220));
    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int z = static_cast<int>(kZScaleLowest); z <= static_cast<int>(kZScaleHighest); ++z)
        painter.drawLine(QPointF(scale.x(z), area.top()), QPointF(scale.x(z), area.bottom()));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(area.bottomLeft(), area.bottomRight());
    for (int z = static_cast<int>(kZScaleLowest); z <= static_cast<int>(kZScaleHighest); ++z) {
        const QString label = QString::number(z);
        painter.drawText(QPointF(scale.x(z) - metrics.horizontalAdvance(label) / 2.0,
                                 area.bottom() + metrics.ascent() + 2),
                         label);
    }
    painter.setPen(QPen(QColor(200, 0, 0), 1.5, Qt::DashLine));
    painter.drawLine(QPointF(scale.x(kLowerLimitOfNormal_z), area.top()),
                     QPointF(scale.x(kLowerLimitOfNormal_z), area.bottom()));
    const QString lln = QStringLiteral("DGN ") + localNumber(kLowerLimitOfNormal_z, 3);
    painter.drawText(QPointF(scale.x(kLowerLimitOfNormal_z) + 3, area.top() + metrics.ascent()),
                     lln);

    if (lines.empty())
        return;
    const double pitch = area.height() / static_cast<double>(lines.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const double y = area.top() + pitch * (static_cast<double>(k) + 0.5);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawText(QPointF(kMargin, y + metrics.ascent() / 2.0), lines[k].name);
        painter.setPen(QPen(QColor(150, 150, 150), 1));
        painter.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        if (lines[k].reference) {
            painter.setPen(QPen(QColor(90, 90, 90), 1.5));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(QPointF(zScoreChartX(*lines[k].reference, picture.width()), y),
                                kMarkRadius, kMarkRadius);
        }
        if (lines[k].result) {
            painter.setPen(QPen(resultColour.darker(130), 1));
            painter.setBrush(resultColour);
            painter.drawEllipse(QPointF(zScoreChartX(*lines[k].result, picture.width()), y),
                                kMarkRadius, kMarkRadius);
        }
    }
}

} // namespace vm::plots

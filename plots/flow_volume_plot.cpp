#include "plots/flow_volume_plot.h"

#include "plots/plot_fonts.h"
#include "plots/plot_pixels.h"
#include "plots/row_colors.h"
#include "record/simulation_record.h"

#include <cmath>

using namespace vm::record;

namespace vm::plots {

namespace {

// Plot geometry in percent of the image.
constexpr float kX0 = 6.0f;          // zero expired volume
constexpr float kSx = 11.5f;         // per litre of expired volume
constexpr float kY0 = 72.0f;         // zero flow
constexpr float kSy = 5.6f;          // per l/s
constexpr int kVolumeTicks = 8;      // litres
constexpr int kExpiratoryTicks = 6;  // every 2 l/s
constexpr int kInspiratoryTicks = 2; // every 2 l/s
constexpr int kFev1MarkPixels = 8;
constexpr int kFontPoints = 8;

float volumeX(long double expired_l) {
    return toPercent(kX0 + kSx * expired_l);
}
float flowY(long double flow_lps) {
    return toPercent(kY0 + kSy * flow_lps);
}

void drawFrame(PlotFrame& frame) {
    const float volumeEnd = volumeX(kVolumeTicks);
    const float expiratoryEnd = flowY(-2.0L * kExpiratoryTicks);
    const float inspiratoryEnd = flowY(2.0L * kInspiratoryTicks);

    frame.drawAxis(kX0, kY0, volumeEnd, kY0);
    frame.drawAxis(kX0, kY0, kX0, expiratoryEnd);
    frame.drawAxis(kX0, kY0, kX0, inspiratoryEnd);

    frame.drawHorizontalAxisName(QStringLiteral("Vol (l)"), volumeEnd, kY0);
    frame.drawVerticalAxisName(QStringLiteral("Flow exp. (l/s)"), kX0, expiratoryEnd);
    frame.drawVerticalAxisName(QStringLiteral("Flow insp. (l/s)"), kX0, inspiratoryEnd);

    for (int k = 1; k <= kVolumeTicks; ++k) {
        frame.drawHorizontalTick(volumeX(k), kY0);
        frame.drawHorizontalTickLabel(k, volumeX(k), kY0);
    }
    for (int k = 1; k <= kExpiratoryTicks; ++k) {
        const float y = flowY(-2.0L * k);
        frame.drawVerticalTick(kX0, y);
        frame.drawVerticalTickLabel(2 * k, kX0, y);
    }
    for (int k = 1; k <= kInspiratoryTicks; ++k) {
        const float y = flowY(2.0L * k);
        frame.drawVerticalTick(kX0, y);
        frame.drawVerticalTickLabel(-2 * k, kX0, y);
    }
}

} // namespace

void DrawFlowVolumePlot(QImage& canvas, const SimulationRecord& record, int selectedRow,
                        const ReplayHook* replay) {
    if (canvas.isNull())
        return; // an image control not laid out yet has nothing to draw on
    PlotFrame frame(canvas);
    frame.clear();
    frame.setFont(defaultPlotFont(kFontPoints));
    drawFrame(frame);

    // Row 4 is kept with the record but never drawn; the reference is never drawn thick.
    const auto widthOf = [selectedRow](int row) { return row >= 1 && row == selectedRow ? 3 : 1; };
    for (const int row : {0, 3, 2, 1}) {
        DrawFlowVolumeCurve(frame, record, row, rowColors()[row], widthOf(row), replay);
        DrawFev1Marker(frame, record, row, rowColors()[row]);
    }
}

void DrawFlowVolumeCurve(PlotFrame& frame, const SimulationRecord& record, int row,
                         const QColor& colour, int widthPixels, const ReplayHook* replay) {
    using layout::kFvSamples;
    // Vpos: the smallest volume of the curve (only the replay uses it); Vmax: the largest, where
    // the curve starts at zero expired volume. Values that are not finite numbers take no part.
    float vPos = 100.0f;
    float vMax = -100.0f;
    for (int n = 1; n <= kFvSamples; ++n) {
        const float v = record.fvVolume(row, n);
        if (!std::isfinite(v))
            continue;
        if (v > 0.0f && v < 100.0f && v < vPos)
            vPos = v;
        if (v > vMax)
            vMax = v;
    }
    const auto x = [&](int n) {
        return volumeX(static_cast<long double>(vMax) - record.fvVolume(row, n));
    };
    const auto y = [&](int n) { return flowY(record.fvFlow(row, n)); };
    const bool replaying = replay != nullptr && *replay && widthPixels >= 2;

    frame.moveTo(x(1), y(1));
    frame.setPenColour(colour);
    frame.setPenWidth(widthPixels);
    frame.setPenHidden(false);
    for (int n = 2; n <= kFvSamples; ++n) {
        const float volume = record.fvVolume(row, n);
        if (volume == 0.0f)
            break;
        frame.setPenHidden(record.fvFlow(row, n) == 0.0f);
        frame.lineTo(x(n), y(n));
        if (replaying) {
            if (record.lobeTraceA(row, n, 1) == 0.0f)
                break;
            if (frame.penPosition() && !(*replay)(row, n, volume, vMax, vPos))
                break;
        }
    }
    frame.setPenColour(Qt::black);
    frame.setPenHidden(false);
}

void DrawFev1Marker(PlotFrame& frame, const SimulationRecord& record, int row,
                    const QColor& colour) {
    const float fev1 = record.field(row, RowField::fev1);
    const float frc = record.field(row, RowField::frc);
    if (record.fvVolume(row, 2) == 0.0f || !(fev1 > 0.0f) || !(frc > 0.0f))
        return;
    frame.setPenColour(colour);
    frame.setPenHidden(false);
    const std::optional<QPoint> foot =
        frame.pixelOf(volumeX(fev1), flowY(record.field(row, RowField::flowAt1s)));
    frame.moveToPixel(foot);
    if (foot)
        frame.lineToPixel(QPoint(foot->x(), foot->y() - kFev1MarkPixels));
    frame.setPenColour(Qt::black);
}

} // namespace vm::plots

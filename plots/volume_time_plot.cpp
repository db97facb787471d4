#include "plots/volume_time_plot.h"

#include "plots/plot_fonts.h"
#include "plots/plot_frame.h"
#include "plots/plot_pixels.h"
#include "plots/row_colors.h"
#include "record/simulation_record.h"

using namespace vm::record;

namespace vm::plots {

namespace {

// Plot geometry in percent of the image.
constexpr float kX0 = 6.0f;  // time 0
constexpr float kSx = 1.52f; // per second
constexpr float kY0 = 92.0f; // volume 0
constexpr float kSy = 8.0f;  // per litre, upward
constexpr int kSeconds = 60;
constexpr int kVolumeTicks = 5; // every 2 litres
constexpr float kTimeAxisVolume_l = 1.0f;
constexpr int kFontPoints = 7;
const QColor kFrcLineColour(192, 192, 192);
const QColor kClockColour(255, 255, 0);

float timeX(long double time_s) {
    return toPercent(kX0 + kSx * time_s);
}
float volumeY(long double volume_l) {
    return toPercent(kY0 - kSy * volume_l);
}

QFont frameFont() {
    return plotFont(QStringLiteral("MS Serif"), kFontPoints, QFont::Serif);
}

} // namespace

QString runClockText(double runClockTime_s, QChar decimalSeparator) {
    QString text = QString::number(runClockTime_s, 'f', 2);
    text.replace(QChar(u'.'), decimalSeparator);
    return text + QStringLiteral("    ");
}

void VolumeTimePlot::DrawVolumeTimeStep(QImage& canvas, const SimulationRecord& record, int row) {
    checkRow(row);
    // An image control not laid out yet has nothing to draw on; a step past the last sample a
    // row holds has nothing to draw. Either way the step counts.
    if (!canvas.isNull()) {
        if (vtStep_ == 1)
            drawFrame(canvas, record);
        else if (vtStep_ >= 2 && vtStep_ <= layout::kVtSamples)
            drawCurveSegment(canvas, record, row, vtStep_);
    }
    ++vtStep_;
}

void VolumeTimePlot::drawFrame(QImage& canvas, const SimulationRecord& record) {
    PlotFrame frame(canvas);
    frame.clear();
    frame.setFont(frameFont());

    const float axisY = volumeY(kTimeAxisVolume_l);
    const float timeEnd = timeX(kSeconds);
    const float volumeTop = volumeY(2.0L * kVolumeTicks);
    frame.drawAxis(kX0, axisY, timeEnd, axisY);
    frame.drawAxis(kX0, axisY, kX0, volumeTop);
    frame.drawHorizontalAxisName(QStringLiteral("t (s)"), timeEnd, axisY);
    frame.drawVerticalAxisName(QStringLiteral("Vol (l)"), kX0, volumeTop);

    for (int k = 1; k <= kSeconds / 2; ++k) {
        const float x = timeX(2.0L * k);
        frame.drawHorizontalTick(x, axisY);
        if ((2 * k) % 10 == 0)
            frame.drawHorizontalTickLabel(2 * k, x, axisY);
    }
    for (int k = 1; k <= kVolumeTicks; ++k) {
        const float y = volumeY(2.0L * k);
        frame.drawVerticalTick(kX0, y);
        frame.drawVerticalTickLabel(2 * k, kX0, y);
    }

    // The reference FRC, from one pixel right of the volume axis to the end of the time axis,
    // named at its right end.
    const std::optional<QPoint> axisFoot = frame.pixelOf(kX0, axisY);
    const std::optional<QPoint> frcEnd =
        frame.pixelOf(timeEnd, volumeY(record.field(referenceRow, RowField::frc)));
    frame.setPenColour(kFrcLineColour);
    if (axisFoot && frcEnd) {
        frame.moveToPixel(QPoint(axisFoot->x() + 1, frcEnd->y()));
        frame.lineToPixel(*frcEnd);
        const QString name = QStringLiteral("FRC(ref)");
        frame.drawOpaqueText(frcEnd->x() - frame.textWidth(name),
                             frcEnd->y() - frame.textSizes().th, name);
    }
    penPosition_ = frame.penPosition();
}

void VolumeTimePlot::drawCurveSegment(QImage& canvas, const SimulationRecord& record, int row,
                                      int sample) {
    PlotFrame frame(canvas);
    frame.setPenPosition(penPosition_);
    frame.setPenColour(rowColors()[row]);
    const auto point = [&](int k) {
        return frame.pixelOf(timeX(record.vtTime(row, k)), volumeY(record.vtVolume(row, k)));
    };
    if (sample == 2)
        frame.moveToPixel(point(1));
    frame.lineToPixel(point(sample));
    penPosition_ = frame.penPosition();
}

void VolumeTimePlot::RedrawVolumeTimeCurve(QImage& canvas, const SimulationRecord& record,
                                           int selectedRow) {
    checkRow(selectedRow);
    vtStep_ = 1;
    for (int i = 1; i <= layout::kVtSamples; ++i) {
        if (record.vtTime(selectedRow, i) == 0.0f)
            break;
        DrawVolumeTimeStep(canvas, record, selectedRow);
    }
}

void VolumeTimePlot::LiveFrameTick(QImage& canvas, const SimulationRecord& record) {
    DrawVolumeTimeStep(canvas, record, workingRow);
}

void VolumeTimePlot::ShowRunClock(QImage& canvas, double runClockTime_s, QChar decimalSeparator) {
    if (canvas.isNull())
        return;
    // Text never moves the pen position, and every step sets its own font and fill colour, so
    // the next segment continues where the last one ended and the frame's labels stay on white.
    PlotFrame frame(canvas);
    frame.setFillColour(kClockColour);
    frame.setFont(plotFont(QStringLiteral("arial"), kFontPoints, QFont::SansSerif));
    frame.drawOpaqueText(frame.width() - frame.textWidth(QStringLiteral("000,00")), 0,
                         runClockText(runClockTime_s, decimalSeparator));
}

} // namespace vm::plots

#include "canvas_probe.h"
#include "plots/flow_volume_plot.h"
#include "plots/plot_fonts.h"
#include "plots/volume_time_plot.h"
#include "record/simulation_record.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace vm::record;
using namespace vm::plots;

using namespace canvas_probe;

namespace {

// Geometry on a 400 x 300 image, from x% = 6 + 1.52 t and y% = 92 - 8 V: the time axis (1 l) at
// y 252 from x 24 to 389; the volume axis at x 24 up to y 36; volume ticks 2..10 l at y 228,
// 180, 132, 84, 36; a volume of 5 l at y 156, 3 l at 204, 4 l at 180, 2.5 l at 216.

// Row 1: (10 s, 5 l) (20 s, 5 l) (30 s, 3 l) (40 s, 3 l) (50 s, 4 l), then no more samples:
// (85,156) (146,156) (206,204) (267,204) (328,180).
SimulationRecord fiveSamples() {
    SimulationRecord record;
    const float volumes[] = {5, 5, 3, 3, 4};
    for (int k = 1; k <= 5; ++k) {
        record.setVtTime(1, k, 10.0f * k);
        record.setVtVolume(1, k, volumes[k - 1]);
    }
    record.setField(0, RowField::frc, 2.5f);
    return record;
}

QImage frameOf(const SimulationRecord& record) {
    QImage canvas = blankCanvas(kW, kH);
    VolumeTimePlot plot;
    plot.DrawVolumeTimeStep(canvas, record, 1);
    EXPECT_EQ(plot.vtStep(), 2);
    return canvas;
}

TEST(VolumeTimePlot, FrameAxesAndTicksLieOnTheComputedPixels) {
    const QImage canvas = frameOf(fiveSamples());
    EXPECT_EQ(columnsOf(canvas, 252, kBlack), Range(24, 389)); // 389: the 60-s tick
    EXPECT_EQ(rowsOf(canvas, 24, kBlack), Range(36, 252));     // 36: the 10-litre tick
    // Time ticks every 2 s, 4 pixels below the axis (rows 252..255).
    const std::vector<int> timeTicks = {36,  48,  60,  73,  85,  97,  109, 121, 133, 146,
                                        158, 170, 182, 194, 206, 219, 231, 243, 255, 267,
                                        279, 292, 304, 316, 328, 340, 352, 364, 377, 389};
    EXPECT_EQ(columnsOf(canvas, 255, kBlack), timeTicks);
    const std::vector<int> volumeTicks = {36, 84, 132, 180, 228};
    EXPECT_EQ(rowsOf(canvas, 21, kBlack), volumeTicks);
    // Labels only under every fifth time tick: "10" under x 85, none under x 73 or 97.
    EXPECT_GT(countNot(canvas, QRect(80, 256, 16, 14), kWhite), 0);
    EXPECT_EQ(countNot(canvas, QRect(60, 256, 16, 14), kWhite), 0);
}

// The reference FRC (2.5 l, y 216) from one pixel right of the volume axis to the axis end.
TEST(VolumeTimePlot, ReferenceFrcLineIsSilverWithItsNameAtTheRightEnd) {
    const QImage canvas = frameOf(fiveSamples());
    EXPECT_EQ(columnsOf(canvas, 216, kSilver), Range(25, 388));
    EXPECT_TRUE(is(canvas, 24, 216, kBlack));
    const QFontMetrics m(plotFont(QStringLiteral("MS Serif"), 7, QFont::Serif), &canvas);
    const QRect name(389 - m.horizontalAdvance("FRC(ref)"), 216 - m.height(),
                     m.horizontalAdvance("FRC(ref)"), m.height());
    EXPECT_GT(countColour(canvas, name, kBlack), 0);
    EXPECT_EQ(countColour(canvas, QRect(250, 150, 150, 66), kBlack),
              countColour(canvas, name, kBlack));

    // A zero FRC still draws the line, at 92 %: y 276, below the time axis.
    SimulationRecord noFrc = fiveSamples();
    noFrc.setField(0, RowField::frc, 0);
    EXPECT_EQ(columnsOf(frameOf(noFrc), 276, kSilver), Range(25, 388));
}

TEST(VolumeTimePlot, RedrawDrawsTheSelectedRowToItsLastSample) {
    const SimulationRecord record = fiveSamples();
    QImage canvas = blankCanvas(kW, kH);
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(canvas, record, 1);
    EXPECT_EQ(plot.vtStep(), 6); // k + 1 for k samples
    // The next segment starts at (146,156), where this one ended.
    EXPECT_EQ(columnsOf(canvas, 156, kRed), Range(85, 146));
    // Along 3 l from (206,204) to (267,204); the next segment rises 24 pixels over 61, so it
    // leaves row 204 only after (268,204), where the line is 0.39 pixel up.
    EXPECT_EQ(columnsOf(canvas, 204, kRed), Range(206, 268));
    // The last segment ends on sample 5 at (328,180); nothing is drawn beyond it.
    EXPECT_TRUE(is(canvas, 327, 180, kRed));
    EXPECT_EQ(countColour(canvas, QRect(328, 0, kW - 328, kH), kRed), 0);
}

TEST(VolumeTimePlot, RedrawOfARowWithoutSamplesLeavesTheCanvasAlone) {
    const SimulationRecord record = fiveSamples();
    QImage canvas = blankCanvas(kW, kH);
    canvas.fill(Qt::blue);
    const QImage before = canvas.copy();
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(canvas, record, 2);
    EXPECT_EQ(canvas, before);
    EXPECT_EQ(plot.vtStep(), 1);
}

// A row with all 1000 samples draws to sample 1000; a step beyond it reads nothing and draws
// nothing, however far beyond.
TEST(VolumeTimePlot, StepsBeyondSample1000DrawNothing) {
    SimulationRecord record;
    for (int k = 1; k <= 1000; ++k) {
        record.setVtTime(3, k, 0.06f * k);              // 60 s at sample 1000
        record.setVtVolume(3, k, k == 1000 ? 9 : 3.0f); // a jump up to 9 l at the end
    }
    QImage canvas = blankCanvas(kW, kH);
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(canvas, record, 3);
    EXPECT_EQ(plot.vtStep(), 1001);
    // The jump to sample 1000 (60 s, 9 l: x 389, y 60) is drawn: purple above the 3-l line.
    EXPECT_GT(countColour(canvas, QRect(380, 61, 10, 130), QColor(128, 0, 128)), 0);
    const QImage before = canvas.copy();
    for (int i = 0; i < 3; ++i)
        EXPECT_NO_THROW(plot.DrawVolumeTimeStep(canvas, record, 3));
    EXPECT_EQ(canvas, before);
    EXPECT_EQ(plot.vtStep(), 1004);
    plot.setVtStep(1 << 30);
    EXPECT_NO_THROW(plot.DrawVolumeTimeStep(canvas, record, 3));
    EXPECT_EQ(canvas, before);
}

// During a run each tick adds the segment to the sample just stored; the clock in between must
// not disturb where the next segment starts.
TEST(VolumeTimePlot, LiveTicksGrowTheCurveSegmentBySegment) {
    const SimulationRecord record = fiveSamples();
    QImage canvas = blankCanvas(kW, kH);
    canvas.fill(Qt::blue);
    VolumeTimePlot plot;
    plot.setVtStep(1);
    plot.LiveFrameTick(canvas, record); // the frame
    EXPECT_EQ(countColour(canvas, canvas.rect(), Qt::blue), 0);
    EXPECT_EQ(countColour(canvas, canvas.rect(), kRed), 0);
    std::vector<int> redPixels;
    for (int tick = 2; tick <= 5; ++tick) {
        plot.LiveFrameTick(canvas, record);
        plot.ShowRunClock(canvas, 0.1 * tick, QChar(u','));
        redPixels.push_back(countColour(canvas, canvas.rect(), kRed));
    }
    for (std::size_t i = 1; i < redPixels.size(); ++i)
        EXPECT_GT(redPixels[i], redPixels[i - 1]);
    EXPECT_EQ(redPixels.front(), 61); // (85,156) up to (146,156)
    EXPECT_TRUE(is(canvas, 146, 156, kRed));
    EXPECT_TRUE(is(canvas, 206, 204, kRed));
    EXPECT_EQ(plot.vtStep(), 6);
}

TEST(VolumeTimePlot, runClockText) {
    EXPECT_EQ(runClockText(3.5, QChar(u',')), QStringLiteral("3,50    "));
    EXPECT_EQ(runClockText(3.5, QChar(u'.')), QStringLiteral("3.50    "));
    EXPECT_EQ(runClockText(59.999, QChar(u',')), QStringLiteral("60,00    "));
    EXPECT_EQ(runClockText(0, QChar(u',')), QStringLiteral("0,00    "));
}

// The read-out stands at the top-right corner, W - width("000,00") from the left, black on
// yellow, as high as one line of "arial" at the plot's size.
TEST(VolumeTimePlot, RunClockShowsInTheCornerOnYellow) {
    QImage canvas = frameOf(fiveSamples());
    VolumeTimePlot plot;
    plot.ShowRunClock(canvas, 3.5, QChar(u','));
    const QFontMetrics m(plotFont(QStringLiteral("arial"), 7, QFont::SansSerif), &canvas);
    const int left = kW - m.horizontalAdvance(QStringLiteral("000,00"));
    const QRect box =
        QRect(left, 0, m.horizontalAdvance(QStringLiteral("3,50    ")), m.height()) & canvas.rect();
    EXPECT_EQ(countColour(canvas, box, kYellow) + countColour(canvas, box, kBlack),
              box.width() * box.height());
    EXPECT_GT(countColour(canvas, box, kBlack), 0);
    EXPECT_GT(countColour(canvas, box, kYellow), 0);
    EXPECT_EQ(countColour(canvas, canvas.rect(), kYellow), countColour(canvas, box, kYellow));
    // The digits are drawn from the box's left edge: "3" ends before "3," would.
    EXPECT_GT(countColour(canvas, QRect(left, 0, m.horizontalAdvance("3"), m.height()), kBlack), 0);
}

TEST(VolumeTimePlot, NonFiniteAndHugeSamplesDoNotStopTheDrawing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    SimulationRecord record = fiveSamples();
    record.setVtVolume(1, 3, nan); // samples 2..4 lose their lines to and from sample 3
    record.setVtTime(1, 5, 1e30f);
    for (int k = 1; k <= 1000; ++k) {
        record.setVtTime(2, k, k % 2 ? inf : -3e38f);
        record.setVtVolume(2, k, nan);
    }
    record.setField(0, RowField::frc, nan);
    QImage canvas = blankCanvas(kW, kH);
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(canvas, record, 1);
    EXPECT_EQ(plot.vtStep(), 6);
    EXPECT_EQ(columnsOf(canvas, 156, kRed), Range(85, 145));
    EXPECT_FALSE(is(canvas, 146, 156, kRed));
    EXPECT_EQ(countColour(canvas, canvas.rect(), kSilver), 0); // no FRC line at a NaN height
    // The line from sample 4 (267,204) towards a time far beyond the axis runs off to the right.
    EXPECT_TRUE(is(canvas, 267, 204, kRed));
    EXPECT_GT(countColour(canvas, QRect(390, 190, 10, 20), kRed), 0);

    plot.RedrawVolumeTimeCurve(canvas, record, 2);
    EXPECT_EQ(plot.vtStep(), 1001);
    EXPECT_EQ(countColour(canvas, canvas.rect(), QColor(0, 128, 0)), 0);
}

} // namespace

namespace {

// Before the window is laid out an image may have no pixels; the plots then draw nothing and
// say nothing, and the step still counts.
TEST(PlotsOnAnEmptyImage, DrawNothingQuietly) {
    static int messages = 0;
    messages = 0;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString&) { ++messages; });
    const SimulationRecord record = fiveSamples();
    QImage none;
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(none, record, 1);
    plot.ShowRunClock(none, 1.0, QChar(u','));
    DrawFlowVolumePlot(none, record, 1);
    qInstallMessageHandler(previous);
    EXPECT_EQ(plot.vtStep(), 6);
    EXPECT_TRUE(none.isNull());
    EXPECT_EQ(messages, 0);
}

} // namespace

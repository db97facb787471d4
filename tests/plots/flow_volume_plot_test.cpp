#include "canvas_probe.h"
#include "plots/flow_volume_plot.h"
#include "record/simulation_record.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

using namespace vm::record;
using namespace vm::plots;

using namespace canvas_probe;

namespace {

// Geometry on a 400 x 300 image, worked out from x% = 6 + 11.5 V_expired, y% = 72 + 5.6 flow:
// volume axis at y 216 from x 24 to 392; expired litres 1..8 at x 70, 116, 162, 208, 254, 300,
// 346, 392; flows -2, -4, -6, -8, -10, -12 at y 182, 149, 115, 82, 48, 14; +2, +4 at y 250, 283.

// A curve of constant flow: volumes 5, 4, 3 litres, then 0 ends it. It runs from x 24 to 116.
void putFlatCurve(SimulationRecord& record, int row, float flow) {
    const float volumes[] = {5, 4, 3};
    for (int n = 1; n <= 3; ++n) {
        record.setFvVolume(row, n, volumes[n - 1]);
        record.setFvFlow(row, n, flow);
    }
}

QImage draw(const SimulationRecord& record, int selectedRow, const ReplayHook* replay = nullptr,
            int width = kW, int height = kH) {
    QImage canvas = blankCanvas(width, height);
    DrawFlowVolumePlot(canvas, record, selectedRow, replay);
    return canvas;
}

TEST(FlowVolumePlot, AxesAndTicksLieOnTheComputedPixels) {
    const SimulationRecord empty;
    const QImage canvas = draw(empty, -1);
    // The volume axis, with the flow axis crossing it at x 24.
    EXPECT_EQ(columnsOf(canvas, 216, kBlack), Range(24, 391 + 1)); // 392: the 8-litre tick
    // Just above the tick labels only the ticks and the lower flow axis remain.
    const std::vector<int> ticks = {24, 70, 116, 162, 208, 254, 300, 346, 392};
    EXPECT_EQ(columnsOf(canvas, 219, kBlack), ticks);
    // The flow axis from its top tick (y 14) to its bottom tick (y 283).
    EXPECT_EQ(rowsOf(canvas, 24, kBlack), Range(14, 283));
    // Flow ticks reach 4 pixels left of the axis: x 21..24.
    const std::vector<int> flowTicks = {14, 48, 82, 115, 149, 182, 250, 283};
    EXPECT_EQ(rowsOf(canvas, 22, kBlack), flowTicks);
    EXPECT_EQ(rowsOf(canvas, 21, kBlack), flowTicks);
    EXPECT_TRUE(rowsOf(canvas, 20, kBlack).empty()); // ticks end before x 20, labels at x 17
    // Labels stand below the volume ticks and left of the flow ticks.
    EXPECT_GT(countNot(canvas, QRect(60, 220, 25, 15), kWhite), 0); // "1"
    EXPECT_GT(countNot(canvas, QRect(0, 105, 20, 20), kWhite), 0);  // "6"
    EXPECT_GT(countNot(canvas, QRect(0, 240, 20, 20), kWhite), 0);  // "-2"
}

// The same picture on 300 x 200: ticks at 17.5 %, 40.5 %, 63.5 % and 86.5 % land on exactly
// half a pixel (52.5, 121.5, 190.5, 259.5) and go to the even neighbour.
TEST(FlowVolumePlot, HalfPixelTicksRoundToEven) {
    const SimulationRecord empty;
    const QImage canvas = draw(empty, -1, nullptr, 300, 200);
    const std::vector<int> ticks = {18, 52, 87, 122, 156, 190, 225, 260, 294};
    EXPECT_EQ(columnsOf(canvas, 147, kBlack), ticks); // axis at y 144, ticks to 147
}

// Rows 0..3 in their colours, each one pixel wide, except the selected result.
TEST(FlowVolumePlot, EachRowInItsColourAndTheSelectedResultThreePixelsWide) {
    SimulationRecord record;
    putFlatCurve(record, 0, -2); // y 182
    putFlatCurve(record, 1, -4); // y 149
    putFlatCurve(record, 2, -6); // y 115
    putFlatCurve(record, 3, -8); // y 82
    struct Row {
        QColor colour;
        int y;
        int row;
    };
    const Row rows[] = {{kBlack, 182, 0}, {kRed, 149, 1}, {kGreen, 115, 2}, {kPurple, 82, 3}};
    for (const int selected : {-1, 0, 1, 2, 3}) {
        const QImage canvas = draw(record, selected);
        for (const Row& r : rows) {
            const int half = r.row == selected && selected >= 1 ? 1 : 0;
            std::vector<int> expected = Range(r.y - half, r.y + half);
            std::vector<int> found;
            for (const int y : rowsOf(canvas, 60, r.colour))
                if (y > r.y - 10 && y < r.y + 10)
                    found.push_back(y);
            EXPECT_EQ(found, expected) << "row " << r.row << " selected " << selected;
        }
        // The curve runs from the flow axis to 3 litres left in the lung.
        EXPECT_TRUE(is(canvas, 25, 149, kRed));
        EXPECT_TRUE(is(canvas, 115, 149, kRed));
        EXPECT_FALSE(is(canvas, 117, 149, kRed)) << selected;
    }
}

// The newest result is drawn last, over the older ones and the reference.
TEST(FlowVolumePlot, DrawingOrderPutsTheNewestResultOnTop) {
    SimulationRecord record;
    for (int row = 0; row <= 3; ++row)
        putFlatCurve(record, row, -6);
    EXPECT_TRUE(is(draw(record, -1), 60, 115, kRed));
    record.clearFvVolume(1);
    EXPECT_TRUE(is(draw(record, -1), 60, 115, kGreen)); // row 2 after rows 0 and 3
    record.clearFvVolume(2);
    EXPECT_TRUE(is(draw(record, -1), 60, 115, kPurple)); // row 3 after row 0
}

// Samples: (5 l, -6) (4 l, -6) (3 l, -6) (2 l, 0) (1 l, -2) (0 l, -4) (0.5 l, -4), that is
// (24,115) (70,115) (116,115) (162,216) (208,182), then the zero volume ends the curve.
TEST(FlowVolumePlot, ZeroFlowLeavesAGapAndZeroVolumeEndsTheCurve) {
    SimulationRecord record;
    const float volumes[] = {5, 4, 3, 2, 1, 0, 0.5f};
    const float flows[] = {-6, -6, -6, 0, -2, -4, -4};
    for (int n = 1; n <= 7; ++n) {
        record.setFvVolume(1, n, volumes[n - 1]);
        record.setFvFlow(1, n, flows[n - 1]);
    }
    const QImage canvas = draw(record, -1);
    EXPECT_EQ(columnsOf(canvas, 115, kRed), Range(24, 115));
    // The hidden segment (116,115) -> (162,216) leaves nothing.
    EXPECT_EQ(countColour(canvas, QRect(117, 117, 44, 98), kRed), 0);
    // The next segment starts at the end of the gap: (162,216) -> (208,182), through (185,199).
    EXPECT_TRUE(is(canvas, 162, 216, kRed));
    EXPECT_TRUE(is(canvas, 185, 199, kRed));
    // After sample 5 nothing more: neither to sample 6 (254,149) nor to sample 7.
    EXPECT_EQ(countColour(canvas, QRect(209, 0, kW - 209, kH), kRed), 0);
}

// fev1 3 l at a flow of -10 l/s: (162, 48), the mark from there 8 pixels up (rows 41..48).
TEST(FlowVolumePlot, Fev1MarkIsEightPixelsTallInTheRowsWidth) {
    SimulationRecord record;
    putFlatCurve(record, 1, -2);
    record.setField(1, RowField::fev1, 3);
    record.setField(1, RowField::flowAt1s, -10);
    record.setField(1, RowField::frc, 2.5f);
    const QImage thin = draw(record, -1);
    EXPECT_EQ(rowsOf(thin, 162, kRed), Range(41, 48));
    EXPECT_TRUE(rowsOf(thin, 161, kRed).empty());
    const QImage thick = draw(record, 1);
    for (const int x : {161, 162, 163})
        EXPECT_EQ(rowsOf(thick, x, kRed), Range(41, 48)) << x;
}

TEST(FlowVolumePlot, Fev1MarkNeedsACurveAPositiveFev1AndAPositiveFrc) {
    struct Case {
        const char* what;
        float secondVolume;
        float fev1;
        float frc;
    };
    const Case cases[] = {
        {"no curve", 0, 3, 2.5f},
        {"zero fev1", 4, 0, 2.5f},
        {"zero frc", 4, 3, 0},
        {"NaN fev1", 4, std::numeric_limits<float>::quiet_NaN(), 2.5f},
    };
    for (const Case& c : cases) {
        SimulationRecord record;
        record.setFvVolume(2, 1, 5);
        record.setFvVolume(2, 2, c.secondVolume);
        record.setField(2, RowField::fev1, c.fev1);
        record.setField(2, RowField::flowAt1s, -10);
        record.setField(2, RowField::frc, c.frc);
        EXPECT_EQ(countColour(draw(record, -1), QRect(150, 30, 30, 30), kGreen), 0) << c.what;
    }
}

// Row 4 is never drawn nor marked, even when it holds a curve and is "selected".
TEST(FlowVolumePlot, RowFourIsNeverDrawn) {
    SimulationRecord record;
    putFlatCurve(record, 4, -6);
    record.setField(4, RowField::fev1, 3);
    record.setField(4, RowField::flowAt1s, -10);
    record.setField(4, RowField::frc, 2.5f);
    const SimulationRecord empty;
    EXPECT_EQ(draw(record, 4), draw(empty, 4));
    EXPECT_EQ(draw(record, -1), draw(empty, -1));
}

TEST(FlowVolumePlot, RedrawClearsTheEarlierPicture) {
    QImage canvas = blankCanvas(kW, kH);
    canvas.fill(Qt::blue);
    const SimulationRecord empty;
    DrawFlowVolumePlot(canvas, empty, -1);
    EXPECT_EQ(canvas, draw(empty, -1));
}

struct ReplayCall {
    int row, sample;
    float volume, vMax, vPos;
};

// The replay hook sees each sample of the selected row after the line to it is drawn, and a
// zero first-lobe trace ends the curve. Volumes 5, 4, 3, 2 with traces 1, 1, 1, 0.
TEST(FlowVolumePlot, ReplayHookFollowsTheSelectedRowOnly) {
    SimulationRecord record;
    const float volumes[] = {5, 4, 3, 2};
    for (int n = 1; n <= 4; ++n) {
        record.setFvVolume(1, n, volumes[n - 1]);
        record.setFvFlow(1, n, -6);
        record.setLobeTraceA(1, n, 1, n < 4 ? 1.0f : 0.0f);
    }
    putFlatCurve(record, 2, -2);
    for (int n = 0; n <= 3; ++n)
        record.setLobeTraceA(2, n, 1, 1.0f);

    std::vector<ReplayCall> calls;
    QImage seenAtSample3;
    QImage canvas = blankCanvas(kW, kH);
    const ReplayHook hook = [&](int row, int n, float v, float vMax, float vPos) {
        calls.push_back({row, n, v, vMax, vPos});
        if (n == 3)
            seenAtSample3 = canvas.copy();
        return true;
    };
    DrawFlowVolumePlot(canvas, record, 1, &hook);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].row, 1);
    EXPECT_EQ(calls[0].sample, 2);
    EXPECT_EQ(calls[0].volume, 4.0f);
    EXPECT_EQ(calls[1].sample, 3);
    EXPECT_EQ(calls[1].vMax, 5.0f);
    EXPECT_EQ(calls[1].vPos, 2.0f);
    // The hook sees the curve drawn up to its sample: (70,115) -> (116,115) is there, 3 wide.
    EXPECT_TRUE(is(seenAtSample3, 100, 114, kRed));
    EXPECT_FALSE(is(seenAtSample3, 140, 115, kRed));
    // The line to sample 4 is drawn before its zero trace ends the curve.
    EXPECT_TRUE(is(canvas, 140, 115, kRed));

    calls.clear();
    DrawFlowVolumePlot(canvas, record, 2, &hook);
    ASSERT_EQ(calls.size(), 2u); // row 2's lines to samples 2 and 3; row 1 is now thin
    EXPECT_EQ(calls[0].row, 2);
    EXPECT_EQ(calls[1].row, 2);
    calls.clear();
    DrawFlowVolumePlot(canvas, record, 0, &hook);
    DrawFlowVolumePlot(canvas, record, -1, &hook);
    EXPECT_TRUE(calls.empty());
}

TEST(FlowVolumePlot, ReplayHookCanStopTheCurve) {
    SimulationRecord record;
    putFlatCurve(record, 1, -6);
    for (int n = 0; n <= 3; ++n)
        record.setLobeTraceA(1, n, 1, 1.0f);
    const ReplayHook stop = [](int, int, float, float, float) { return false; };
    const QImage canvas = draw(record, 1, &stop);
    EXPECT_TRUE(is(canvas, 50, 115, kRed));   // the line to sample 2
    EXPECT_FALSE(is(canvas, 100, 115, kRed)); // never the line to sample 3
    // Without replay the same row draws whole.
    EXPECT_TRUE(is(draw(record, 1), 100, 115, kRed));
}

// Values from a file that are not finite numbers, or absurdly large, draw what can be drawn.
TEST(FlowVolumePlot, NonFiniteAndHugeValuesDoNotStopTheDrawing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    SimulationRecord record;
    const float volumes[] = {5, 4, 3, inf, 2, 1.5f, 1};
    const float flows[] = {-6, -6, nan, -6, -6, 1e30f, -6};
    for (int n = 1; n <= 7; ++n) {
        record.setFvVolume(1, n, volumes[n - 1]);
        record.setFvFlow(1, n, flows[n - 1]);
    }
    record.setField(1, RowField::fev1, inf);
    record.setField(1, RowField::flowAt1s, nan);
    record.setField(1, RowField::frc, 2);
    for (int row = 2; row <= 3; ++row)
        for (int n = 1; n <= 1500; ++n) {
            record.setFvVolume(row, n, n % 2 ? nan : -inf);
            record.setFvFlow(row, n, n % 3 ? 3e38f : nan);
        }
    const QImage canvas = draw(record, 1);
    // (24,115) -> (70,115) stands; samples 3 and 4 are skipped with their lines; the curve
    // resumes at sample 5 (162,115) and heads straight down towards the huge flow of sample 6.
    EXPECT_TRUE(is(canvas, 50, 115, kRed));
    EXPECT_FALSE(is(canvas, 100, 115, kRed));
    EXPECT_FALSE(is(canvas, 140, 115, kRed));
    EXPECT_TRUE(is(canvas, 162, 115, kRed));
    EXPECT_GT(countColour(canvas, QRect(150, 290, 40, 10), kRed), 0);
}

} // namespace

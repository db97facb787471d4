#include "plots/lung_frame.h"
#include "record/simulation_record.h"

#include "canvas_probe.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

using namespace vm::plots;
using namespace vm::record;
using namespace canvas_probe;

namespace {

const QColor kRed(255, 0, 0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Anchor (100, 100), base 6, neck 4, balloon 10, middle 25, at k8 = 1:
//   D = 6, v = 4, w = 10, I = 25, L30 = 30, L10 = 10;
//   yB = 100 − 6 − 1 = 93, yN = 100 − 4 − 1 = 95, yM = 100 − round(1 + 25) = 74;
//   m > 20 so amp = 0.3; G = 74 − 93 + 0.4 × (93 − 95) = −19.8, amp × G = −5.94.
//   j = 2: x = 100 + round(60 / 9) = 107, y = 93 + round(−9.5) + round(−5.94) = 93 − 10 − 6 = 77.
//   j = 5: x = 117, y = 74 + round(4.2) + round(sin 36° × −5.94 = −3.49) = 75.
//   Lower wall: y mirrored about 100. Balloon: w = 10 ≥ v + 1 = 5, so 140 + round(√75) = 149.
LobeOutline knownLobe(float angle) {
    return lobeOutlineOf(QPoint(100, 100), angle, 6.0f, 4.0f, 10.0f, 25.0f, 1.0);
}

TEST(LobeOutline, PointsOfAKnownLobe) {
    const LobeOutline lobe = knownLobe(0.0f);
    const std::array<QPoint, 12> upper = {{{100, 93},
                                           {100, 93},
                                           {103, 84},
                                           {107, 77},
                                           {110, 75},
                                           {113, 74},
                                           {117, 75},
                                           {120, 76},
                                           {123, 81},
                                           {127, 88},
                                           {130, 95},
                                           {140, 95}}};
    const std::array<QPoint, 12> lower = {{{100, 107},
                                           {100, 107},
                                           {103, 116},
                                           {107, 123},
                                           {110, 125},
                                           {113, 126},
                                           {117, 125},
                                           {120, 124},
                                           {123, 119},
                                           {127, 112},
                                           {130, 105},
                                           {140, 105}}};
    EXPECT_EQ(lobe.upper, upper);
    EXPECT_EQ(lobe.lower, lower);
    EXPECT_EQ(lobe.balloonCentre, QPoint(149, 100));
    EXPECT_EQ(lobe.balloonRadius, 10);

    // Turned by 90°, (x, y) goes to (100 + (y − 100), 100 − (x − 100)): the axis points up.
    const LobeOutline turned = knownLobe(1.5707964f);
    EXPECT_EQ(turned.upper[3], QPoint(77, 93));
    EXPECT_EQ(turned.upper[11], QPoint(95, 60));
    EXPECT_EQ(turned.lower[11], QPoint(105, 60));
    EXPECT_EQ(turned.balloonCentre, QPoint(100, 51));
}

TEST(LobeOutline, BalloonSmallerThanTheNeckSitsAtTheNeckEnd) {
    // Neck 10 gives v + 1 = 11; balloon 4 gives w = 4: the centre is at 100 + 30 + 10.
    EXPECT_EQ(lobeOutlineOf({100, 100}, 0.0f, 6.0f, 10.0f, 4.0f, 10.0f, 1.0).balloonCentre,
              QPoint(140, 100));
    EXPECT_EQ(lobeOutlineOf({100, 100}, 1.5707964f, 6.0f, 10.0f, 4.0f, 10.0f, 1.0).balloonCentre,
              QPoint(100, 60));
}

TEST(DrawLobe, LimitedFlowReddensTheMiddleWallsOnly) {
    for (const bool limited : {false, true}) {
        SCOPED_TRACE(limited);
        QImage canvas = blankCanvas(300, 250);
        const LobeEnds ends =
            DrawLobe(canvas, {100, 100}, 0.0f, 6.0f, 4.0f, 10.0f, 25.0f, 1.0, limited);
        EXPECT_EQ(ends.upperEnd, QPoint(140, 95));
        EXPECT_EQ(ends.lowerStart, QPoint(100, 107));
        // Middle segments U5–U6 and L5–L6.
        EXPECT_EQ(countColour(canvas, QRect(113, 74, 5, 3), kRed) > 0, limited);
        EXPECT_EQ(countColour(canvas, QRect(113, 124, 5, 3), kRed) > 0, limited);
        // Last segments U10–U11 and L10–L11 stay black.
        EXPECT_TRUE(is(canvas, 135, 95, Qt::black));
        EXPECT_TRUE(is(canvas, 135, 105, Qt::black));
        EXPECT_EQ(countColour(canvas, QRect(133, 93, 7, 15), kRed), 0);
        // The balloon's arc on the far side from the neck, open towards the neck.
        EXPECT_TRUE(is(canvas, 159, 100, Qt::black));
        EXPECT_TRUE(is(canvas, 139, 100, Qt::white));
        EXPECT_EQ(countColour(canvas, QRect(141, 85, 30, 30), kRed), 0);
    }
}

LungFrameValues normalFrame() {
    LungFrameValues values;
    values.lobeVolume = {0.7, 0.87, 0.53, 0.7, 0.69};
    values.peripheralResistance = {0.04, 0.03, 0.058, 0.04, 0.042};
    values.intermediateResistance = {4.2, 3.7, 5.6, 4.5, 4.8};
    values.flowLimited = {true, false, true, false, true};
    values.tracheaCoefficient = 1.0;
    values.leftBronchusCoefficient = 0.00057;
    values.rightBronchusCoefficient = 0.00057;
    return values;
}

QImage frame(const LungFrameValues& values, const QImage& background) {
    QImage buffer(486, 543, QImage::Format_RGB32);
    DrawLungFrame(buffer, background, values);
    return buffer;
}

TEST(DrawLungFrame, TracheaWallsStandAtItsHalfWidth) {
    // KT = 1: t = 1 % of 486, walls at round(4.86 × 49) = 238 and round(4.86 × 51) = 248.
    // KT = 16: t = 0.5 %, walls at round(240.57) = 241 and round(245.43) = 245.
    const QImage background = stretchedBackground(blankCanvas(600, 500), {486, 543});
    for (const auto& [kt, left, right] : {std::tuple{1.0, 238, 248}, std::tuple{16.0, 241, 245}}) {
        LungFrameValues values = normalFrame();
        values.tracheaCoefficient = kt;
        EXPECT_EQ(columnsOf(frame(values, background), 100, Qt::black),
                  (std::vector<int>{left, left + 1, right, right + 1}));
    }
}

TEST(DrawLungFrame, KeptStretchedBackgroundGivesTheSamePicture) {
    QImage background(600, 500, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y)
        for (int x = 0; x < background.width(); ++x)
            background.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QImage kept = stretchedBackground(background, {486, 543});
    EXPECT_EQ(frame(normalFrame(), background), frame(normalFrame(), kept));
}

TEST(DrawLungFrame, ValuesWithoutAPictureDrawNothingOfTheirOwn) {
    const QImage background = stretchedBackground(blankCanvas(10, 10), {486, 543});
    LungFrameValues noBalloons = normalFrame();
    noBalloons.lobeVolume = {};
    const QImage withoutBalloons = frame(noBalloons, background);
    for (const double bad : {0.0, -1.0, kNaN, kInf, -kInf}) {
        SCOPED_TRACE(bad);
        LungFrameValues airways = normalFrame();
        airways.peripheralResistance.fill(bad);
        airways.tracheaCoefficient = airways.leftBronchusCoefficient =
            airways.rightBronchusCoefficient = bad;
        EXPECT_EQ(frame(airways, background), background);
        if (bad == 0.0)
            continue; // a volume of 0 is a balloon of radius 0
        LungFrameValues volumes = normalFrame();
        volumes.lobeVolume.fill(bad);
        EXPECT_EQ(frame(volumes, background), withoutBalloons);
    }
}

TEST(DrawLungFrame, ExtremeValuesDrawTheSameFrameEachTime) {
    const QImage background = stretchedBackground(blankCanvas(10, 10), {486, 543});
    for (const double extreme :
         {1e300, 1e30, 1e-30, double(FLT_MAX), double(FLT_TRUE_MIN), 1e-300}) {
        SCOPED_TRACE(extreme);
        LungFrameValues values = normalFrame();
        values.lobeVolume.fill(extreme);
        values.intermediateResistance.fill(extreme);
        values.tracheaCoefficient = extreme;
        values.leftBronchusCoefficient = 1.0 / extreme;
        EXPECT_EQ(frame(values, background), frame(values, background));
    }
}

TEST(LungFrameValues, ReplayTakesEachValueFromItsTrace) {
    SimulationRecord record;
    record.setLobeVolume(2, 40, 3, 0.5f);
    record.setLobeTraceB(2, 40, 3, 0.25f);
    record.setLobeTraceA(2, 40, 3, 4.0f);
    record.setLobeState(2, 40, 3, 1);
    for (int i = 0; i < 3; ++i)
        record.setCentralTrace(2, i, 0.125f * (i + 1));
    const LungFrameValues values = lungFrameValuesAt(record, 2, 40);
    EXPECT_EQ(values.lobeVolume[2], 0.5);
    EXPECT_EQ(values.peripheralResistance[2], 0.25);
    EXPECT_EQ(values.intermediateResistance[2], 4.0);
    EXPECT_EQ(values.flowLimited, (std::array<bool, 5>{false, false, true, false, false}));
    EXPECT_EQ(values.tracheaCoefficient, 0.125);
    EXPECT_EQ(values.leftBronchusCoefficient, 0.25);
    EXPECT_EQ(values.rightBronchusCoefficient, 0.375);
}

// Row 1 expires 0.008 l a sample from 5 l: with Vmax 5 and Vpos 1 a frame needs more than
// 0.02 l, so after the first sample (3.992 l from Vpos) every third sample gets one.
TEST(ReplayFrames, EveryHalfPercentOfTheRangeUntilTheTracesStop) {
    SimulationRecord record;
    for (int n = 1; n <= 30; ++n) {
        record.setFvVolume(1, n, 5.0f - 0.008f * (n - 1));
        record.setLobeTraceA(1, n, 1, n < 12 ? 1.0f : 0.0f);
    }
    EXPECT_EQ(replayFrameSamples(record, 1, 1.0f, 5.0f), (std::vector<int>{2, 5, 8, 11}));
    for (int n = 12; n <= 30; ++n)
        record.setLobeTraceA(1, n, 1, 1.0f);
    // Now the curve itself ends, at sample 31 whose volume is 0.
    EXPECT_EQ(replayFrameSamples(record, 1, 1.0f, 5.0f).back(), 29);
    EXPECT_TRUE(replayFrameSamples(record, 0, 1.0f, 5.0f).empty());
    EXPECT_TRUE(replayFrameSamples(record, -1, 1.0f, 5.0f).empty());
}

} // namespace

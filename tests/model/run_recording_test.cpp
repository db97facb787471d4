// What a run stores while it goes, and the indices it works out at the end.

#include "model/run_recording.h"
#include "model/spirometric_indices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

using namespace vm::record;
using namespace vm::model;

namespace {

TEST(RunRecording, FlowIsSmoothedFromTheFourthSampleOnTheStoredValue) {
    SimulationRecord record;
    ModelState m;
    m.state.lungVolume = 4.0;
    const double flows[] = {-1, -2, -3, -4, -6};
    for (double X : flows)
        takeFlowVolumeSample(m, record, X);
    const float expected[] = {-1, -2, -3, -3.5f, -4.75f};
    for (int n = 1; n <= 5; ++n) {
        EXPECT_EQ(record.fvFlow(workingRow, n), expected[n - 1]);
        EXPECT_EQ(record.fvVolume(workingRow, n), 4.0f);
    }
    EXPECT_EQ(m.progress.sampleCount, 5);
}

// The curve holds 1498 samples; wanting a 1499th marks the result invalid and stores nothing.
TEST(RunRecording, The1499thSampleMarksTheResultInvalid) {
    SimulationRecord record;
    record.setField(workingRow, RowField::runStatus, 1.0f);
    ModelState m;
    m.state.lungVolume = 3.0;
    m.progress.sampleCount = 1497;
    takeFlowVolumeSample(m, record, -1.0);
    EXPECT_EQ(m.progress.sampleCount, 1498);
    EXPECT_EQ(record.fvVolume(workingRow, 1498), 3.0f);
    EXPECT_EQ(record.field(workingRow, RowField::runStatus), 1.0f);
    takeFlowVolumeSample(m, record, -1.0);
    EXPECT_EQ(m.progress.sampleCount, 1498);
    EXPECT_EQ(record.fvVolume(workingRow, 1499), 0.0f);
    EXPECT_EQ(record.fvFlow(workingRow, 1499), 0.0f);
    EXPECT_EQ(record.field(workingRow, RowField::runStatus), -1.0f);
}

// Sample k lies 0.1·k s after recording began; after the thousandth nothing more fits.
TEST(RunRecording, VolumeTimeSamplesStopAtTheEndOfTheRecord) {
    SimulationRecord record;
    ModelState m;
    m.state.lungVolume = 2.5;
    struct Case {
        int stepCount;
        bool stored;
        int k;
        float time;
    };
    const Case cases[] = {{100, true, 1, 0.1f},
                          {2500, true, 25, 2.5f},
                          {100000, true, 1000, 100.0f},
                          {100100, false, 0, 0}};
    for (const Case& c : cases) {
        m.progress.stepCount = c.stepCount;
        EXPECT_EQ(storeVolumeTimeSample(m, record), c.stored) << c.stepCount;
        if (c.stored) {
            EXPECT_EQ(record.vtTime(workingRow, c.k), c.time);
            EXPECT_EQ(record.vtVolume(workingRow, c.k), 2.5f);
        }
    }
}

void setCurve(SimulationRecord& record, const std::vector<std::pair<float, float>>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        record.setFvVolume(workingRow, static_cast<int>(i) + 1, samples[i].first);
        record.setFvFlow(workingRow, static_cast<int>(i) + 1, samples[i].second);
    }
}

// A hand-made curve: breathing in from 2.0 l to 5.0 l, then out to 1.5 l.
TEST(SpirometricIndices, WorkedOutFromAHandMadeCurve) {
    SimulationRecord record;
    setCurve(record, {{2.0f, 0.5f},
                      {4.0f, 2.0f},
                      {5.0f, 0.1f},    // the first strict maximum: Vmax, m = 3
                      {5.0f, -6.0f},   // as large, not larger
                      {4.4f, -8.0f},   // 2.9 l of 3.5 l still to go
                      {3.5f, -5.0f},   // 2.0 l left: below 75 % (2.625 l)
                      {3.2f, 0.0f},    // 1.7 l: below 50 %, but no flow; the scan goes on
                      {3.0f, -3.0f},   // 1.5 l: below 50 % (1.75 l)
                      {2.0f, -1.0f},   // 0.5 l: below 25 % (0.875 l)
                      {1.5f, -0.2f}}); // Vmin
    record.setField(workingRow, RowField::fev1, 2.2f); // the volume one second into the effort
    record.setField(workingRow, RowField::frc, 2.5f);
    computeSpirometricIndices(record, workingRow);
    const auto field = [&](RowField f) { return record.field(workingRow, f); };
    EXPECT_FLOAT_EQ(field(RowField::fvcex), 3.5f);
    EXPECT_FLOAT_EQ(field(RowField::fev1), 2.8f);
    EXPECT_NEAR(field(RowField::fev1PctFvc), 80.0f, 1e-4);
    EXPECT_FLOAT_EQ(field(RowField::pef), 8.0f);
    EXPECT_FLOAT_EQ(field(RowField::tlc), 5.0f);
    EXPECT_FLOAT_EQ(field(RowField::erv), 1.0f);
    EXPECT_FLOAT_EQ(field(RowField::mef75), 5.0f);
    EXPECT_FLOAT_EQ(field(RowField::mef50), 3.0f);
    EXPECT_FLOAT_EQ(field(RowField::mef25), 1.0f);
}

// FEV1%FVC is the quotient of the stored FEV1 and FVC worked out in double precision and
// rounded once, when it is stored.
TEST(SpirometricIndices, Fev1PercentOfFvcIsRoundedOnlyWhenStored) {
    const struct {
        float vmax, vmin, volumeAt1s;
    } curves[] = {{3.76520705f, 1.74315262f, 2.66214991f},
                  {4.62423754f, 2.40872383f, 3.2770462f},
                  {3.69925332f, 1.34629977f, 1.91732514f},
                  {3.36266994f, 1.49904275f, 2.7993238f}};
    for (const auto& c : curves) {
        SimulationRecord record;
        setCurve(record, {{c.vmax, 0.0f}, {c.vmin, -1.0f}});
        record.setField(workingRow, RowField::fev1, c.volumeAt1s);
        computeSpirometricIndices(record, workingRow);
        const double fev1 = record.field(workingRow, RowField::fev1);
        const double fvc = record.field(workingRow, RowField::fvcex);
        EXPECT_EQ(record.field(workingRow, RowField::fev1PctFvc),
                  static_cast<float>(100.0 * fev1 / fvc))
            << c.vmax;
    }
}

// The volume has to come strictly below a share of the FVC; where it never does, the index
// stays 0.
TEST(SpirometricIndices, UnreachedSharesLeaveTheirIndexAtZero) {
    SimulationRecord record;
    setCurve(record, {{1.0f, 0.3f}, {5.0f, 0.0f}, {4.0f, -2.0f}}); // 3 l left of 4 l: 75 % exactly
    computeSpirometricIndices(record, workingRow);
    EXPECT_FLOAT_EQ(record.field(workingRow, RowField::fvcex), 4.0f);
    EXPECT_EQ(record.field(workingRow, RowField::mef75), 0.0f);
    EXPECT_EQ(record.field(workingRow, RowField::mef50), 0.0f);
    EXPECT_EQ(record.field(workingRow, RowField::mef25), 0.0f);
}

// With no expiratory flow PEF is 0, and a qualifying sample whose flow is 0 leaves its MEF at
// 0: a plain zero, since a negative zero would be written to the file and shown as "-0.00".
TEST(SpirometricIndices, IndicesWithoutFlowArePlainZero) {
    SimulationRecord record;
    setCurve(record, {{2.0f, 0.5f}, {5.0f, 0.1f}, {1.0f, 0.0f}}); // the last sample qualifies
    computeSpirometricIndices(record, workingRow);
    EXPECT_FLOAT_EQ(record.field(workingRow, RowField::fvcex), 4.0f);
    for (RowField f : {RowField::pef, RowField::mef75, RowField::mef50, RowField::mef25}) {
        const float v = record.field(workingRow, f);
        EXPECT_EQ(v, 0.0f) << static_cast<int>(f);
        EXPECT_FALSE(std::signbit(v)) << static_cast<int>(f);
    }
}

TEST(SpirometricIndices, AnEmptyOrFlatCurveHasNoExpiredVolume) {
    SimulationRecord record;
    EXPECT_FALSE(hasExpiredVolume(findFlowVolumeExtent(record, workingRow)));
    setCurve(record, {{3.0f, -1.0f}, {3.0f, -1.0f}});
    EXPECT_FALSE(hasExpiredVolume(findFlowVolumeExtent(record, workingRow)));
    setCurve(record, {{3.0f, -1.0f}, {2.9f, -1.0f}});
    EXPECT_TRUE(hasExpiredVolume(findFlowVolumeExtent(record, workingRow)));
}

} // namespace

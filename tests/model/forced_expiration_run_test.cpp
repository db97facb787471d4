// Whole forced-expiration runs. Each full run takes about 0.2 s, so the cases share runs.

#include "model/flow_limitation_solver.h"
#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "record/record_state.h"
#include "record/vocabulary.h"
#include "standard_indices.h"
#include "standard_start.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace vm::record;
using namespace vm::model;

using namespace layout;

namespace {

using Bench = StandardStart;

double sumOfParts(const ModelState& m) {
    double sum = m.state.leftCentralVolume + m.state.rightCentralVolume;
    for (double v : m.state.lobeVolume)
        sum += v;
    return sum;
}

// Every float of a row, from its first byte up to the settings.
bool rowIsFinite(const SimulationRecord& record, int row) {
    const auto bytes = record.rowBytes(row);
    for (std::size_t offset = 0; offset < kLobeState; offset += 4) {
        float v;
        std::memcpy(&v, bytes.data() + offset, 4);
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

TEST(ForcedExpirationRun, TwoRunsInARowWithTheLiveCalls) {
    Bench b;
    int frames = 0;
    int clockCalls = 0;
    int beeps = 0;
    double lastClock = -1;
    bool clockNeverNegative = true;
    RunHooks hooks;
    hooks.liveFrameTick = [&] { ++frames; };
    hooks.showRunClock = [&](double t) {
        clockNeverNegative = clockNeverNegative && t >= 0;
        lastClock = t;
        ++clockCalls;
    };
    hooks.beep = [&] { ++beeps; };
    RunForcedExpiration(b.model, b.record, hooks);
    ASSERT_EQ(b.field(RowField::runStatus), 1.0f);
    EXPECT_EQ(b.field(RowField::modelVariant), 1.0f);
    EXPECT_TRUE(rowIsFinite(b.record, workingRow));

    // One live frame per stored volume-time sample; sample k at 0.1·k s.
    int vtSamples = 0;
    while (vtSamples < kVtSamples && b.record.vtTime(workingRow, vtSamples + 1) != 0) {
        ++vtSamples;
        EXPECT_FLOAT_EQ(b.record.vtTime(workingRow, vtSamples), 0.1f * vtSamples);
    }
    EXPECT_GT(vtSamples, 100);
    EXPECT_EQ(frames, vtSamples);
    EXPECT_GT(clockCalls, 10);
    EXPECT_TRUE(clockNeverNegative);
    // The clock shows the time since recording began and stops with the recording; it ticks
    // about every 0.9 s.
    EXPECT_NEAR(lastClock, 0.1 * vtSamples, 1.0);
    EXPECT_EQ(beeps, 0);

    // The flow-volume curve runs without gaps up to its end.
    int fvSamples = 0;
    while (fvSamples < kFvSamples && b.record.fvVolume(workingRow, fvSamples + 1) != 0)
        ++fvSamples;
    EXPECT_EQ(fvSamples, b.model.progress.sampleCount);
    for (int n = fvSamples + 1; n <= kFvSamples; ++n)
        ASSERT_EQ(b.record.fvVolume(workingRow, n), 0);

    // No re-initialisation after a good run: the model stays where the test left it, with the
    // lung volume made equal to the sum of its parts again.
    EXPECT_GT(b.model.state.modelTime, 20.0);
    EXPECT_EQ(b.model.state.lungVolume, sumOfParts(b.model));
    const float firstFev1 = b.field(RowField::fev1);
    const float firstTlc = b.field(RowField::tlc);

    RunForcedExpiration(b.model, b.record, {});
    ASSERT_EQ(b.field(RowField::runStatus), 1.0f);
    EXPECT_NEAR(b.field(RowField::fev1), firstFev1, 0.01 * firstFev1);
    EXPECT_NEAR(b.field(RowField::tlc), firstTlc, 0.01 * firstTlc);
}

// Raising the intermediate-airway resistance obstructs: the forced expiration slows, so less of
// the vital capacity comes out in the first second and the mid-expiratory flow falls. A
// smaller lung holds less. Measured against the pinned standard run.
TEST(ForcedExpirationRun, IndicesMoveTheWayPhysiologySays) {
    const auto runWith = [](SettingColumn column, float percent) {
        Bench b;
        b.record.setPartSetting(workingRow, LungPart::bothLungs, column, percent);
        RunForcedExpiration(b.model, b.record, {});
        EXPECT_EQ(b.field(RowField::runStatus), 1.0f) << column << " at " << percent;
        return b;
    };
    const Bench obstructed = runWith(SettingColumn::rIntermediate, 300.0f);
    EXPECT_LT(obstructed.field(RowField::fev1PctFvc), standard_indices::fev1PctFvc - 5);
    EXPECT_LT(obstructed.field(RowField::mef50), 0.8 * standard_indices::mef50);
    EXPECT_LT(obstructed.field(RowField::pef), standard_indices::pef);

    const Bench small = runWith(SettingColumn::lungSize, 70.0f);
    EXPECT_LT(small.field(RowField::fvcex), 0.9 * standard_indices::fvcex);
    EXPECT_LT(small.field(RowField::tlc), 0.9 * standard_indices::tlc);
}

// Lungs so compliant that their recoil leaves the model's range fail at once: the result is an
// error with no curve, and the model starts afresh for the next run, settled with the run's own
// inspiratory effort and pleural offsets, every row keeping its settings.
TEST(ForcedExpirationRun, FailedRunClearsTheCurveAndReinitialisesKeepingSettings) {
    Bench b;
    // Elastic scale 0.1, inspiratory effort -1.5 kPa, and an older result's own setting.
    b.record.setPartSetting(workingRow, LungPart::bothLungs, SettingColumn::cm, 10.0f);
    b.record.setGlobalSetting(workingRow, GlobalItem::inspiratoryEffort, 60.0f);
    b.record.setPartSetting(3, LungPart::lobe2, SettingColumn::rIntermediate, 150.0f);
    b.record.setFvVolume(workingRow, 700, 3.0f); // stale curve data in the row
    int beeps = 0;
    RunHooks hooks;
    hooks.beep = [&] { ++beeps; };
    RunForcedExpiration(b.model, b.record, hooks);

    // An error, not "dead": the breathing that stalls after the failure is not the patient's.
    EXPECT_EQ(b.field(RowField::runStatus), -1.0f);
    for (int n = 1; n <= kFvSamples; ++n)
        ASSERT_EQ(b.record.fvVolume(workingRow, n), 0.0f) << n;
    EXPECT_TRUE(rowIsFinite(b.record, workingRow));
    EXPECT_EQ(beeps, 0); // a plausibility failure is not the solver giving up

    EXPECT_EQ(b.model.state.solverFailed, 0);
    EXPECT_NEAR(b.model.state.modelTime, 2.5, 0.0011);
    EXPECT_NEAR(b.model.parameters.musclePressure.current, -1.5, 1e-4);
    const double offsets[5] = {-0.1, 0.05, -0.1, 0.0, 0.1};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(b.model.parameters.pleuralOffset[k].current, offsets[k]);

    EXPECT_EQ(b.record.partSetting(workingRow, LungPart::bothLungs, SettingColumn::cm), 10.0f);
    EXPECT_EQ(b.record.partSetting(3, LungPart::lobe2, SettingColumn::rIntermediate), 150.0f);
    EXPECT_EQ(b.record.partSetting(referenceRow, LungPart::bothLungs, SettingColumn::cm), 100.0f);
}

// Runs that fail within their first 3 s. The phases run on time alone after a failure, so the
// row still takes its FRC and the lobes' first trace sample from the state the failure left;
// and the re-initialisation that follows does not search the failed state's roots again in
// every step of its settling, so the whole START stays within a few failed solver calls' work.
TEST(ForcedExpirationRun, EarlyFailuresStillTakeTheirFrcAndEndWithBoundedWork) {
    const struct {
        const char* name;
        std::vector<int> halvedCompliance; // parts whose compliance setting is 50
        float referenceInspiratoryEffort;
        float status;
    } cases[] = {
        {"compliant", {LungPart::bothLungs, LungPart::leftLung, LungPart::lobe1}, 100.0f, -1.0f},
        {"effort 1e30", {}, 1e30f, -1.0f},
        {"effort 1e20", {}, 1e20f, -1.0f},
    };
    for (const auto& c : cases) {
        Bench b;
        for (int part : c.halvedCompliance)
            b.record.setPartSetting(workingRow, part, SettingColumn::cm, 50.0f);
        b.record.setGlobalSetting(referenceRow, GlobalItem::inspiratoryEffort,
                                  c.referenceInspiratoryEffort);
        const long long iterationsBefore = b.model.work.solverIterationTotal;
        RunForcedExpiration(b.model, b.record, {});
        EXPECT_EQ(b.field(RowField::runStatus), c.status) << c.name;
        const float frc = b.field(RowField::frc);
        EXPECT_TRUE(frc > 1.0f && frc < 10.0f) << c.name << ' ' << frc;
        for (int k = 1; k <= kLobes; ++k)
            EXPECT_GT(b.record.lobeVolume(workingRow, 0, k), 0.0f) << c.name << ' ' << k;
        EXPECT_LT(b.model.work.solverIterationTotal - iterationsBefore,
                  3LL * kLobeCount * kOpenIterationCap)
            << c.name;
    }
}

// Settings that give no usable factor (a zero read from a file) cannot be simulated: an error
// result, and the model is left as it was.
TEST(ForcedExpirationRun, UnusableSettingsGiveAnErrorWithoutTouchingTheModel) {
    Bench b;
    b.record.setPartSetting(referenceRow, LungPart::lobe2, SettingColumn::rPeripheral, 0.0f);
    const double timeBefore = b.model.state.modelTime;
    const double volumeBefore = b.model.state.lungVolume;
    RunForcedExpiration(b.model, b.record, {});
    EXPECT_EQ(b.field(RowField::runStatus), -1.0f);
    EXPECT_EQ(b.model.state.modelTime, timeBefore);
    EXPECT_EQ(b.model.state.lungVolume, volumeBefore);
    EXPECT_EQ(b.record.fvVolume(workingRow, 1), 0.0f);
}

// A lobe's own lung-size setting is stored but scales nothing, so even a zero there gives the
// run it would be at 100: the standard run.
TEST(ForcedExpirationRun, ALobesOwnLungSizeCannotSpoilTheRun) {
    Bench b;
    for (int part = LungPart::lobe1; part < kParts; ++part)
        b.record.setPartSetting(referenceRow, part, SettingColumn::lungSize, 0.0f);
    RunForcedExpiration(b.model, b.record, {});
    ASSERT_EQ(b.field(RowField::runStatus), 1.0f);
    EXPECT_FLOAT_EQ(b.field(RowField::fev1), static_cast<float>(standard_indices::fev1));
    EXPECT_FLOAT_EQ(b.field(RowField::tlc), static_cast<float>(standard_indices::tlc));
}

} // namespace

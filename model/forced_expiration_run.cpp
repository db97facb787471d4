#include "model/forced_expiration_run.h"

#include "model/model_initialisation.h"
#include "model/model_step.h"
#include "model/run_phases.h"
#include "model/run_recording.h"
#include "model/settings_conversion.h"
#include "model/spirometric_indices.h"

#include <cmath>
#include <cstdlib>

using namespace vm::record;

namespace vm::model {

using namespace layout;
using namespace timeline;

namespace {

void SetRunStatus(SimulationRecord& record, float status) {
    record.setField(workingRow, RowField::runStatus, status);
}

// The working row starts empty: no indices, no curves. The curves of the row's previous
// contents are cleared whole, so that a shorter run never shows or measures a stale tail.
void ClearWorkingRow(const ModelState& m, SimulationRecord& record) {
    SetRunStatus(record, kRunValid);
    for (RowField f : {RowField::fev1, RowField::fvcex, RowField::fev1PctFvc, RowField::pef,
                       RowField::mef75, RowField::mef50, RowField::mef25, RowField::erv,
                       RowField::flowAt1s, RowField::tlc, RowField::fet})
        record.setField(workingRow, f, 0.0f);
    record.setField(workingRow, RowField::frc, 100.0f);
    record.setField(workingRow, RowField::modelVariant, 1.0f);
    for (int n = 1; n <= kFvSamples; ++n) {
        record.setFvVolume(workingRow, n, 0.0f);
        record.setFvFlow(workingRow, n, 0.0f);
        for (int k = 1; k <= kLobes; ++k) {
            record.setLobeTraceA(workingRow, n, k, 0.0f);
            record.setLobeTraceB(workingRow, n, k, 0.0f);
            record.setLobeVolume(workingRow, n, k, 0.0f);
            record.setLobeState(workingRow, n, k,
                                m.state.flowLimited[static_cast<std::size_t>(k - 1)]);
        }
    }
    for (int k = 1; k <= kVtSamples; ++k) {
        record.setVtTime(workingRow, k, 0.0f);
        record.setVtVolume(workingRow, k, 0.0f);
    }
}

void StartRun(ModelState& m, SimulationRecord& record) {
    m.state.solverFailed = 0;
    ConvertSettingsToTargets(m.parameters, record);
    m.state.modelTime = 0;
    // Every run begins its breathing pattern afresh: a phase left at the final inspiration by
    // the previous run would let a run that never reached the manoeuvre pass as valid.
    m.progress = RunProgress::atStart(m.state.lungVolume);
}

void ShowRunClockIfDue(ModelState& m, const RunHooks& hooks) {
    RunProgress& run = m.progress;
    const int n = substepCount(run.integrationState);
    const long long divisor = std::llabs(kRunClockPeriod_ms - kRunClockPerSubstep_ms * n);
    const long long ms = std::llrint(kStepsPerSecond * m.state.modelTime);
    if (ms % divisor == 0 && (run.recording || run.recordStart == 0)) {
        run.runClockTime = m.state.modelTime - run.recordStart;
        if (hooks.showRunClock)
            hooks.showRunClock(run.runClockTime);
    }
}

void RecordStep(ModelState& m, SimulationRecord& record, const RunHooks& hooks, double t) {
    RunProgress& run = m.progress;
    if (!run.recording || !RunIsValid(record))
        return;
    run.stepCount += 1;
    // Beyond the record's last volume-time sample nothing more is stored or drawn.
    if (run.stepCount % kVolumeTimeCadence_steps == 0 && StoreVolumeTimeSample(m, record) &&
        hooks.liveFrameTick)
        hooks.liveFrameTick();
    if (run.forcedRecording && t > EffortStart(m) + kFev1AfterEffort_s &&
        record.field(workingRow, RowField::fev1) == 0) {
        record.setField(workingRow, RowField::fev1, static_cast<float>(m.state.lungVolume));
        record.setField(workingRow, RowField::flowAt1s, static_cast<float>(m.state.mouthFlow));
    }
}

void SampleFlowVolume(ModelState& m, SimulationRecord& record, double t) {
    const RunProgress& run = m.progress;
    if (!run.forcedRecording)
        return;
    const double recordedFlow = m.state.mouthFlow;
    if (m.state.mouthFlow < 0) {
        const double fet = record.field(workingRow, RowField::fet);
        record.setField(workingRow, RowField::fet, static_cast<float>(fet + kStepLength_s));
    }
    // After a failure the state stands still; nothing of it belongs on the curve.
    if (!RunIsValid(record))
        return;
    const double T = EffortStart(m);
    const double riseEnd = T + m.parameters.effortRiseTime;
    const double fastEnd = riseEnd + kEffortCadenceAfterRise_s;
    const bool due = (t < T && run.stepCount % kBeforeEffortCadence_steps == 0) ||
                     (t > fastEnd && run.stepCount % kExpirationCadence_steps == 0) ||
                     (T < t && t < fastEnd && run.stepCount % kEffortCadence_steps == 0);
    if (due)
        TakeFlowVolumeSample(m, record, recordedFlow);
}

bool RunEnds(const ModelState& m, double t) {
    const double riseEnd = EffortStart(m) + m.parameters.effortRiseTime;
    return t > kRunLimit_s || t > riseEnd + kRunEndAfterRise_s ||
           (t > riseEnd + kQuietEndAfterRise_s && !m.progress.recording &&
            std::fabs(m.state.mouthFlow) < kQuietMouthFlow_lps);
}

void FinishRun(ModelState& m, SimulationRecord& record, const RunHooks& hooks) {
    if (m.progress.manoeuvrePhase < ManoeuvrePhase::finalInspiration && RunIsValid(record))
        SetRunStatus(record, kRunError);
    if (RunIsValid(record) && !HasExpiredVolume(FindFlowVolumeExtent(record, workingRow))) {
        m.state.solverFailed = 1;
        SetRunStatus(record, kRunError);
    }
    if (m.state.solverFailed)
        InitialiseModel(m, record, false, hooks.beep);
    if (RunIsValid(record))
        ComputeSpirometricIndices(record, workingRow);
    else
        record.clearFvVolume(workingRow);
    IntegratedState& s = m.state;
    s.lungVolume = s.leftCentralVolume + s.rightCentralVolume;
    for (double v : s.lobeVolume)
        s.lungVolume += v;
}

} // namespace

bool SettingsAreUsable(const SimulationRecord& record) {
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c) {
            if (!SettingIsRead(p, c))
                continue;
            const double f = PartSettingFactor(record, p, c);
            if (!std::isfinite(f) || f <= 0)
                return false;
        }
    for (int i = 0; i < 4; ++i) {
        const double g = GlobalSettingFactor(record, i);
        if (!std::isfinite(g) || g <= 0)
            return false;
    }
    return true;
}

void RunForcedExpiration(ModelState& m, SimulationRecord& record, const RunHooks& hooks) {
    ClearWorkingRow(m, record);
    if (!SettingsAreUsable(record)) {
        // Nothing can be simulated; the model is left as it was.
        SetRunStatus(record, kRunError);
        return;
    }
    StartRun(m, record);
    bool beeped = false;
    for (;;) {
        const double t = m.state.modelTime;
        ApplyRunPhase(m, record, t);
        if (m.progress.ramp.active)
            m.progress.integrationState = IntegrationState::substeps150;
        AdjustIntegrationState(m);
        if (m.progress.integrating && RunIsValid(record)) {
            const SolverOutcome outcome = ModelStep(m, m.progress.integrationState);
            if (SolverFailureBeeps(outcome) && hooks.beep && !beeped) {
                hooks.beep();
                beeped = true;
            }
        } else {
            m.state.modelTime += kStepLength_s;
        }
        if (m.state.solverFailed)
            SetRunStatus(record, kRunError);
        ShowRunClockIfDue(m, hooks);
        RecordStep(m, record, hooks, t);
        SampleFlowVolume(m, record, t);
        if (RunEnds(m, t))
            break;
    }
    FinishRun(m, record, hooks);
}

} // namespace vm::model

#include "model/forced_expiration_run.h"

#include "model/model_initialisation.h"
#include "model/model_step.h"
#include "model/run_phases.h"
#include "model/run_recording.h"
#include "model/settings_conversion.h"
#include "model/simd/vector_registers.h"
#include "model/spirometric_indices.h"
#include "record/vocabulary.h"

#include <cmath>
#include <cstdlib>

using namespace vm::record;

namespace vm::model {

using namespace layout;
using namespace timeline;

namespace {

void setRunStatus(SimulationRecord& record, float status) {
    record.setField(workingRow, RowField::runStatus, status);
}

static_assert(indexOfField(RowField::runStatus).resetValue == kRunValid,
              "a run is valid until something goes wrong");

// The working row starts empty: no indices, no curves. The curves of the row's previous
// contents are cleared whole, so that a shorter run never shows or measures a stale tail.
void clearWorkingRow(const ModelState& m, SimulationRecord& record) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        if (const int place = storedPlaceOf(i); place >= 0)
            record.setField(workingRow, static_cast<RowField>(place), kIndices[i].resetValue);
    record.markFieldsHeld(workingRow);
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

void startRun(ModelState& m, SimulationRecord& record) {
    m.state.solverFailed = 0;
    convertSettingsToTargets(m.parameters, record);
    m.state.modelTime = 0;
    // Every run begins its breathing pattern afresh: a phase left at the final inspiration by
    // the previous run would let a run that never reached the manoeuvre pass as valid.
    m.progress = RunProgress::atStart(m.state.lungVolume);
}

void showRunClockIfDue(ModelState& m, const RunHooks& hooks) {
    RunProgress& run = m.progress;
    const int n = substepCount(run.integrationState);
    const long long divisor = std::llabs(kRunClockPeriod_ms - kRunClockPerSubstep_ms * n);
    const long long ms = std::llrint(kStepsPerSecond * m.state.modelTime);
    if (ms % divisor == 0 && (run.recording || run.recordStart == 0)) {
        run.runClockTime = m.state.modelTime - run.recordStart;
        if (hooks.showRunClock) {
            hooks.showRunClock(run.runClockTime);
            clearUpperVectorRegisters();
        }
    }
}

void recordStep(ModelState& m, SimulationRecord& record, const RunHooks& hooks, double t) {
    RunProgress& run = m.progress;
    if (!run.recording || !runIsValid(record))
        return;
    run.stepCount += 1;
    // Beyond the record's last volume-time sample nothing more is stored or drawn.
    if (run.stepCount % kVolumeTimeCadence_steps == 0 && storeVolumeTimeSample(m, record) &&
        hooks.liveFrameTick) {
        hooks.liveFrameTick();
        clearUpperVectorRegisters();
    }
    if (run.forcedRecording && t > effortStart(m) + kFev1AfterEffort_s &&
        record.field(workingRow, RowField::fev1) == 0) {
        record.setField(workingRow, RowField::fev1, static_cast<float>(m.state.lungVolume));
        record.setField(workingRow, RowField::flowAt1s, static_cast<float>(m.state.mouthFlow));
    }
}

void sampleFlowVolume(ModelState& m, SimulationRecord& record, double t) {
    const RunProgress& run = m.progress;
    if (!run.forcedRecording)
        return;
    const double recordedFlow = m.state.mouthFlow;
    if (m.state.mouthFlow < 0) {
        const double fet = record.field(workingRow, RowField::fet);
        record.setField(workingRow, RowField::fet, static_cast<float>(fet + kStepLength_s));
    }
    // After a failure the state stands still; nothing of it belongs on the curve.
    if (!runIsValid(record))
        return;
    const double T = effortStart(m);
    const double riseEnd = T + m.parameters.effortRiseTime;
    const double fastEnd = riseEnd + kEffortCadenceAfterRise_s;
    const bool due = (t < T && run.stepCount % kBeforeEffortCadence_steps == 0) ||
                     (t > fastEnd && run.stepCount % kExpirationCadence_steps == 0) ||
                     (T < t && t < fastEnd && run.stepCount % kEffortCadence_steps == 0);
    if (due)
        takeFlowVolumeSample(m, record, recordedFlow);
}

bool runEnds(const ModelState& m, double t) {
    const double riseEnd = effortStart(m) + m.parameters.effortRiseTime;
    return t > kRunLimit_s || t > riseEnd + kRunEndAfterRise_s ||
           (t > riseEnd + kQuietEndAfterRise_s && !m.progress.recording &&
            std::fabs(m.state.mouthFlow) < kQuietMouthFlow_lps);
}

void finishRun(ModelState& m, SimulationRecord& record, const RunHooks& hooks) {
    if (m.progress.manoeuvrePhase < ManoeuvrePhase::finalInspiration && runIsValid(record))
        setRunStatus(record, kRunError);
    if (runIsValid(record) && !hasExpiredVolume(findFlowVolumeExtent(record, workingRow))) {
        m.state.solverFailed = 1;
        setRunStatus(record, kRunError);
    }
    if (m.state.solverFailed)
        InitialiseModel(m, record, false, hooks.beep);
    if (runIsValid(record))
        computeSpirometricIndices(record, workingRow);
    else
        record.clearFvVolume(workingRow);
    IntegratedState& s = m.state;
    s.lungVolume = s.leftCentralVolume + s.rightCentralVolume;
    for (double v : s.lobeVolume)
        s.lungVolume += v;
}

} // namespace

bool settingsAreUsable(const SimulationRecord& record) {
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c) {
            if (!settingIsRead(p, c))
                continue;
            const double f = partSettingFactor(record, p, c);
            if (!std::isfinite(f) || f <= 0)
                return false;
        }
    for (int i = 0; i < 4; ++i) {
        const double g = globalSettingFactor(record, i);
        if (!std::isfinite(g) || g <= 0)
            return false;
    }
    return true;
}

void RunForcedExpiration(ModelState& m, SimulationRecord& record, const RunHooks& hooks) {
    clearUpperVectorRegisters();
    clearWorkingRow(m, record);
    if (!settingsAreUsable(record)) {
        // Nothing can be simulated; the model is left as it was.
        setRunStatus(record, kRunError);
        return;
    }
    startRun(m, record);
    bool beeped = false;
    for (;;) {
        const double t = m.state.modelTime;
        applyRunPhase(m, record, t);
        if (m.progress.ramp.active)
            m.progress.integrationState = IntegrationState::substeps150;
        adjustIntegrationState(m);
        if (m.progress.integrating && runIsValid(record)) {
            const SolverOutcome outcome = ModelStep(m, m.progress.integrationState);
            if (solverFailureBeeps(outcome) && hooks.beep && !beeped) {
                hooks.beep();
                beeped = true;
            }
        } else {
            m.state.modelTime += kStepLength_s;
        }
        if (m.state.solverFailed)
            setRunStatus(record, kRunError);
        showRunClockIfDue(m, hooks);
        recordStep(m, record, hooks, t);
        sampleFlowVolume(m, record, t);
        if (runEnds(m, t))
            break;
    }
    finishRun(m, record, hooks);
}

} // namespace vm::model

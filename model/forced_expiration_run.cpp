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
            record.setLobeState(workingRow, n, k, m.flowLimited[static_cast<std::size_t>(k - 1)]);
        }
    }
    for (int k = 1; k <= kVtSamples; ++k) {
        record.setVtTime(workingRow, k, 0.0f);
        record.setVtVolume(workingRow, k, 0.0f);
    }
}

void StartRun(ModelState& m, SimulationRecord& record) {
    m.solverFailed = 0;
    ConvertSettingsToTargets(m, record);
    m.rampGeometry = m.rampAirways = m.rampChestTissue = m.rampActive = true;
    m.rampCountdown = 100;
    m.modelTime = 0;
    m.pressureStep = 0.001;
    m.inspiratoryHold = 1.0;
    m.breathCount = 1;
    m.integrating = true;
    m.recording = false;
    m.forcedRecording = false;
    m.stepCount = 0;
    m.sampleCount = 0;
    m.recordStart = 0;
    m.previousVolume = m.lungVolume;
    // Every run begins its breathing pattern afresh: a phase left at 8 by the previous run
    // would let a run that never reached the manoeuvre pass as valid.
    m.inspTime = 0.2;
    m.expTime = 0.3;
    m.manoeuvrePhase = 0;
    m.runClockTime = 0;
}

void ShowRunClockIfDue(ModelState& m, const RunHooks& hooks) {
    const int n = substepsPerStep[static_cast<std::size_t>(m.integrationState - 1)];
    const long long divisor = std::llabs(910 - 12 * n);
    const long long ms = std::llrint(1000 * m.modelTime);
    if (ms % divisor == 0 && (m.recording || m.recordStart == 0)) {
        m.runClockTime = m.modelTime - m.recordStart;
        if (hooks.showRunClock)
            hooks.showRunClock(m.runClockTime);
    }
}

void RecordStep(ModelState& m, SimulationRecord& record, const RunHooks& hooks, double t) {
    if (!m.recording || !RunIsValid(record))
        return;
    m.stepCount += 1;
    // Beyond the record's last volume-time sample nothing more is stored or drawn.
    if (m.stepCount % 100 == 0 && StoreVolumeTimeSample(m, record) && hooks.liveFrameTick)
        hooks.liveFrameTick();
    if (m.forcedRecording && t > EffortStart(m) + 1 &&
        record.field(workingRow, RowField::fev1) == 0) {
        record.setField(workingRow, RowField::fev1, static_cast<float>(m.lungVolume));
        record.setField(workingRow, RowField::flowAt1s, static_cast<float>(m.mouthFlow));
    }
}

void SampleFlowVolume(ModelState& m, SimulationRecord& record, double t) {
    if (!m.forcedRecording)
        return;
    const double recordedFlow = m.mouthFlow;
    if (m.mouthFlow < 0) {
        const double fet = record.field(workingRow, RowField::fet);
        record.setField(workingRow, RowField::fet, static_cast<float>(fet + 0.001));
    }
    // After a failure the state stands still; nothing of it belongs on the curve.
    if (!RunIsValid(record))
        return;
    const double T = EffortStart(m);
    const double riseEnd = T + m.effortRiseTime;
    const bool due = (t < T && m.stepCount % 60 == 0) ||
                     (t > riseEnd + 1 && m.stepCount % 30 == 0) ||
                     (T < t && t < riseEnd + 1 && m.stepCount % 2 == 0);
    if (due)
        TakeFlowVolumeSample(m, record, recordedFlow);
}

bool RunEnds(const ModelState& m, double t) {
    const double riseEnd = EffortStart(m) + m.effortRiseTime;
    return t > 110 || t > riseEnd + 30 ||
           (t > riseEnd + 5 && !m.recording && std::fabs(m.mouthFlow) < 0.003);
}

void FinishRun(ModelState& m, SimulationRecord& record, const RunHooks& hooks) {
    if (m.manoeuvrePhase < 8 && RunIsValid(record))
        SetRunStatus(record, kRunError);
    if (RunIsValid(record) && !HasExpiredVolume(FindFlowVolumeExtent(record, workingRow))) {
        m.solverFailed = 1;
        SetRunStatus(record, kRunError);
    }
    if (m.solverFailed)
        InitialiseModel(m, record, false, hooks.beep);
    if (RunIsValid(record))
        ComputeSpirometricIndices(record, workingRow);
    else
        record.clearFvVolume(workingRow);
    m.lungVolume = m.leftCentralVolume + m.rightCentralVolume;
    for (double v : m.lobeVolume)
        m.lungVolume += v;
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
        const double t = m.modelTime;
        ApplyRunPhase(m, record, t);
        if (m.rampActive)
            m.integrationState = 7;
        AdjustIntegrationState(m);
        if (m.integrating && RunIsValid(record)) {
            const SolverOutcome outcome = ModelStep(m, m.integrationState);
            if (SolverFailureBeeps(outcome) && hooks.beep && !beeped) {
                hooks.beep();
                beeped = true;
            }
        } else {
            m.modelTime += kStepLength_s;
        }
        if (m.solverFailed)
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

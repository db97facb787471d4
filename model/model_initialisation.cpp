#include "model/model_initialisation.h"

#include "model/model_step.h"
#include "model/ramp_table.h"
#include "model/simd/vector_registers.h"
#include "record/record_state.h"

#include <cmath>
#include <numbers>

using namespace vm::record;

namespace vm::model {

void setReferenceState(ModelState& m) {
    using namespace reference;
    setReferenceParameters(m.parameters);

    IntegratedState& s = m.state;
    s.lungVolume = kLungVolume_l;
    s.leftCentralVolume = kCentralVolume_l;
    s.rightCentralVolume = kCentralVolume_l;
    s.mouthFlow = 0.0;
    s.leftBronchusFlow = 0.0;
    s.rightBronchusFlow = 0.0;
    s.volumeRate = 0.0;
    s.carinaPressure = 0.0;
    s.leftCentralPressure = 0.0;
    s.rightCentralPressure = 0.0;
    const double lobeSpace = kLungVolume_l - kCentralVolume_l - kCentralVolume_l;
    for (int k = 0; k < kLobeCount; ++k) {
        s.lobeVolume[k] = lobeSpace * lobeFraction[k];
        s.gasCompression[k] = 0.0;
        s.lobeFlow[k] = 0.0;
        s.lobeVolumeRate[k] = 0.0;
        s.intermediateEffResistance[k] = 2 * m.parameters.intermediateResistance[k].current;
        // flowLimited keeps what the last run left.
    }
    s.solverFailed = 0;
    s.modelTime = 0.0;

    m.progress.ramp = RampProgress{};
    m.progress.recordStart = 0.0;
    m.progress.integrationState = IntegrationState::substeps15;
}

void InitialiseModel(ModelState& model, SimulationRecord& record, bool resetRowSettings) {
    InitialiseModel(model, record, resetRowSettings, {});
}

void InitialiseModel(ModelState& model, SimulationRecord& record, bool resetRowSettings,
                     const std::function<void()>& beep) {
    clearUpperVectorRegisters();
    setReferenceState(model);
    if (resetRowSettings)
        resetAllRowPartSettings(record);
    // A failed settling leaves solverFailed set until the next run clears it. From the failure
    // on the model stands still and only time runs on, by one substep a step as a step that
    // stops at its first solver call would advance it: stepping a broken state again would
    // redo the failed root search, up to its iteration cap, in every one of the steps left.
    bool beeped = false;
    double& target = model.parameters.musclePressure.target;
    while (model.state.modelTime <= kSettlingTime_s) {
        if (model.state.solverFailed) {
            model.state.modelTime += kStepLength_s / substepCount(model.progress.integrationState);
            continue;
        }
        const double t = model.state.modelTime;
        target = 0.0;
        if (t >= kSettlingRiseStart_s)
            target = 0.5 * model.parameters.inspiratoryPressure *
                     (1 - std::cos((t - kSettlingRiseStart_s) * std::numbers::pi /
                                   kSettlingRiseLength_s));
        if (solverFailureBeeps(ModelStep(model, model.progress.integrationState)) && !beeped &&
            beep) {
            beep();
            beeped = true;
        }
    }
}

} // namespace vm::model

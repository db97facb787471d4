#include "model/model_initialisation.h"

#include "model/model_step.h"
#include "record/record_state.h"

#include <cmath>
#include <numbers>

using namespace vm::record;

namespace vm::model {

void SetReferenceState(ModelState& m) {
    using namespace reference;
    m.atmosphericPressure.setBoth(kAtmosphericPressure_kPa);
    m.tracheaTurbulentCoefficient.setBoth(kTracheaTurbulentCoefficient);
    m.tracheaLaminarResistance.setBoth(kTracheaLaminarResistance);
    m.tracheaInertance.setBoth(kTracheaInertance);
    for (int side = 0; side < 2; ++side) {
        m.bronchusInertance[side].setBoth(kBronchusInertance);
        m.bronchusCoefficient[side].setBoth(kBronchusCoefficient);
        m.centralReferenceVolume[side].setBoth(kCentralReferenceVolume_l);
        m.centralCompliance[side].setBoth(kCentralCompliance);
    }
    m.chestWallResistance.setBoth(kChestWallResistance);
    m.chestWallMinVolume.setBoth(kChestWallMinVolume_l);
    m.chestWallScale.setBoth(kChestWallScale);
    m.chestWallConstant.setBoth(kChestWallConstant);

    m.lungVolume = kLungVolume_l;
    m.leftCentralVolume = kCentralVolume_l;
    m.rightCentralVolume = kCentralVolume_l;
    m.musclePressure.setBoth(0.0);
    m.mouthPressure.setBoth(0.0);
    m.mouthFlow = 0.0;
    m.leftBronchusFlow = 0.0;
    m.rightBronchusFlow = 0.0;
    m.volumeRate = 0.0;
    m.carinaPressure = 0.0;
    m.leftCentralPressure = 0.0;
    m.rightCentralPressure = 0.0;

    const double lobeSpace = kLungVolume_l - kCentralVolume_l - kCentralVolume_l;
    for (int k = 0; k < kLobeCount; ++k) {
        const double fraction = lobeFraction[k];
        m.intermediateResistance[k].setBoth(kIntermediateResistance / fraction);
        m.wallStiffness[k].setBoth(kWallStiffness_kPa);
        m.lobeMinVolume[k].setBoth(kLobeMinVolume_l * fraction);
        m.peripheralConductance[k].setBoth(kPeripheralConductance);
        m.lobeMaxVolume[k].setBoth(kLobeMaxVolume_l * fraction);
        m.lobeElasticScale[k].setBoth(kLobeElasticScale);
        m.tissueResistance[k].setBoth(kTissueResistance / fraction);
        m.lobeVolume[k] = lobeSpace * fraction;
        m.gasCompression[k] = 0.0;
        m.lobeFlow[k] = 0.0;
        m.lobeVolumeRate[k] = 0.0;
        m.intermediateEffResistance[k] = 2 * m.intermediateResistance[k].current;
        // pleuralOffset and flowLimited keep what the last run left.
    }

    m.rampGeometry = false;
    m.rampAirways = false;
    m.rampChestTissue = false;
    m.rampActive = false;
    m.solverFailed = 0;
    m.recordStart = 0.0;
    m.modelTime = 0.0;
    m.integrationState = 4;
}

void InitialiseModel(ModelState& model, SimulationRecord& record, bool resetRowSettings) {
    InitialiseModel(model, record, resetRowSettings, {});
}

void InitialiseModel(ModelState& model, SimulationRecord& record, bool resetRowSettings,
                     const std::function<void()>& beep) {
    SetReferenceState(model);
    if (resetRowSettings)
        resetAllRowPartSettings(record);
    // A failed settling leaves solverFailed set; every later step then ends at its first solver
    // call, time still advances, and the next run clears the flag.
    bool beeped = false;
    while (model.modelTime <= kSettlingTime_s) {
        model.musclePressure.target =
            model.modelTime < 0.5
                ? 0.0
                : 0.5 * model.inspiratoryPressure *
                      (1 - std::cos((model.modelTime - 0.5) * std::numbers::pi / 2));
        if (SolverFailureBeeps(ModelStep(model, model.integrationState)) && !beeped && beep) {
            beep();
            beeped = true;
        }
    }
}

} // namespace vm::model

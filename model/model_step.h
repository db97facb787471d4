#pragma once
// One millisecond of the model, integrated by the explicit Euler rule in n equal substeps.

#include "model/flow_limitation_solver.h"
#include "model/model_state.h"

namespace vm::model {

// Advances the model by one step in the given integration state. Stops at the first sign of
// numerical failure with solverFailed set and the state left as it then stands; the outcome
// tells whether the solver gave up with the beep.
SolverOutcome ModelStep(ModelState& model, IntegrationState integrationState);

// Chest-wall recoil (kPa) at the given lung volume.
double chestWallPressureAt(const ModelState& model, double lungVolume);

// Resistance of a lobe's peripheral airway at its current volume: large but finite at the
// minimal volume.
double peripheralResistanceAt(double conductance, double lobeVolume, double lobeMinVolume);
// The same with the cube root of the minimal volume worked out already.
double peripheralResistanceAt(double conductance, double lobeVolume, double lobeMinVolume,
                              double lobeMinVolumeRoot);

// The volume the peripheral airway's law takes for a lobe: never below the minimal volume.
inline double openPeripheralVolume(double lobeVolume, double lobeMinVolume) {
    return lobeVolume > lobeMinVolume + 0.0001 ? lobeVolume : lobeMinVolume + 0.0001;
}

// The same law from the cube roots of that volume and of the minimal volume.
inline double peripheralResistanceFromRoots(double conductance, double openVolumeRoot,
                                            double lobeMinVolumeRoot) {
    const double span = openVolumeRoot - lobeMinVolumeRoot;
    const double span2 = span * span;
    return 1.0 / (conductance * (span2 * span2));
}

// Transmural pressure of a central compartment of volume Vc (reference volume Vr, compliance
// C): its elastic part plus the pressure of the net inflow; lobeConductanceSum is Σ 1/R2 of the
// lung's lobes and constant 0.4 on the left, 0.1 on the right. An empty compartment stays finite.
double centralTransmuralPressure(double Vc, double Vr, double C, double bronchusFlow,
                                 double lobeInflow, double lobeConductanceSum, double constant);
// The same with 1/Vr and Vr/C worked out already.
double centralTransmuralPressure(double Vc, double Vr, double inverseVr, double VrOverC,
                                 double bronchusFlow, double lobeInflow, double lobeConductanceSum,
                                 double constant);

} // namespace vm::model

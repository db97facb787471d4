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

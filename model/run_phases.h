#pragma once
// The phase logic of a run: from the time, the breath and the lung volume it chooses the
// muscle-pressure target and the integration state of the coming step.

#include "model/model_state.h"
#include "record/simulation_record.h"

namespace vm::model {

// T: the start of the forced expiratory effort, from the current breath start and hold.
double effortStart(const ModelState& model);

// Steps 1..6 of each 1-ms step at time t (the time at the start of the step): writes
// musclePressure.target and integrationState and the run variables; may update the working
// row's frc, tlc, runStatus and trace sample 0.
void applyRunPhase(ModelState& model, record::SimulationRecord& record, double t);

// Raises the integration state where the state is stiff: a central compartment far from its
// reference volume, a lobe near its minimal or maximal volume.
void adjustIntegrationState(ModelState& model);

} // namespace vm::model

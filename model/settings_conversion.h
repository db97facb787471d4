#pragma once
// Turns the percent settings of the reference row and the working row into the model's
// parameter targets. A factor is always reference% x working% / 10000, so a result keeps its
// absolute settings whichever row is the reference.

#include "model/model_state.h"
#include "record/simulation_record.h"

namespace vm::model {

// The factor of part p (0 left, 1 right, 2 both lungs, 3..7 lobes 1..5) and column c.
double partSettingFactor(const record::SimulationRecord& record, int part, int column);
double globalSettingFactor(const record::SimulationRecord& record, int item);

// Whether the model reads setting column c of part p: all but the lobes' own lung size.
bool settingIsRead(int part, int column);

// Writes the targets of the converted parameters (and the unramped drive values), sets
// relativeLungSize and resets pleuralOffset (current and target) to the run's table.
void convertSettingsToTargets(Parameters& model, const record::SimulationRecord& record);

} // namespace vm::model

#pragma once
// One simulated spirometric test: settling, tidal breathing, a slow maximal expiration, a
// maximal inspiration with a hold, a forced expiration and a final inspiration. Writes only the
// working row (row 1), with the reference row (row 0) as the baseline of the settings.

#include "model_state.h"
#include "run_hooks.h"
#include "run_status.h"
#include "simulation_record.h"

void RunForcedExpiration(ModelState& model, SimulationRecord& record, const RunHooks& hooks);

// Whether every setting factor the model reads is a finite positive number.
bool SettingsAreUsable(const SimulationRecord& record);

#pragma once
// One simulated spirometric test: settling, tidal breathing, a slow maximal expiration, a
// maximal inspiration with a hold, a forced expiration and a final inspiration. Writes only the
// working row (row 1), with the reference row (row 0) as the baseline of the settings.

#include "model/model_state.h"
#include "model/run_hooks.h"
#include "model/run_status.h"
#include "record/simulation_record.h"

namespace vm::model {

void RunForcedExpiration(ModelState& model, record::SimulationRecord& record,
                         const RunHooks& hooks);

// Whether every setting factor the model reads is a finite positive number.
bool settingsAreUsable(const record::SimulationRecord& record);

} // namespace vm::model

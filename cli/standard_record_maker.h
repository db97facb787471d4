#pragma once
// The standard record: row 0 is the result of a run at all settings 100 from a freshly
// initialised model, with part and global settings 100; rows 1..4 are zero.

#include "record/simulation_record.h"

#include <string>

namespace vm::cli {

// Fills record with the standard record. Fails, with a message, when the run is not valid.
bool makeStandardRecord(record::SimulationRecord& record, std::string& message);

} // namespace vm::cli

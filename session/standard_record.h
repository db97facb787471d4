#pragma once
// The standard record: row 0 is the result of a run at all settings 100 from a freshly
// initialised model, with part and global settings 100; rows 1..4 are zero.

#include "record/simulation_record.h"

#include <filesystem>
#include <string>

namespace vm::session {

// Fills record with the standard record. Fails, with a message, when the run is not valid.
bool MakeStandardRecord(record::SimulationRecord& record, std::string& message);

// Makes it and writes it to path, making the folder when missing. Empty on success, else what
// went wrong.
std::string WriteStandardRecord(const std::filesystem::path& path);

} // namespace vm::session

#pragma once
// Reading and writing a whole record: the standard record and simulation files are the record's
// 621360 bytes with no header.

#include "record/file_layer.h"
#include "record/file_replace.h"
#include "record/simulation_record.h"

#include <filesystem>
#include <string>

namespace vm::record {

// Reads into a scratch record first: on any failure the record is left exactly as it was.
FileResult readRecordFile(const std::filesystem::path& path, SimulationRecord& record);

// Replaces the file as replaceFileContents does: a failed write never leaves a truncated
// simulation file, and a device or FIFO is written directly.
FileResult writeRecordFile(const std::filesystem::path& path, const SimulationRecord& record);

} // namespace vm::record

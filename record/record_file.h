#pragma once
// Reading and writing a whole record: the standard record and simulation files are the record's
// 621360 bytes with no header.

#include "record/file_layer.h"
#include "record/simulation_record.h"

#include <filesystem>
#include <string>

namespace vm::record {

// The outcome of a file operation; on failure the message is what the file layer reports, such
// as "File not found" or "Read beyond end of file", with the path.
struct FileResult {
    bool ok = true;
    std::string message;

    static FileResult success() { return {}; }
    static FileResult failure(std::string m) { return {false, std::move(m)}; }
};

// Reads into a scratch record first: on any failure the record is left exactly as it was.
FileResult readRecordFile(const std::filesystem::path& path, SimulationRecord& record);

// Writes to a temporary file beside the target and renames it over the target, so that a failed
// write never leaves a truncated simulation file.
FileResult writeRecordFile(const std::filesystem::path& path, const SimulationRecord& record);

} // namespace vm::record

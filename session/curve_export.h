#pragma once
// The record as text for other programs: the curves and the indices of the reference and of every
// result in use, as CSV in the C locale with 9 significant digits, so that every stored float
// reads back unchanged. The window's "Eksport" menu and the runner's export both write these.

#include "record/simulation_record.h"

#include <filesystem>
#include <string>

namespace vm::session {

// "row,sample,volume [l],flow [l/s]": rows 0..resultCount, each up to the first sample whose volume
// is 0, the end of the curve.
std::string FlowVolumeCsv(const record::SimulationRecord& record, int resultCount);

// "row,sample,time [s],volume [l]": rows 0..resultCount, each up to the first sample whose time is
// 0.
std::string VolumeTimeCsv(const record::SimulationRecord& record, int resultCount);

// One line per row 0..resultCount: the row, its status, the settings of both lungs, the expiratory
// effort, then every index with its unit in the header, then the indices read from its curves.
std::string ResultsCsv(const record::SimulationRecord& record, int resultCount);

class Session;
// The same of the session's record, and with withPredicted each row's predicted values, limits,
// z-scores and reading for the session's patient.
std::string ResultsCsv(const Session& session, bool withPredicted);

// A row's run status as one word: "valid", "dead" or "error".
std::string runStatusWord(float status);

// Writes text to path as every save of the program writes (record/file_replace.h): a failed
// write leaves no partial file. Empty on success, else the file layer's message.
std::string WriteTextFile(const std::filesystem::path& path, const std::string& text);

} // namespace vm::session

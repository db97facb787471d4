#pragma once
// How the headless runner prints results for people to read: tables of the indices beside the
// reference's, every number with three decimals, "-" where a row cannot give one. Scripts take
// the JSON and CSV (session/batch_json.h, session/batch_csv.h).

#include "session/batch_result.h"

#include <string>
#include <vector>

namespace vm::cli {

// A run's status and its stored indices beside the reference's.
std::string runTable(const session::RowResult& result, const session::RowResult& reference,
                     int runNumber);

// Rows 0..n side by side: the status, the settings of both lungs, those of the other lung parts
// ("right.rCentral") that some row moves from 100, the expiratory effort, the other global items
// that some row moves from 100, and the stored indices. Each row's settings are asked for.
std::string rowsTable(const std::vector<session::RowResult>& rows);

// The indices read from the curves of a result beside the reference's, then, for a patient, the
// result's predicted values, limits, z-scores and reading: lines as runTable writes them.
std::string readingTable(const session::RowResult& result, const session::RowResult& reference,
                         const session::ResultReading* reading);

} // namespace vm::cli

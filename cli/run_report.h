#pragma once
// How the headless runner prints the result of one run from the working row.

#include "record/vocabulary.h"
#include "session/result_reading.h"

#include <string>

namespace vm::cli {

// One line of JSON: the row's indices under their own names with 9 significant digits (enough
// for the single-precision values to read back unchanged), then the stored samples as
// fvSamples [[volume, flow], ...] and vtSamples [[time, volume], ...].
// readingFields, when given, stand after the indices (session/reading_text.h makes them).
std::string runJson(const record::SimulationRecord& record, int runNumber,
                    const std::string& readingFields = {});

// A readable table of the same indices.
std::string runTable(const record::SimulationRecord& record, int runNumber);

// Record row `row` of a simulation file as one JSON line: "row" in place of runJson's "run", the
// same indices and samples, then the settings: "partSettings" of every other lung part by its
// runner's name ("left", "right", "lobe1".."lobe5"), each by column name, "settings" of both
// lungs and "globalSettings", the 20 items in order.
std::string rowJson(const record::SimulationRecord& record, int row,
                    const std::string& readingFields = {});

// Rows 0..lastRow side by side: the status, the settings of both lungs, those of the other lung
// parts ("right.rCentral") that some row moves from 100, the expiratory effort, the other global
// items that some row moves from 100, and the indices.
std::string rowsTable(const record::SimulationRecord& record, int lastRow);

// ",\"fev1\":..": every index of the row under its JSON key, each led by a comma, as run --json
// writes them.
std::string indexJsonFields(const record::SimulationRecord& record, int row);

// The indices read from the curves of a result beside the reference's, then, for a patient, the
// result's predicted values, limits, z-scores and reading: lines as runTable writes them.
std::string readingTable(const session::CurveIndices& result,
                         const session::CurveIndices& reference,
                         const session::ResultReading* reading);

// A float written with 9 significant digits.
std::string formatFloat(float v);

} // namespace vm::cli

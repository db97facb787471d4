#pragma once
// The batch outputs as CSV, each written here from the typed results: the sweep's table (whose
// columns the Python module's sweep rows take too), a record's results and its curves. Numbers in
// the C locale, a stored value with 9 significant digits (which read back to the float), any
// other in its shortest text; an index a row cannot give, or a reading that cannot be made, is
// an empty cell.

#include "record/simulation_record.h"
#include "session/batch_result.h"
#include "session/number_text.h"
#include "session/sweep.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vm::session {

class Session;

// One cell of a batch table, typed: the CSV writes its text, the Python module its value.
struct BatchCell {
    enum class Kind { empty, whole, number, text };
    Kind kind = Kind::empty;
    double number = 0.0;
    NumberForm form = NumberForm::shortest;
    std::size_t whole = 0;
    std::string text;
};
using BatchCells = std::vector<BatchCell>;

// The sweep's columns: "point", each axis by its name, "status", every index by its key and, with
// a patient, the patient's and the reading's (as results.csv names them, without units); and a
// row's cells in the same order.
std::vector<std::string> sweepColumns(const std::vector<SweepAxis>& axes, bool withPatient);
BatchCells sweepCells(const SweepRow& row, bool withPatient);

// A line of CSV: the names, or the cells' text.
std::string csvLine(const std::vector<std::string>& names);
std::string csvLine(const BatchCells& cells);

// "row,sample,volume [l],flow [l/s]": rows 0..resultCount, each up to the first sample whose
// volume is 0, the end of the curve.
std::string FlowVolumeCsv(const record::SimulationRecord& record, int resultCount);
// "row,sample,time [s],volume [l]": rows 0..resultCount, each up to the first sample whose time
// is 0.
std::string VolumeTimeCsv(const record::SimulationRecord& record, int resultCount);
// One line per row 0..resultCount: the row, its status, the settings of both lungs, the
// expiratory effort, then every index with its unit in the header and, with withPredicted, the
// row's predicted values, limits, z-scores and reading for the session's patient.
std::string ResultsCsv(const Session& session, bool withPredicted);

// Writes text to path as every save of the program writes (record/file_replace.h): a failed
// write leaves no partial file. Empty on success, else the file layer's message.
std::string WriteTextFile(const std::filesystem::path& path, const std::string& text);

} // namespace vm::session

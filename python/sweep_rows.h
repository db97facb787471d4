#pragma once
// The lines of a sweep's CSV read back as values, column by column as its header names them:
// "point" as a whole number, each stored index exactly the single-precision number the record
// held (its 9 significant digits read back to it), any other number as the double its shortest
// text gives (the swept percents, the indices read from the curves, the predicted values), an
// empty field as NaN and anything else as text (the status, the reading's keys).

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vm::python {

using SweepCell = std::variant<std::size_t, double, std::string>;

struct SweepTable {
    std::vector<std::string> columns;
    std::vector<std::vector<SweepCell>> rows;
};

// The table of `csv` as the sweep writes it, a shard's heading skipped. Empty message on success,
// else the line that did not read.
std::string readSweepTable(std::string_view csv, SweepTable& table);

} // namespace vm::python

#pragma once
// The lines of a sweep's CSV read back as values: each index exactly the single-precision number
// the record held (9 significant digits read back to it), each swept percent the double the grid
// gave (its shortest text reads back to it), an empty field as NaN.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm::python {

struct SweepRow {
    std::size_t point = 0;
    std::vector<double> percents; // one per axis
    std::string status;
    std::vector<double> indices; // one per index of the index table
};

// The rows of `csv` as the sweep writes it: a shard's heading and the header are skipped. Empty
// message on success, else the line that did not read.
std::string readSweepRows(std::string_view csv, std::size_t axisCount, std::vector<SweepRow>& rows);

} // namespace vm::python

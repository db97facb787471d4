#include "data/text_grid.h"

#include "record/simulation_record.h"

using namespace vm::record;

namespace vm::data {

TextGrid::TextGrid(int columnCount, int rowCount) : columns_(0), rows_(0) {
    growColumns(columnCount);
    growRows(rowCount);
}

void TextGrid::growColumns(int count) {
    if (count <= columns_)
        return;
    columns_ = count;
    for (auto& row : cells_)
        row.resize(static_cast<std::size_t>(columns_));
}

void TextGrid::growRows(int count) {
    if (count <= rows_)
        return;
    rows_ = count;
    cells_.resize(static_cast<std::size_t>(rows_),
                  std::vector<std::string>(static_cast<std::size_t>(columns_)));
}

const std::string& TextGrid::cell(int column, int row) const {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        throw RangeError("Range check error: grid cell " + std::to_string(column) + "," +
                         std::to_string(row));
    return cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void TextGrid::setCell(int column, int row, std::string text) {
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        throw RangeError("Range check error: grid cell " + std::to_string(column) + "," +
                         std::to_string(row));
    cells_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::move(text);
}

} // namespace vm::data

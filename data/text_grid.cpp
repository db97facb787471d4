#include "data/text_grid.h"

#include "record/simulation_record.h"

using namespace vm::record;

namespace vm::data {

namespace {

void checkCell(int column, int row, int columns, int rows) {
    if (column < 0 || column >= columns || row < 0 || row >= rows)
        throw RangeError("Range check error: grid cell " + std::to_string(column) + "," +
                         std::to_string(row));
}

const std::string kEmptyCell;

} // namespace

TextGrid::TextGrid(int columnCount, int rowCount) : columns_(0), rows_(0) {
    growColumns(columnCount);
    growRows(rowCount);
}

void TextGrid::growColumns(int count) {
    if (count > columns_)
        columns_ = count;
}

void TextGrid::growRows(int count) {
    if (count > rows_)
        rows_ = count;
}

const std::string& TextGrid::cell(int column, int row) const {
    checkCell(column, row, columns_, rows_);
    const auto r = static_cast<std::size_t>(row);
    if (r >= writtenRows_.size() || static_cast<std::size_t>(column) >= writtenRows_[r].size())
        return kEmptyCell;
    return writtenRows_[r][static_cast<std::size_t>(column)];
}

void TextGrid::setCell(int column, int row, std::string text) {
    checkCell(column, row, columns_, rows_);
    const auto r = static_cast<std::size_t>(row);
    const auto index = static_cast<std::size_t>(column);
    if (r >= writtenRows_.size() || index >= writtenRows_[r].size()) {
        if (text.empty())
            return; // an unwritten cell is empty already
        if (r >= writtenRows_.size())
            writtenRows_.resize(r + 1);
        writtenRows_[r].resize(index + 1);
    }
    writtenRows_[r][index] = std::move(text);
}

} // namespace vm::data

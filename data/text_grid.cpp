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
    const auto found = writtenRows_.find(row);
    if (found == writtenRows_.end() || static_cast<std::size_t>(column) >= found->second.size())
        return kEmptyCell;
    return found->second[static_cast<std::size_t>(column)];
}

void TextGrid::setCell(int column, int row, std::string text) {
    checkCell(column, row, columns_, rows_);
    const auto index = static_cast<std::size_t>(column);
    auto found = writtenRows_.find(row);
    if (found == writtenRows_.end() || index >= found->second.size()) {
        if (text.empty())
            return; // an unwritten cell is empty already
        if (found == writtenRows_.end())
            found = writtenRows_.emplace(row, std::vector<std::string>()).first;
        found->second.resize(index + 1);
    }
    found->second[index] = std::move(text);
}

} // namespace vm::data

#pragma once
// A grid of text cells addressed as (column, row), whose row and column counts only grow: the
// hidden parameter table and the text behind the results table and the row grid.

#include <string>
#include <vector>

namespace vm::data {

class TextGrid {
  public:
    TextGrid(int columnCount, int rowCount);

    int columnCount() const { return columns_; }
    int rowCount() const { return rows_; }

    // Raising a count adds empty cells; a smaller count is ignored (the grid only grows).
    void growColumns(int count);
    void growRows(int count);

    // Checked: a cell outside the grid is a RangeError.
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

  private:
    int columns_;
    int rows_;
    // Rows up to the last one written, each only up to its last written cell: the counts may grow
    // far beyond what a file holds (one long line and many empty ones), the memory may not. A
    // row is found at once: the airway picture looks at every row on each move of the mouse.
    std::vector<std::vector<std::string>> writtenRows_;
};

} // namespace vm::data

#pragma once
// A text grid whose every cell is drawn by its owner: the results table and the row grid. The
// text lives in a TextGrid; the widget only lays the cells out, paints them through the owner's
// handler and reports clicks.

#include "data/text_grid.h"

#include <QWidget>

#include <functional>
#include <vector>

namespace vm::ui {

class StringGrid : public QWidget {
    Q_OBJECT
  public:
    // Paints one cell completely: background and text. rect is the cell without its grid lines.
    using DrawCellHandler = std::function<void(QPainter&, int column, int row, const QRect&)>;

    StringGrid(int columnCount, int rowCount, QWidget* parent = nullptr);

    data::TextGrid& cells() { return cells_; }
    const data::TextGrid& cells() const { return cells_; }
    int columnCount() const { return cells_.columnCount(); }
    int rowCount() const { return cells_.rowCount(); }

    // Width of the lines between cells, in pixels.
    static constexpr int gridLineWidth = 1;

    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    int rowHeight(int row) const;
    void setRowHeight(int row, int height);
    void setAllRowHeights(int height);

    QRect cellRect(int column, int row) const;
    // The grid row under a point of the widget, or -1.
    int rowAt(QPoint point) const;

    // The grid's cursor row; moving it reports currentRowChanged.
    int row() const { return currentRow_; }
    void setRow(int row);

    void setDrawCellHandler(DrawCellHandler handler) { drawCell_ = std::move(handler); }
    // Drawn after every cell, unclipped: lines that cross the whole grid.
    void setDrawOverCellsHandler(std::function<void(QPainter&)> handler) {
        drawOverCells_ = std::move(handler);
    }

  signals:
    void currentRowChanged(int row);
    // A left click on the row the cursor already stands on: the cursor does not move.
    void currentRowClicked(int row);
    void rightClicked(QPoint globalPosition, int row);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // With the focus, the up and down arrows move the cursor row as a click on that row would.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    data::TextGrid cells_;
    std::vector<int> columnWidths_;
    std::vector<int> rowHeights_;
    int currentRow_ = 0;
    DrawCellHandler drawCell_;
    std::function<void(QPainter&)> drawOverCells_;
};

} // namespace vm::ui

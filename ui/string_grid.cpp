#include "ui/string_grid.h"

#include "record/vocabulary.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <string>

using namespace vm::record;

namespace vm::ui {

namespace {
constexpr int kDefaultColumnWidth = 64;
constexpr int kDefaultRowHeight = 24;
} // namespace

StringGrid::StringGrid(int columnCount, int rowCount, QWidget* parent)
    : QWidget(parent), cells_(columnCount, rowCount),
      columnWidths_(static_cast<std::size_t>(columnCount), kDefaultColumnWidth),
      rowHeights_(static_cast<std::size_t>(rowCount), kDefaultRowHeight) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

int StringGrid::columnWidth(int column) const {
    if (column < 0 || column >= columnCount())
        throw RangeError("Grid index out of range: column " + std::to_string(column));
    return columnWidths_[static_cast<std::size_t>(column)];
}

void StringGrid::setColumnWidth(int column, int width) {
    columnWidth(column); // checks the index
    columnWidths_[static_cast<std::size_t>(column)] = std::max(0, width);
    update();
}

int StringGrid::rowHeight(int row) const {
    if (row < 0 || row >= rowCount())
        throw RangeError("Grid index out of range: row " + std::to_string(row));
    return rowHeights_[static_cast<std::size_t>(row)];
}

void StringGrid::setRowHeight(int row, int height) {
    rowHeight(row);
    rowHeights_[static_cast<std::size_t>(row)] = std::max(0, height);
    update();
}

void StringGrid::setAllRowHeights(int height) {
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, height);
}

QRect StringGrid::cellRect(int column, int row) const {
    int x = 0;
    for (int c = 0; c < column; ++c)
        x += columnWidth(c) + gridLineWidth;
    int y = 0;
    for (int r = 0; r < row; ++r)
        y += rowHeight(r) + gridLineWidth;
    return QRect(x, y, columnWidth(column), rowHeight(row));
}

int StringGrid::rowAt(QPoint point) const {
    int y = 0;
    for (int r = 0; r < rowCount(); ++r) {
        const int bottom = y + rowHeight(r) + gridLineWidth;
        if (point.y() >= y && point.y() < bottom)
            return r;
        y = bottom;
    }
    return -1;
}

void StringGrid::setRow(int row) {
    rowHeight(row); // checks the index
    if (row == currentRow_)
        return;
    currentRow_ = row;
    emit currentRowChanged(row);
}

void StringGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Grid lines show through the gaps between cells; the area beyond the last cell is the
    // grid's own colour.
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
    const QRect last = cellRect(columnCount() - 1, rowCount() - 1);
    painter.fillRect(
        QRect(0, 0, last.right() + 1 + gridLineWidth, last.bottom() + 1 + gridLineWidth),
        palette().color(QPalette::Mid));
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            const QRect rect = cellRect(c, r);
            if (!rect.intersects(event->rect()) || !drawCell_)
                continue;
            painter.save();
            painter.setClipRect(rect);
            painter.setFont(font());
            drawCell_(painter, c, r, rect);
            painter.restore();
        }
    }
    if (drawOverCells_)
        drawOverCells_(painter);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
    const int r = rowAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        emit rightClicked(event->globalPosition().toPoint(), r);
        return;
    }
    if (event->button() != Qt::LeftButton || r < 0)
        return;
    if (r == currentRow_)
        emit currentRowClicked(r);
    else
        setRow(r);
}

void StringGrid::keyPressEvent(QKeyEvent* event) {
    const int step = event->key() == Qt::Key_Up ? -1 : event->key() == Qt::Key_Down ? 1 : 0;
    if (step == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    setRow(std::clamp(currentRow_ + step, 0, rowCount() - 1));
}

} // namespace vm::ui

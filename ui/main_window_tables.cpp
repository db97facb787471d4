// The results table, the row grid and the note box: filling their text from the record and
// painting their cells by the tables' colour rules.

#include "ui/main_window.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>
#include <QTextEdit>

using namespace vm::session;

namespace vm::ui {

namespace {
// Numbers are shown with the user's decimal separator; one that is not a single plain character
// falls back to the point.
char localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return point.at(0).toLatin1();
    return '.';
}
} // namespace

void TForm1::ShowResultsTable(int row, bool withValues) {
    const int note = ::ShowResultsTable(StringGrid1->cells(), record_, state_, row, withValues,
                                        localeDecimalSeparator());
    ShowSettingNote(note);
    StringGrid1->update();
}

void TForm1::FillGridRow(int gridRow, int recordRow) {
    ::FillGridRow(StringGrid2->cells(), record_, gridRow, recordRow, localeDecimalSeparator());
    StringGrid2->update();
}

void TForm1::paintCell(QPainter& painter, const StringGrid& grid, const CellPaint& paint,
                       const QRect& rect, const std::string& text) {
    const QColor background = paint.systemMenuColour
                                  ? QApplication::palette("QMenu").color(QPalette::Window)
                                  : QColor::fromRgb(paint.background);
    painter.fillRect(rect, background);
    if (!paint.drawText)
        return;
    painter.setPen(paint.useGridFontColour ? grid.palette().color(QPalette::WindowText)
                                           : QColor::fromRgb(paint.text));
    const QRect textArea = rect.adjusted(paint.textOffsetX, paint.textOffsetY, 0, 0);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(text));
}

void TForm1::StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    paintCell(painter, *StringGrid1, resultsCellPaint(row, column, state_.selectedRow), rect,
              StringGrid1->cells().cell(column, row));
}

void TForm1::StringGrid2DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    const CellPaint paint =
        rowGridCellPaint(row, state_.selectedRow, state_.resultCount, StringGrid2->rowCount());
    paintCell(painter, *StringGrid2, paint, rect, StringGrid2->cells().cell(column, row));
}

// The current-settings line is set off from the results by a thick black line across the grid,
// centred on that line's last pixel row.
void TForm1::drawRowGridSeparator(QPainter& painter) {
    const int lastColumn = StringGrid2->columnCount() - 1;
    for (int row = 0; row < StringGrid2->rowCount(); ++row) {
        const CellPaint paint =
            rowGridCellPaint(row, state_.selectedRow, state_.resultCount, StringGrid2->rowCount());
        if (!paint.thickLineBelow)
            continue;
        const QRect first = StringGrid2->cellRect(0, row);
        const QRect last = StringGrid2->cellRect(lastColumn, row);
        painter.fillRect(
            QRect(first.left(), first.bottom() - 1, last.right() - first.left() + 1, 3), Qt::black);
    }
}

} // namespace vm::ui

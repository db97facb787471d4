#include "ui/results_view.h"

#include "session/results_table.h"
#include "ui/string_grid.h"
#include "ui/widget_making.h"

#include <QApplication>
#include <QLocale>
#include <QPainter>

using namespace vm::session;

namespace vm::ui {

namespace {

void paintCell(QPainter& painter, const StringGrid& grid, const CellPaint& paint, const QRect& rect,
               const std::string& text) {
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

void place(QWidget* widget, const Box& box) {
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

// Above this screen height the results table gets its larger font.
constexpr int kResultsFontPointSize = 10;

} // namespace

char localeDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return point.at(0).toLatin1();
    return '.';
}

ResultsView::ResultsView(QWidget* client, const Session& session)
    : QObject(client), session_(session) {
    StringGrid1 =
        named(new StringGrid(kResultsTableColumns, kResultsTableRows, client), "StringGrid1");
    paintBackground(StringGrid1, kSilver);
    StringGrid2 = named(new StringGrid(kRowGridColumns, kRowGridRows, client), "StringGrid2");
    for (int separator : {2, 5, 8})
        StringGrid2->setColumnWidth(separator, 15);
    // The row grid takes the keyboard focus for its arrow keys.
    StringGrid2->setFocusPolicy(Qt::StrongFocus);

    StringGrid1->setDrawCellHandler(
        [this](QPainter& painter, int column, int row, const QRect& rect) {
            StringGrid1DrawCell(painter, column, row, rect);
        });
    StringGrid2->setDrawCellHandler(
        [this](QPainter& painter, int column, int row, const QRect& rect) {
            StringGrid2DrawCell(painter, column, row, rect);
        });
    StringGrid2->setDrawOverCellsHandler(
        [this](QPainter& painter) { drawRowGridSeparator(painter); });
    connect(StringGrid2, &StringGrid::currentRowChanged, this, &ResultsView::rowChanged);
    connect(StringGrid2, &StringGrid::currentRowClicked, this, &ResultsView::rowClicked);
    connect(StringGrid2, &StringGrid::rightClicked, this, &ResultsView::rowRightClicked);
}

int ResultsView::ShowResultsTable(int row, bool withValues) {
    const int note =
        session_.ShowResultsTable(StringGrid1->cells(), row, withValues, localeDecimalSeparator());
    StringGrid1->update();
    return note;
}

void ResultsView::FillGridRow(int gridRow, int recordRow) {
    session_.FillGridRow(StringGrid2->cells(), gridRow, recordRow, localeDecimalSeparator());
    StringGrid2->update();
}

void ResultsView::showSettingCell(const SettingCell& cell) {
    StringGrid2->cells().setCell(cell.column, 0, cell.text);
    StringGrid2->update();
}

void ResultsView::repaintGrids() {
    StringGrid1->update();
    StringGrid2->update();
}

void ResultsView::StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    paintCell(painter, *StringGrid1, resultsCellPaint(row, column, session_.state().selectedRow),
              rect, StringGrid1->cells().cell(column, row));
}

void ResultsView::StringGrid2DrawCell(QPainter& painter, int column, int row, const QRect& rect) {
    const CellPaint paint = rowGridCellPaint(row, session_.state().selectedRow,
                                             session_.state().resultCount, StringGrid2->rowCount());
    paintCell(painter, *StringGrid2, paint, rect, StringGrid2->cells().cell(column, row));
}

// The current-settings line is set off from the results by a thick black line across the grid,
// centred on that line's last pixel row.
void ResultsView::drawRowGridSeparator(QPainter& painter) {
    const int lastColumn = StringGrid2->columnCount() - 1;
    for (int row = 0; row < StringGrid2->rowCount(); ++row) {
        const CellPaint paint =
            rowGridCellPaint(row, session_.state().selectedRow, session_.state().resultCount,
                             StringGrid2->rowCount());
        if (!paint.thickLineBelow)
            continue;
        const QRect first = StringGrid2->cellRect(0, row);
        const QRect last = StringGrid2->cellRect(lastColumn, row);
        painter.fillRect(
            QRect(first.left(), first.bottom() - 1, last.right() - first.left() + 1, 3), Qt::black);
    }
}

int ResultsView::gridCursor() const {
    return StringGrid2->row();
}

void ResultsView::moveGridCursor(int row) {
    StringGrid2->setRow(row);
}

QWidget* ResultsView::rowGrid() const {
    return StringGrid2;
}

void ResultsView::measure(LayoutInputs& in) const {
    in.gridLineWidth = StringGrid::gridLineWidth;
    in.resultsRowCount = StringGrid1->rowCount();
    in.rowGridRowCount = StringGrid2->rowCount();
}

void ResultsView::place(const MainWindowGeometry& g) {
    vm::ui::place(StringGrid1, g.stringGrid1);
    for (int c = 0; c < StringGrid1->columnCount(); ++c)
        StringGrid1->setColumnWidth(c, g.resultsColumnWidth[static_cast<std::size_t>(c)]);
    StringGrid1->setAllRowHeights(g.resultsRowHeight);
    if (g.resultsFontSize10) {
        QFont tableFont = StringGrid1->font();
        tableFont.setPointSize(kResultsFontPointSize);
        StringGrid1->setFont(tableFont);
    }
    for (int c = 0; c < StringGrid2->columnCount(); ++c)
        StringGrid2->setColumnWidth(c, g.rowGridColumnWidth[static_cast<std::size_t>(c)]);
    StringGrid2->setAllRowHeights(g.rowGridRowHeight);
    vm::ui::place(StringGrid2, g.stringGrid2);
}

} // namespace vm::ui

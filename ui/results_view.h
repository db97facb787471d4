#pragma once
// The results view: the results table (StringGrid1, the indices of the reference beside one
// result) and the row grid (StringGrid2, the settings of each result), their text asked of the
// session and their cells painted by its colour rules. The row grid reports what the user does on
// it; the window turns that into commands.

#include "session/session.h"
#include "ui/main_window_geometry.h"

#include <QObject>
#include <QPoint>

#include <string>

class QPainter;
class QRect;
class QWidget;

namespace vm::ui {

class StringGrid;

class ResultsView : public QObject {
    Q_OBJECT
  public:
    ResultsView(QWidget* client, const session::Session& session);

    // The results table for record row `row` beside the reference, or without values the
    // reference's alone. Returns the note that tells the shown result's status.
    int ShowResultsTable(int row, bool withValues);
    // One line of the row grid from a record row's settings.
    void FillGridRow(int gridRow, int recordRow);
    // One cell of the current-settings line.
    void showSettingCell(const session::SettingCell& cell);
    // Both grids again: the selection and the result count decide how they paint.
    void repaintGrids();

    // Owner drawing, named after the grids.
    void StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect);
    void StringGrid2DrawCell(QPainter& painter, int column, int row, const QRect& rect);

    // The row grid's cursor; moving it reports rowChanged like a click.
    int gridCursor() const;
    void moveGridCursor(int row);
    // The row grid, which START and the replay lock; it takes the focus after the row buttons.
    QWidget* rowGrid() const;

    void measure(LayoutInputs& in) const;
    void place(const MainWindowGeometry& g);

  signals:
    // The row grid's cursor moved to a row, by a click, a key or a command.
    void rowChanged(int row);
    // A left click on the row the cursor already stands on.
    void rowClicked(int row);
    void rowRightClicked(QPoint globalPosition, int row);

  private:
    friend struct WindowProbe;

    void drawRowGridSeparator(QPainter& painter);

    const session::Session& session_;
    StringGrid* StringGrid1 = nullptr; // results table, 5 columns x 16 rows
    StringGrid* StringGrid2 = nullptr; // row grid, 11 columns x 5 rows
};

// The user's decimal separator for numbers in the tables; one that is not a single plain
// character falls back to the point.
char localeDecimalSeparator();

} // namespace vm::ui

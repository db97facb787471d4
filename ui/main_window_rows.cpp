// The result rows: picking one in the row grid, its pop-up menu, deleting it, making it the
// reference, and putting the standard reference back. Each handler runs the session's command
// and redraws what it changed.

#include "ui/main_window.h"

#include "ui/interaction.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

void TForm1::createRowCommands() {
    // Off until a hint is shown; START switches it on when it ends.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    wireCommand(Timer1, &QTimer::timeout, &TForm1::Timer1Timer);

    wireCommand(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    wireCommand(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    wireCommand(Button6, &QPushButton::clicked, &TForm1::Button6Click);

    connect(StringGrid2, &StringGrid::currentRowChanged, this,
            [this](int row) { runCommand([this, row] { StringGrid2SelectCell(row); }); });
    connect(StringGrid2, &StringGrid::currentRowClicked, this,
            [this](int row) { runCommand([this, row] { StringGrid2CurrentRowClick(row); }); });
    connect(StringGrid2, &StringGrid::rightClicked, this, [this](QPoint position, int row) {
        runCommand([this, position, row] { StringGrid2RightClick(position, row); });
    });
}

void TForm1::clearNoteBox() {
    RichEdit1->clear();
}

void TForm1::showRowHelp() {
    interaction_.showHelpFile(dataFilePath("helpfiles/H0005.rtf"));
}

// Whatever the grid's cursor moves to, by a click or by a command, is selected when it holds a
// result.
void TForm1::StringGrid2SelectCell(int row) {
    RefreshResultViews(session_.SelectResultRow(row));
}

// The grid lines first, then the grid's cursor (whose move selects a result and redraws that on
// its own), the track bars before the results table so that the table's note is the one shown,
// the plots, and the note box cleared last.
void TForm1::RefreshResultViews(const ViewChanges& changes) {
    if (changes.message)
        interaction_.showMessage(QString::fromStdString(*changes.message));
    if (changes.currentSettingsLine)
        FillGridRow(0, 0);
    if (changes.resultLines)
        for (int r = 1; r <= 3; ++r)
            FillGridRow(r, r);
    if (changes.referenceLine)
        FillGridRow(4, 0);
    if (changes.gridCursor)
        StringGrid2->setRow(*changes.gridCursor);
    if (changes.controlsFromRow)
        LoadRowSettingsToControls(*changes.controlsFromRow);
    if (changes.resultsTable)
        ShowResultsTable(changes.resultsTable->row, changes.resultsTable->withValues);
    if (changes.flowVolumePlot)
        DrawFlowVolumePlot();
    if (changes.volumeTime == VolumeTimeView::selectedCurve) {
        RedrawVolumeTimeCurve();
    } else if (changes.volumeTime == VolumeTimeView::emptyFrame) {
        volumeTimePlot.setVtStep(1);
        DrawVolumeTimeStep(0);
    }
    // The selection and the result count decide how both grids paint.
    StringGrid1->update();
    StringGrid2->update();
    if (changes.noteBoxCleared)
        clearNoteBox();
    if (changes.dataSourceLabel)
        Label26->setText(QString::fromStdString(*changes.dataSourceLabel));
}

// START selects its new result without moving the grid's cursor, so the cursor can stand on a
// result that is not the selected one; a click there selects it. A click on the selected row
// reloads nothing, so track bars moved since keep their positions.
void TForm1::StringGrid2CurrentRowClick(int row) {
    if (row != state_.selectedRow)
        RefreshResultViews(session_.SelectResultRow(row));
}

// With results, the row under the mouse becomes current (and so selected) and the row menu
// opens there; without any, the help on the row grid is shown instead. The menu's commands act
// on the selected row, so the row under the mouse is selected even when the grid's cursor was
// already on it (after START the cursor can stay on another row than the selected one).
void TForm1::StringGrid2RightClick(QPoint globalPosition, int row) {
    if (state_.resultCount > 0) {
        if (row >= 0 && StringGrid2->row() != row)
            StringGrid2->setRow(row);
        else if (row >= 0 && row != state_.selectedRow)
            RefreshResultViews(session_.SelectResultRow(row));
        PopupMenu1->popup(globalPosition);
    } else {
        showRowHelp();
    }
}

void TForm1::Button3Click() {
    RefreshResultViews(session_.DeleteSelectedRow());
}

void TForm1::DE1Click() {
    RefreshResultViews(session_.DeleteSelectedRow());
}

void TForm1::Button6Click() {
    RefreshResultViews(session_.UseSelectedAsReference());
}

void TForm1::Useasref1Click() {
    RefreshResultViews(session_.UseSelectedAsReference());
}

void TForm1::HELP1Click() {
    showRowHelp();
}

// The standard file is read before anything changes, so a file that cannot be read leaves the
// results and the reference as they were.
void TForm1::Reset1Click() {
    RefreshResultViews(session_.RestoreStandardReference());
}

} // namespace vm::ui

// The result rows: picking one in the row grid, its pop-up menu, deleting it, making it the
// reference, and putting the standard reference back. Each handler runs the session's command
// and redraws what it changed.

#include "ui/main_window.h"

#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/interaction.h"
#include "ui/reading_menu.h"
#include "ui/results_view.h"
#include "ui/teaching_cases_view.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>

using namespace vm::session;

namespace vm::ui {

void TForm1::clearNoteBox() {
    RichEdit1->clear();
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
        results_->FillGridRow(0, 0);
    if (changes.currentSettingCell)
        results_->showSettingCell(*changes.currentSettingCell);
    if (changes.resultLines)
        for (int r = 1; r <= 3; ++r)
            results_->FillGridRow(r, r);
    if (changes.referenceLine)
        results_->FillGridRow(4, 0);
    if (changes.gridCursor)
        results_->moveGridCursor(*changes.gridCursor);
    panel_->showChanges(changes);
    if (changes.resultsTable)
        ShowResultsTable(changes.resultsTable->row, changes.resultsTable->withValues);
    if (changes.settingNote)
        ShowSettingNote(*changes.settingNote);
    if (changes.flowVolumePlot)
        DrawFlowVolumePlot();
    if (changes.volumeTime != VolumeTimeView::unchanged)
        runPicture_.reset();
    if (changes.volumeTime == VolumeTimeView::selectedCurve) {
        RedrawVolumeTimeCurve();
    } else if (changes.volumeTime == VolumeTimeView::emptyFrame) {
        volumeTimePlot.setVtStep(1);
        DrawVolumeTimeStep(0);
    }
    // The selection and the result count decide how both grids paint.
    results_->repaintGrids();
    if (changes.noteBoxCleared)
        clearNoteBox();
    if (changes.dataSourceLabel)
        Label26->setText(QString::fromStdString(*changes.dataSourceLabel));
    reading_->followSelection();
    cases_->showNotice();
}

// START selects its new result without moving the grid's cursor, so the cursor can stand on a
// result that is not the selected one; a click there selects it. A click on the selected row
// reloads nothing, so track bars moved since keep their positions.
void TForm1::StringGrid2CurrentRowClick(int row) {
    if (row != session_.state().selectedRow)
        RefreshResultViews(session_.SelectResultRow(row));
}

// With results, the row under the mouse becomes current (and so selected) and the row menu
// opens there; without any, the help on the row grid is shown instead. The menu's commands act
// on the selected row, so the row under the mouse is selected even when the grid's cursor was
// already on it (after START the cursor can stay on another row than the selected one).
void TForm1::StringGrid2RightClick(QPoint globalPosition, int row) {
    if (session_.state().resultCount > 0) {
        if (row >= 0 && results_->gridCursor() != row)
            results_->moveGridCursor(row);
        else if (row >= 0 && row != session_.state().selectedRow)
            RefreshResultViews(session_.SelectResultRow(row));
        PopupMenu1->popup(globalPosition);
    } else {
        HELP1Click();
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
    interaction_.showHelpFile(helpFilePath("H0005.rtf"));
}

void TForm1::LoadRowSettingsToControls(int row) {
    RefreshResultViews(session_.LoadRowSettings(row));
}

// The standard file is read before anything changes, so a file that cannot be read leaves the
// results and the reference as they were.
void TForm1::Reset1Click() {
    RefreshResultViews(session_.RestoreStandardReference());
}

} // namespace vm::ui

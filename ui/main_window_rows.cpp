// The result rows: picking one in the row grid, its pop-up menu, deleting it, making it the
// reference, and putting the standard reference back. Each command changes the record through
// the row operations and then refreshes the tables and plots that show it.

#include "ui/main_window.h"

#include "ui/interaction.h"
#include "session/row_operations.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

void TForm1::CreateRowCommands() {
    // Off until a hint is shown; START switches it on when it ends.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, [this] { RunCommand([this] { Timer1Timer(); }); });

    const auto wireButton = [this](QPushButton* button, void (TForm1::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
    };
    wireButton(Button2, &TForm1::Button2Click);
    wireButton(Button3, &TForm1::Button3Click);
    wireButton(Button6, &TForm1::Button6Click);

    const auto wireItem = [this](QAction* item, void (TForm1::*handler)()) {
        connect(item, &QAction::triggered, this,
                [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
    };
    wireItem(DE1, &TForm1::DE1Click);
    wireItem(Useasref1, &TForm1::Useasref1Click);
    wireItem(parametry1, &TForm1::parametry1Click);
    wireItem(HELP1, &TForm1::HELP1Click);

    connect(StringGrid2, &StringGrid::currentRowChanged, this,
            [this](int row) { RunCommand([this, row] { StringGrid2SelectCell(row); }); });
    connect(StringGrid2, &StringGrid::currentRowClicked, this,
            [this](int row) { RunCommand([this, row] { StringGrid2CurrentRowClick(row); }); });
    connect(StringGrid2, &StringGrid::rightClicked, this, [this](QPoint position, int row) {
        RunCommand([this, position, row] { StringGrid2RightClick(position, row); });
    });
}

// The airway picture's hints fill this in.
void TForm1::Timer1Timer() {}

void TForm1::ClearNoteBox() {
    RichEdit1->clear();
}

void TForm1::ShowRowHelp() {
    interaction_.showHelpFile(QString::fromStdString(DataPath("helpfiles/H0005.rtf").string()));
}

void TForm1::StringGrid2SelectCell(int row) {
    SelectResultRow(row);
}

void TForm1::SelectResultRow(int r) {
    if (r >= 1 && r <= state_.resultCount) {
        state_.selectedRow = r;
        for (int i = 0; i < layout::kGlobalItems; ++i)
            state_.currentGlobal(i) = record_.globalSetting(r, i);
        LoadRowSettingsToControls(r);
        ShowResultsTable(r, true);
        DrawFlowVolumePlot();
        RedrawVolumeTimeCurve();
    }
    StringGrid2->update();
    StringGrid1->update();
}

// START selects its new result without moving the grid's cursor, so the cursor can stand on a
// result that is not the selected one; a click there selects it. A click on the selected row
// reloads nothing, so track bars moved since keep their positions.
void TForm1::StringGrid2CurrentRowClick(int row) {
    if (row != state_.selectedRow)
        SelectResultRow(row);
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
            SelectResultRow(row);
        PopupMenu1->popup(globalPosition);
    } else {
        ShowRowHelp();
    }
}

void TForm1::Button3Click() {
    DeleteSelectedRow();
}

void TForm1::DE1Click() {
    DeleteSelectedRow();
}

void TForm1::Button6Click() {
    UseSelectedAsReference();
}

void TForm1::Useasref1Click() {
    UseSelectedAsReference();
}

void TForm1::HELP1Click() {
    ShowRowHelp();
}

// The settings table of every lung part comes with its own window.
void TForm1::parametry1Click() {}

void TForm1::Reset1Click() {
    RestoreStandardReference();
}

void TForm1::DeleteSelectedRow() {
    if (!DeleteSelectedResult(record_, state_))
        return;
    for (int r = 1; r <= 3; ++r)
        FillGridRow(r, r);
    // Moving the grid's cursor selects the newest result when the cursor was elsewhere.
    if (state_.resultCount >= 1)
        StringGrid2->setRow(1);
    DrawFlowVolumePlot();
    if (state_.selectedRow >= 1) {
        RedrawVolumeTimeCurve();
    } else {
        volumeTimePlot.setVtStep(1);
        DrawVolumeTimeStep(0);
    }
    if (state_.selectedRow == 1)
        ShowResultsTable(1, true);
    else
        ShowResultsTable(0, false);
    if (state_.selectedRow >= 1)
        LoadRowSettingsToControls(state_.selectedRow);
    StringGrid1->update();
    StringGrid2->update();
    ClearNoteBox();
}

void TForm1::UseSelectedAsReference() {
    const int s = state_.selectedRow;
    if (!MakeSelectedResultReference(record_, state_))
        return;
    for (int r = 1; r <= 3; ++r)
        FillGridRow(r, r);
    FillGridRow(4, 0);
    DrawFlowVolumePlot();
    RedrawVolumeTimeCurve();
    ShowResultsTable(s, true);
    LoadRowSettingsToControls(s);
    StringGrid1->update();
    StringGrid2->update();
    ClearNoteBox();
}

// The standard file is read before anything changes, so a file that cannot be read leaves the
// results and the reference as they were. The volume-time plot keeps its picture.
void TForm1::RestoreStandardReference() {
    const FileResult restored =
        RestoreStandardReferenceRow(record_, state_, DataPath("datfiles1/standard.dat"));
    if (!restored.ok) {
        interaction_.showMessage(QString::fromStdString(restored.message));
        return;
    }
    ShowResultsTable(0, true);
    for (int r = 1; r <= 3; ++r)
        FillGridRow(r, r);
    FillGridRow(4, 0);
    DrawFlowVolumePlot();
    const int shown = std::max(state_.selectedRow, 0);
    ShowResultsTable(shown, true);
    LoadRowSettingsToControls(shown);
    StringGrid1->update();
    StringGrid2->update();
    ClearNoteBox();
    Label26->setText(QStringLiteral("Plik:  Standard"));
}

} // namespace vm::ui

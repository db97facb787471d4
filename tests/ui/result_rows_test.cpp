// The result rows as the user handles them in the row grid: selecting, the right click, deleting,
// making a result the reference and putting the standard reference back.

#include "model_window.h"

#include "record/vocabulary.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace vm::record;
using namespace vm::data;
using namespace vm::ui;

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 128, 0);

// START once per value, each run with its own central resistance; the last value ends in row 1.
void startWithResistances(ModelWindow& m, std::initializer_list<int> resistances) {
    for (int r : resistances) {
        m.w.state.currentPart(kEditedPart, SettingColumn::rCentral) = r;
        m.pressStart();
    }
}

// Over the lines that compare an index with the reference.
bool indexColumnEmpty(const TextGrid& table, int column) {
    for (const SpirometricIndex& index : kIndices)
        if (index.comparison != Comparison::none &&
            !table.cell(column, index.resultsTableLine).empty())
            return false;
    return true;
}
} // namespace

TEST(ResultRows, StartUpDrawsBothPlotsOnCanvasesOfTheLaidOutSize) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    for (ImageView* plot : {ui.Image2(), ui.Image3()}) {
        SCOPED_TRACE(plot->objectName().toStdString());
        EXPECT_EQ(plot->canvas().size(), plot->size());
        EXPECT_GT(plot->width(), 100);
        // Axes are black; nothing but the reference is there to draw.
        EXPECT_GT(countPixels(plot->canvas(), qRgb(0, 0, 0)), plot->width() / 2);
        EXPECT_EQ(countPixels(plot->canvas(), kRed), 0);
    }
    EXPECT_EQ(WindowProbe(form).volumeTimePlot().vtStep(), 2); // the frame and nothing more
}

TEST(ResultRows, SelectingARowShowsItEverywhereAndOtherGridRowsChangeNothing) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    m.w.state.currentGlobal(GlobalItem::expirationDepth) = 130;
    startWithResistances(m, {150});
    m.w.state.currentGlobal(GlobalItem::expirationDepth) = 100;
    startWithResistances(m, {110});

    clickGridRow(*ui.StringGrid2(), 2);
    EXPECT_EQ(m.w.state.selectedRow, 2);
    EXPECT_EQ(m.w.state.currentGlobal(GlobalItem::expirationDepth), 130.0);
    EXPECT_EQ(ui.StringGrid1()->cells().cell(3, 1),
              tableNumber(m.w.record.field(2, RowField::fev1)));
    // The volume-time plot shows row 2 alone, in its green.
    EXPECT_GT(countPixels(ui.Image3()->canvas(), kGreen), 50);
    EXPECT_EQ(countPixels(ui.Image3()->canvas(), kRed), 0);
    // Both results stay on the flow-volume plot.
    EXPECT_GT(countPixels(ui.Image2()->canvas(), kGreen), 50);
    EXPECT_GT(countPixels(ui.Image2()->canvas(), kRed), 50);

    // The current-settings line, the reference line and an empty result line select nothing.
    for (int gridRow : {0, 4, 3}) {
        clickGridRow(*ui.StringGrid2(), gridRow);
        EXPECT_EQ(ui.StringGrid2()->row(), gridRow);
        EXPECT_EQ(m.w.state.selectedRow, 2) << gridRow;
    }
}

// START selects its new result without moving the grid's cursor, so the row the user picked
// before can be under the cursor without being selected; a left click on it must select it.
TEST(ResultRows, LeftClickSelectsTheRowUnderTheCursorAfterStartSelectedAnother) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    startWithResistances(m, {120, 110});
    clickGridRow(*ui.StringGrid2(), 2);
    ASSERT_EQ(m.w.state.selectedRow, 2);
    startWithResistances(m, {100});
    ASSERT_EQ(m.w.state.selectedRow, 1);
    ASSERT_EQ(ui.StringGrid2()->row(), 2);

    clickGridRow(*ui.StringGrid2(), 2);
    EXPECT_EQ(m.w.state.selectedRow, 2);
    // Row 2 now holds the run made with 110.
    EXPECT_EQ(m.w.state.currentPart(kEditedPart, SettingColumn::rCentral),
              m.w.record.partSetting(2, kEditedPart, SettingColumn::rCentral));
    EXPECT_EQ(ui.StringGrid1()->cells().cell(3, 1),
              tableNumber(m.w.record.field(2, RowField::fev1)));

    // A click on the row already selected reloads nothing: a track bar moved since stays.
    m.w.state.currentPart(kEditedPart, SettingColumn::rCentral) = 333;
    clickGridRow(*ui.StringGrid2(), 2);
    EXPECT_EQ(m.w.state.currentPart(kEditedPart, SettingColumn::rCentral), 333.0);
}

TEST(ResultRows, RightClickOpensTheRowMenuOnTheRowUnderTheMouseOrHelpWithoutResults) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    clickGridRow(*ui.StringGrid2(), 2, Qt::RightButton);
    EXPECT_FALSE(ui.PopupMenu1()->isVisible());
    ASSERT_EQ(m.w.interaction.helpFiles.size(), 1);
    EXPECT_TRUE(m.w.interaction.helpFiles[0].endsWith(QStringLiteral("helpfiles/H0005.rtf")));

    startWithResistances(m, {120, 110});
    clickGridRow(*ui.StringGrid2(), 2, Qt::RightButton);
    EXPECT_EQ(m.w.state.selectedRow, 2);
    EXPECT_TRUE(ui.PopupMenu1()->isVisible());
    QStringList entries;
    for (QAction* item : ui.PopupMenu1()->actions())
        entries << item->text();
    EXPECT_EQ(entries,
              (QStringList{QStringLiteral("Usuń wybrany wiersz"),
                           QStringLiteral("Użyj jako referencyjny"), QStringLiteral("Nastawy"),
                           QStringLiteral("Pomoc"), QStringLiteral("Interpretacja")}));
    ui.PopupMenu1()->hide();

    // START selects the new result but leaves the grid's cursor on row 2: the menu opened on
    // row 2 must still act on row 2.
    startWithResistances(m, {100});
    ASSERT_EQ(m.w.state.selectedRow, 1);
    ASSERT_EQ(ui.StringGrid2()->row(), 2);
    clickGridRow(*ui.StringGrid2(), 2, Qt::RightButton);
    EXPECT_EQ(m.w.state.selectedRow, 2);
    ui.PopupMenu1()->hide();

    ui.HELP1()->trigger();
    EXPECT_EQ(m.w.interaction.helpFiles.size(), 2);
    EXPECT_EQ(m.w.interaction.helpFiles[1], m.w.interaction.helpFiles[0]);
}

TEST(ResultRows, DeletingRowTwoOfThreeMovesRowThreeUpAndSelectsTheNewest) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    startWithResistances(m, {130, 120, 110});
    const ResultRowBytes newest = m.w.record.rowBytes(1);
    const ResultRowBytes oldest = m.w.record.rowBytes(3);
    const ResultRowBytes hidden = m.w.record.rowBytes(4);

    clickGridRow(*ui.StringGrid2(), 2);
    ASSERT_EQ(m.w.state.selectedRow, 2);
    QTest::mouseClick(ui.Button3(), Qt::LeftButton);

    EXPECT_EQ(m.w.state.resultCount, 2);
    EXPECT_EQ(m.w.state.selectedRow, 1);
    EXPECT_EQ(ui.StringGrid2()->row(), 1);
    EXPECT_TRUE(m.w.record.rowBytes(1) == newest);
    EXPECT_TRUE(m.w.record.rowBytes(2) == oldest);
    // Row 3 is the former row 4, which never held a result here and has no curves.
    EXPECT_TRUE(m.w.record.rowBytes(3) == hidden);
    for (int n : {1, 100, 1500}) {
        EXPECT_EQ(m.w.record.fvVolume(3, n), 0.0f);
        EXPECT_EQ(m.w.record.fvFlow(3, n), 0.0f);
    }
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 1), "   110");
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 2), "   130");
    EXPECT_FALSE(indexColumnEmpty(ui.StringGrid1()->cells(), 3));
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
    // The newest result, in red, is on the volume-time plot again.
    EXPECT_GT(countPixels(ui.Image3()->canvas(), kRed), 50);
}

TEST(ResultRows, DeletingTheOnlyResultLeavesTheReferenceAndAnEmptyFrame) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    startWithResistances(m, {100});
    ASSERT_GT(countPixels(ui.Image3()->canvas(), kRed), 50);
    ui.DE1()->trigger();

    EXPECT_EQ(m.w.state.resultCount, 0);
    EXPECT_EQ(m.w.state.selectedRow, -1);
    const TextGrid& table = ui.StringGrid1()->cells();
    EXPECT_TRUE(indexColumnEmpty(table, 3));
    EXPECT_TRUE(indexColumnEmpty(table, 4));
    EXPECT_FALSE(indexColumnEmpty(table, 2));
    EXPECT_EQ(countPixels(ui.Image3()->canvas(), kRed), 0);
    EXPECT_EQ(WindowProbe(form).volumeTimePlot().vtStep(), 2);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(m.w.record.fvVolume(row, 1), 0.0f) << row;
    // Nothing is selected, so a second delete does nothing.
    const SimulationRecord before = m.w.record;
    QTest::mouseClick(ui.Button3(), Qt::LeftButton);
    EXPECT_TRUE(
        std::equal(before.bytes().begin(), before.bytes().end(), m.w.record.bytes().begin()));
}

// Expiratory effort (global item 0): reference 120, row 2 150, row 1 90. Row 2 as reference gives
// 120 x 150 / 100 = 180, row 2 100 and row 1 100 x 90 / 150 = 60. The standard (100) back again
// gives row 2 100 x 180 / 100 = 180 and row 1 60 x 180 / 100 = 108.
TEST(ResultRows, UseAsReferenceRescalesEveryResultAndStandardReferenceUndoesIt) {
    ModelWindow m(120.0f);
    TForm1& form = m.form();
    const WindowProbe ui(form);
    ASSERT_EQ(m.w.record.globalSetting(referenceRow, GlobalItem::expirationDepth), 120.0f);
    m.w.state.currentGlobal(GlobalItem::expirationDepth) = 150;
    startWithResistances(m, {120});
    m.w.state.currentGlobal(GlobalItem::expirationDepth) = 90;
    startWithResistances(m, {100});

    clickGridRow(*ui.StringGrid2(), 2);
    const ResultRowBytes selected = m.w.record.rowBytes(2);
    QTest::mouseClick(ui.Button6(), Qt::LeftButton);
    EXPECT_EQ(m.w.record.globalSetting(referenceRow, GlobalItem::expirationDepth), 180.0f);
    EXPECT_EQ(m.w.record.globalSetting(2, GlobalItem::expirationDepth), 100.0f);
    EXPECT_EQ(m.w.record.globalSetting(1, GlobalItem::expirationDepth), 60.0f);
    // The reference takes the selected result's curves and indices, with its absolute settings
    // (central resistance 100 x 120 / 100).
    SimulationRecord formerRow2;
    formerRow2.setRowBytes(2, selected);
    for (int n = 1; n <= 1500; n += 7)
        ASSERT_EQ(m.w.record.fvVolume(referenceRow, n), formerRow2.fvVolume(2, n)) << n;
    EXPECT_EQ(m.w.record.field(referenceRow, RowField::fev1), formerRow2.field(2, RowField::fev1));
    EXPECT_EQ(m.w.record.partSetting(referenceRow, kEditedPart, SettingColumn::rCentral), 120.0f);
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 4), "   120");
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 2), "   100");
    EXPECT_EQ(m.w.state.selectedRow, 2);
    EXPECT_EQ(m.w.state.resultCount, 2);

    // A standard file that cannot be read changes nothing and says why.
    m.folder.remove("standard.dat");
    const SimulationRecord before = m.w.record;
    ui.Reset1()->trigger();
    ASSERT_EQ(m.w.interaction.messages.size(), 1);
    EXPECT_TRUE(
        std::equal(before.bytes().begin(), before.bytes().end(), m.w.record.bytes().begin()));
    EXPECT_NE(ui.label("Label26")->text(), QStringLiteral("Plik:  Standard"));

    useModelStandardRecord(m.folder);
    ui.Reset1()->trigger();
    EXPECT_EQ(m.w.record.globalSetting(referenceRow, GlobalItem::expirationDepth), 100.0f);
    EXPECT_EQ(m.w.record.globalSetting(2, GlobalItem::expirationDepth), 180.0f);
    EXPECT_EQ(m.w.record.globalSetting(1, GlobalItem::expirationDepth), 108.0f);
    EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  Standard"));
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 4), "   100");
    EXPECT_EQ(ui.StringGrid2()->cells().cell(0, 2), "   120");
}

TEST(ResultRows, TheGridTakesTheFocusAndItsArrowKeysSelectAsAClickDoes) {
    ModelWindow m;
    startWithResistances(m, {150, 250});
    const WindowProbe ui(m.form());
    StringGrid* grid = ui.StringGrid2();
    EXPECT_EQ(grid->focusPolicy(), Qt::StrongFocus);
    grid->setRow(1);
    QTest::keyClick(grid, Qt::Key_Down);
    EXPECT_EQ(grid->row(), 2);
    EXPECT_EQ(m.w.state.selectedRow, 2);
    QTest::keyClick(grid, Qt::Key_Up);
    EXPECT_EQ(m.w.state.selectedRow, 1);
}

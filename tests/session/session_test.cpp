// The session's commands without a window: what each does to the record and the record-wide
// state, and what it reports changed on screen.

#include "record/record_file.h"
#include "record/vocabulary.h"
#include "session/session.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

using namespace vm::record;
using namespace vm::model;
using namespace vm::session;

namespace fs = std::filesystem;

namespace {

// A session on a zero record in a program folder whose standard record is all 100 % settings with
// fev1 99. A run on the zero reference cannot be simulated and ends at once, so START commits
// quickly; each START is told apart by the number it leaves in fev1 of the new row.
struct Bench {
    TempFolder folder;
    SimulationRecord r;
    RecordState s;
    ModelState model;
    Session session{r, s, model, ProgramFolder{folder.path()}};
    int starts = 0;

    Bench() {
        fs::create_directories(folder / "datfiles1");
        SimulationRecord standard;
        for (int row = 0; row < 5; ++row) {
            for (int p = 0; p < 8; ++p)
                for (int c = 0; c < 8; ++c)
                    standard.setPartSetting(row, p, c, 100.0f);
            for (int i = 0; i < 20; ++i)
                standard.setGlobalSetting(row, i, 100.0f);
        }
        standard.setField(0, RowField::fev1, 99.0f);
        EXPECT_TRUE(writeRecordFile(session.folder().standardRecord(), standard).ok);
    }
    void start() {
        session.StartSimulation({});
        r.setField(workingRow, RowField::fev1, static_cast<float>(++starts));
        r.setFvVolume(workingRow, 1, 5.0f);
        r.setVtTime(workingRow, 1, 0.1f);
    }
    // Rows then hold starts 4, 3, 2 (newest first) and row 4 start 1.
    void startFourTimes() {
        for (int i = 0; i < 4; ++i)
            start();
    }
    float startOf(int row) const { return r.field(row, RowField::fev1); }
    bool recordIs(const SimulationRecord& other) const {
        return std::equal(other.bytes().begin(), other.bytes().end(), r.bytes().begin());
    }
};

TEST(SessionStart, FourStartsFillThreeRowsAndDropTheOldestIntoRowFour) {
    Bench b;
    const int expectedCount[] = {1, 2, 3, 3};
    for (int i = 0; i < 4; ++i) {
        b.start();
        EXPECT_EQ(b.s.resultCount, expectedCount[i]);
        EXPECT_EQ(b.s.selectedRow, 1);
    }
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(b.startOf(row), 5.0f - row) << row;
    EXPECT_EQ(b.startOf(0), 0.0f) << "the reference is never touched";
}

TEST(SessionStart, WorkingRowTakesTheCurrentSettingsAndThePreviousNewestMovesDownWhole) {
    Bench b;
    b.r.setFvVolume(workingRow, 700, 3.0f);
    b.r.setVtVolume(workingRow, 1000, 2.0f);
    b.r.setPartSetting(workingRow, kEditedPart, 0, 50.0f);
    b.s.currentPart(kEditedPart, 0) = 141.0;
    b.s.currentGlobal(0) = 25.0;
    b.session.StartSimulation({});
    EXPECT_EQ(b.r.fvVolume(workingRow, 700), 0.0f);
    EXPECT_EQ(b.r.vtVolume(workingRow, 1000), 0.0f);
    EXPECT_EQ(b.r.partSetting(workingRow, kEditedPart, 0), 141.0f);
    EXPECT_EQ(b.r.globalSetting(workingRow, 0), 25.0f);
    EXPECT_EQ(b.r.fvVolume(2, 700), 3.0f);
    EXPECT_EQ(b.r.vtVolume(2, 1000), 2.0f);
    EXPECT_EQ(b.r.partSetting(2, kEditedPart, 0), 50.0f);
}

TEST(SessionStart, RunsTheModelWithTheHooksAndSoundsAValidResult) {
    Bench b;
    for (int i = 0; i < 20; ++i)
        b.r.setGlobalSetting(referenceRow, i, 100.0f);
    b.session.InitialiseModel();
    int ticks = 0;
    int clocks = 0;
    RunHooks hooks;
    hooks.liveFrameTick = [&] { ++ticks; };
    hooks.showRunClock = [&](double) { ++clocks; };
    const ViewChanges changes = b.session.StartSimulation(hooks);
    ASSERT_EQ(b.r.field(workingRow, RowField::runStatus), 1.0f);
    EXPECT_GT(ticks, 100);
    EXPECT_GT(clocks, 0);
    EXPECT_EQ(changes.soundAlias, "SystemAsterisk");
}

TEST(RunOutcome, SoundTellsValidFromFailed) {
    EXPECT_EQ(runOutcomeSoundAlias(1.0f), "SystemAsterisk");
    EXPECT_EQ(runOutcomeSoundAlias(0.0f), "SystemHand");
    EXPECT_EQ(runOutcomeSoundAlias(-1.0f), "SystemHand");
    EXPECT_EQ(runOutcomeSoundAlias(NAN), "SystemHand");
}

TEST(SessionRows, SelectingAResultTakesItsSettingsOtherGridLinesNothingAndResetTakesThemBack) {
    Bench b;
    b.startFourTimes();
    b.r.setGlobalSetting(2, 0, 130.0f);
    b.r.setPartSetting(2, 6, 3, 77.5f);
    b.session.SelectResultRow(2);
    EXPECT_EQ(b.s.selectedRow, 2);
    EXPECT_EQ(b.s.currentGlobal(0), 130.0);
    EXPECT_EQ(b.s.currentPart(6, 3), 77.5);
    for (int gridLine : {0, 4}) {
        EXPECT_EQ(b.session.SelectResultRow(gridLine), ViewChanges{}) << gridLine;
        EXPECT_EQ(b.s.selectedRow, 2) << gridLine;
    }
    EXPECT_EQ(b.session.ResetCurrentSettings(), ViewChanges{});
    EXPECT_EQ(b.s.currentPart(6, 3), 100.0);
    EXPECT_EQ(b.s.currentGlobal(0), 100.0);
}

TEST(SessionRows, DeletingRowTwoMovesRowThreeUpAndSelectsTheNewest) {
    Bench b;
    b.startFourTimes();
    b.s.selectedRow = 2;
    b.r.setPartSetting(4, kEditedPart, 3, 42.0f);
    b.session.DeleteSelectedRow();
    EXPECT_EQ(b.s.resultCount, 2);
    EXPECT_EQ(b.s.selectedRow, 1);
    EXPECT_EQ(b.startOf(1), 4.0f);
    EXPECT_EQ(b.startOf(2), 2.0f);
    // Row 3 is the former row 4 without its curves; row 4 keeps its copy, its edited part reset.
    EXPECT_EQ(b.startOf(3), 1.0f);
    EXPECT_EQ(b.r.fvVolume(3, 1), 0.0f);
    EXPECT_EQ(b.r.fvVolume(4, 1), 0.0f);
    EXPECT_EQ(b.r.partSetting(4, kEditedPart, 3), 100.0f);
    EXPECT_EQ(b.r.partSetting(3, kEditedPart, 3), 42.0f);
    EXPECT_NE(b.r.fvVolume(2, 1), 0.0f);
}

TEST(SessionRows, DeletingEveryResultLeavesNothingSelected) {
    Bench b;
    b.startFourTimes();
    for (int left = 2; left >= 0; --left) {
        b.s.selectedRow = 1;
        b.session.DeleteSelectedRow();
        EXPECT_EQ(b.s.resultCount, left);
    }
    EXPECT_EQ(b.s.selectedRow, -1);
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(b.r.fvVolume(row, 1), 0.0f) << row;
    const SimulationRecord before = b.r;
    EXPECT_EQ(b.session.DeleteSelectedRow(), ViewChanges{}) << "nothing selected, nothing happens";
    EXPECT_TRUE(b.recordIs(before));
}

TEST(SessionRows, UseAsReferenceKeepsEveryResultsAbsoluteSettings) {
    Bench b;
    b.startFourTimes();
    b.r.setGlobalSetting(0, 0, 120.0f);
    b.r.setGlobalSetting(2, 0, 150.0f);
    b.r.setGlobalSetting(1, 0, 90.0f);
    b.r.setPartSetting(0, 5, 4, 100.0f);
    b.r.setPartSetting(2, 5, 4, 0.0f); // a zero setting cannot be divided by and stays as it is
    b.r.setPartSetting(1, 5, 4, 70.0f);
    b.s.selectedRow = 2;
    b.session.UseSelectedAsReference();
    EXPECT_FLOAT_EQ(b.r.globalSetting(0, 0), 180.0f);
    EXPECT_FLOAT_EQ(b.r.globalSetting(2, 0), 100.0f);
    EXPECT_FLOAT_EQ(b.r.globalSetting(1, 0), 60.0f);
    EXPECT_EQ(b.r.partSetting(0, 5, 4), 0.0f);
    EXPECT_EQ(b.r.partSetting(1, 5, 4), 70.0f);
    EXPECT_EQ(b.startOf(0), 3.0f) << "the reference takes the selected row's curves and indices";
    EXPECT_EQ(b.s.selectedRow, 2);
    EXPECT_EQ(b.s.resultCount, 3);
}

TEST(SessionRows, RestoringTheStandardUndoesUseAsReference) {
    Bench b;
    b.startFourTimes();
    b.r.setGlobalSetting(0, 0, 120.0f);
    b.r.setGlobalSetting(2, 0, 150.0f);
    b.r.setGlobalSetting(1, 0, 90.0f);
    b.s.selectedRow = 2;
    b.session.UseSelectedAsReference();
    EXPECT_FALSE(b.session.RestoreStandardReference().message);
    EXPECT_FLOAT_EQ(b.r.globalSetting(0, 0), 100.0f);
    EXPECT_FLOAT_EQ(b.r.globalSetting(2, 0), 180.0f);
    EXPECT_FLOAT_EQ(b.r.globalSetting(1, 0), 108.0f);
    EXPECT_EQ(b.startOf(0), 99.0f);
}

TEST(SessionRows, RestoringLeavesTheLastFourGlobalItemsAndRowsBeyondTheResults) {
    Bench b;
    b.startFourTimes();
    b.s.resultCount = 1;
    b.r.setGlobalSetting(0, 16, 200.0f);
    b.r.setGlobalSetting(0, 15, 200.0f);
    b.r.setGlobalSetting(1, 16, 50.0f);
    b.r.setGlobalSetting(1, 15, 50.0f);
    b.r.setPartSetting(0, 7, 7, 200.0f);
    b.r.setPartSetting(1, 7, 7, 50.0f);
    b.r.setPartSetting(2, 7, 7, 50.0f);
    b.session.RestoreStandardReference();
    EXPECT_FLOAT_EQ(b.r.globalSetting(1, 15), 100.0f);
    EXPECT_FLOAT_EQ(b.r.globalSetting(1, 16), 50.0f);
    EXPECT_FLOAT_EQ(b.r.partSetting(1, 7, 7), 100.0f);
    EXPECT_FLOAT_EQ(b.r.partSetting(2, 7, 7), 50.0f);
}

TEST(SessionFiles, AnUnreadableStandardChangesNothingAndSaysWhy) {
    Bench b;
    b.startFourTimes();
    const SimulationRecord before = b.r;
    fs::resize_file(b.session.folder().standardRecord(), 1000);
    for (const auto& command : {&Session::RestoreStandardReference, &Session::LoadStandardRecord}) {
        const ViewChanges changes = (b.session.*command)();
        ASSERT_TRUE(changes.message);
        EXPECT_NE(changes.message->find("Read beyond end of file"), std::string::npos);
        EXPECT_EQ(changes, ViewChanges{.message = changes.message});
        EXPECT_TRUE(b.recordIs(before));
    }
}

// What each command tells the window to redraw.
TEST(SessionViews, EachCommandNamesWhatItChanged) {
    using VT = VolumeTimeView;
    using Table = ResultsTableView;
    struct Case {
        const char* what;
        int starts;      // before the command, on a fresh session
        int selectedRow; // then selected
        std::function<ViewChanges(Session&)> command;
        ViewChanges expected;
    };
    // clang-format off
    const Case cases[] = {
        {"the first START, which fails", 0, -1, [](Session& s) { return s.StartSimulation({}); },
         {.resultLines = true, .resultsTable = Table{1, true}, .flowVolumePlot = true,
          .soundAlias = "SystemHand"}},
        {"select row 2", 3, 1, [](Session& s) { return s.SelectResultRow(2); },
         {.controlsFromRow = 2, .resultsTable = Table{2, true}, .flowVolumePlot = true,
          .volumeTime = VT::selectedCurve}},
        {"delete row 2 of 3", 3, 2, [](Session& s) { return s.DeleteSelectedRow(); },
         {.resultLines = true, .gridCursor = 1, .controlsFromRow = 1,
          .resultsTable = Table{1, true}, .flowVolumePlot = true, .volumeTime = VT::selectedCurve,
          .noteBoxCleared = true}},
        {"delete the only result", 1, 1, [](Session& s) { return s.DeleteSelectedRow(); },
         {.resultLines = true, .resultsTable = Table{0, false}, .flowVolumePlot = true,
          .volumeTime = VT::emptyFrame, .noteBoxCleared = true}},
        {"use row 2 as reference", 3, 2, [](Session& s) { return s.UseSelectedAsReference(); },
         {.resultLines = true, .referenceLine = true, .controlsFromRow = 2,
          .resultsTable = Table{2, true}, .flowVolumePlot = true, .volumeTime = VT::selectedCurve,
          .noteBoxCleared = true}},
        {"standard reference, nothing selected", 2, -1,
         [](Session& s) { return s.RestoreStandardReference(); },
         {.resultLines = true, .referenceLine = true, .controlsFromRow = 0,
          .resultsTable = Table{0, true}, .flowVolumePlot = true, .noteBoxCleared = true,
          .dataSourceLabel = "Plik:  Standard"}},
        {"start-up's standard record", 0, -1, [](Session& s) { return s.LoadStandardRecord(); },
         {.currentSettingsLine = true, .resultLines = true, .referenceLine = true, .gridCursor = 1,
          .resultsTable = Table{0, true}, .flowVolumePlot = true, .volumeTime = VT::emptyFrame}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Bench b;
        for (int i = 0; i < c.starts; ++i)
            b.start();
        b.s.selectedRow = c.selectedRow;
        EXPECT_TRUE(c.command(b.session) == c.expected) << c.what;
    }
}

} // namespace

#include "record/record_file.h"
#include "record/vocabulary.h"
#include "session/row_operations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <unistd.h>

using namespace vm::record;
using namespace vm::session;

namespace fs = std::filesystem;

namespace {

// A stand-in run that marks the working row with the run's number so rows can be told apart.
struct MarkingRun {
    SimulationRecord& record;
    int count = 0;
    void operator()() {
        ++count;
        record.setField(workingRow, RowField::fev1, static_cast<float>(count));
        record.setField(workingRow, RowField::runStatus, 1.0f);
        record.setFvVolume(workingRow, 1, 5.0f);
        record.setVtTime(workingRow, 1, 0.1f);
    }
};

float runNumber(const SimulationRecord& r, int row) { return r.field(row, RowField::fev1); }

TEST(StartCommit, FourStartsFillThreeRowsAndDropTheOldestIntoRowFour) {
    SimulationRecord r;
    RecordState s;
    MarkingRun run{r};
    const int expectedCount[] = {1, 2, 3, 3};
    for (int i = 0; i < 4; ++i) {
        RunAndCommitNewResult(r, s, std::ref(run));
        EXPECT_EQ(s.resultCount, expectedCount[i]);
        EXPECT_EQ(s.selectedRow, 1);
    }
    EXPECT_EQ(runNumber(r, 1), 4.0f);
    EXPECT_EQ(runNumber(r, 2), 3.0f);
    EXPECT_EQ(runNumber(r, 3), 2.0f);
    EXPECT_EQ(runNumber(r, 4), 1.0f);
    EXPECT_EQ(runNumber(r, 0), 0.0f) << "the reference is never touched";
}

TEST(StartCommit, WorkingRowGetsClearedCurvesAndCurrentSettingsBeforeTheRun) {
    SimulationRecord r;
    RecordState s;
    r.setFvVolume(workingRow, 700, 3.0f);
    r.setVtVolume(workingRow, 1000, 2.0f);
    r.setPartSetting(workingRow, kEditedPart, SettingColumn::rCentral, 50.0f);
    s.currentPart(kEditedPart, SettingColumn::rCentral) = 141.0;
    s.currentGlobal(GlobalItem::expirationDepth) = 25.0;
    bool checked = false;
    RunAndCommitNewResult(r, s, [&] {
        EXPECT_EQ(r.fvVolume(workingRow, 700), 0.0f);
        EXPECT_EQ(r.vtVolume(workingRow, 1000), 0.0f);
        EXPECT_EQ(r.partSetting(workingRow, kEditedPart, SettingColumn::rCentral), 141.0f);
        EXPECT_EQ(r.globalSetting(workingRow, GlobalItem::expirationDepth), 25.0f);
        checked = true;
    });
    EXPECT_TRUE(checked);
    // The previous newest result moves to row 2 unchanged, curves and settings included.
    EXPECT_EQ(r.fvVolume(2, 700), 3.0f);
    EXPECT_EQ(r.partSetting(2, kEditedPart, SettingColumn::rCentral), 50.0f);
}

TEST(StartCommit, SoundTellsValidFromFailed) {
    EXPECT_EQ(RunOutcomeSoundAlias(1.0f), "SystemAsterisk");
    EXPECT_EQ(RunOutcomeSoundAlias(0.0f), "SystemHand");
    EXPECT_EQ(RunOutcomeSoundAlias(-1.0f), "SystemHand");
    EXPECT_EQ(RunOutcomeSoundAlias(NAN), "SystemHand");
}

class ThreeResults : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 4; ++i) RunAndCommitNewResult(r, s, std::ref(run));
        // Rows now hold runs 4, 3, 2 (newest first) and row 4 run 1.
    }
    SimulationRecord r;
    RecordState s;
    MarkingRun run{r};
};

TEST_F(ThreeResults, DeletingRowTwoMovesRowThreeUpAndSelectsTheNewest) {
    s.selectedRow = 2;
    r.setPartSetting(4, kEditedPart, SettingColumn::stiffness, 42.0f);
    ASSERT_TRUE(DeleteSelectedResult(r, s));
    EXPECT_EQ(s.resultCount, 2);
    EXPECT_EQ(s.selectedRow, 1);
    EXPECT_EQ(runNumber(r, 1), 4.0f);
    EXPECT_EQ(runNumber(r, 2), 2.0f);
    // Row 3 is the former row 4 without its curves; row 4 keeps its copy, its edited part reset.
    EXPECT_EQ(runNumber(r, 3), 1.0f);
    EXPECT_EQ(r.fvVolume(3, 1), 0.0f);
    EXPECT_EQ(r.fvVolume(4, 1), 0.0f);
    EXPECT_EQ(r.partSetting(4, kEditedPart, SettingColumn::stiffness), 100.0f);
    EXPECT_EQ(r.partSetting(3, kEditedPart, SettingColumn::stiffness), 42.0f);
    EXPECT_NE(r.fvVolume(2, 1), 0.0f);
}

TEST_F(ThreeResults, DeletingEveryResultLeavesNothingSelected) {
    for (int left = 2; left >= 0; --left) {
        s.selectedRow = 1;
        ASSERT_TRUE(DeleteSelectedResult(r, s));
        EXPECT_EQ(s.resultCount, left);
    }
    EXPECT_EQ(s.selectedRow, -1);
    for (int row = 1; row <= 4; ++row) EXPECT_EQ(r.fvVolume(row, 1), 0.0f) << row;
    EXPECT_FALSE(DeleteSelectedResult(r, s)) << "nothing selected, nothing happens";
    EXPECT_EQ(s.resultCount, 0);
}

TEST_F(ThreeResults, UseAsReferenceKeepsEveryResultsAbsoluteSettings) {
    r.setGlobalSetting(0, GlobalItem::expirationDepth, 120.0f);
    r.setGlobalSetting(2, GlobalItem::expirationDepth, 150.0f);
    r.setGlobalSetting(1, GlobalItem::expirationDepth, 90.0f);
    r.setPartSetting(0, LungPart::lobe3, SettingColumn::rPeripheral, 100.0f);
    // A zero setting cannot be divided by and stays as it is.
    r.setPartSetting(2, LungPart::lobe3, SettingColumn::rPeripheral, 0.0f);
    r.setPartSetting(1, LungPart::lobe3, SettingColumn::rPeripheral, 70.0f);
    s.selectedRow = 2;
    ASSERT_TRUE(MakeSelectedResultReference(r, s));
    EXPECT_FLOAT_EQ(r.globalSetting(0, GlobalItem::expirationDepth), 180.0f);
    EXPECT_FLOAT_EQ(r.globalSetting(2, GlobalItem::expirationDepth), 100.0f);
    EXPECT_FLOAT_EQ(r.globalSetting(1, GlobalItem::expirationDepth), 60.0f);
    EXPECT_EQ(r.partSetting(0, LungPart::lobe3, SettingColumn::rPeripheral), 0.0f);
    EXPECT_EQ(r.partSetting(1, LungPart::lobe3, SettingColumn::rPeripheral), 70.0f);
    EXPECT_EQ(runNumber(r, 0), 3.0f) << "the reference takes the selected row's curves and indices";
    EXPECT_EQ(s.selectedRow, 2);
    EXPECT_EQ(s.resultCount, 3);
}

class StandardFile : public ThreeResults {
  protected:
    void SetUp() override {
        ThreeResults::SetUp();
        path = fs::temp_directory_path() / ("vm_standard_" + std::to_string(::getpid()) + ".dat");
        SimulationRecord standard;
        for (int row = 0; row < 5; ++row) {
            for (int p = 0; p < 8; ++p)
                for (int c = 0; c < 8; ++c) standard.setPartSetting(row, p, c, 100.0f);
            for (int i = 0; i < 20; ++i) standard.setGlobalSetting(row, i, 100.0f);
        }
        standard.setField(0, RowField::fev1, 99.0f);
        ASSERT_TRUE(writeRecordFile(path, standard).ok);
    }
    void TearDown() override { fs::remove(path); }
    fs::path path;
};

TEST_F(StandardFile, RestoringTheStandardUndoesUseAsReference) {
    r.setGlobalSetting(0, GlobalItem::expirationDepth, 120.0f);
    r.setGlobalSetting(2, GlobalItem::expirationDepth, 150.0f);
    r.setGlobalSetting(1, GlobalItem::expirationDepth, 90.0f);
    s.selectedRow = 2;
    ASSERT_TRUE(MakeSelectedResultReference(r, s));
    ASSERT_TRUE(RestoreStandardReferenceRow(r, s, path).ok);
    EXPECT_FLOAT_EQ(r.globalSetting(0, GlobalItem::expirationDepth), 100.0f);
    EXPECT_FLOAT_EQ(r.globalSetting(2, GlobalItem::expirationDepth), 180.0f);
    EXPECT_FLOAT_EQ(r.globalSetting(1, GlobalItem::expirationDepth), 108.0f);
    EXPECT_EQ(runNumber(r, 0), 99.0f);
}

TEST_F(StandardFile, LastFourGlobalItemsAndRowsBeyondTheResultsAreNotRescaled) {
    s.resultCount = 1;
    r.setGlobalSetting(0, 16, 200.0f);
    r.setGlobalSetting(0, 15, 200.0f);
    r.setGlobalSetting(1, 16, 50.0f);
    r.setGlobalSetting(1, 15, 50.0f);
    r.setPartSetting(0, LungPart::lobe5, SettingColumn::cm, 200.0f);
    r.setPartSetting(1, LungPart::lobe5, SettingColumn::cm, 50.0f);
    r.setPartSetting(2, LungPart::lobe5, SettingColumn::cm, 50.0f);
    ASSERT_TRUE(RestoreStandardReferenceRow(r, s, path).ok);
    EXPECT_FLOAT_EQ(r.globalSetting(1, 15), 100.0f);
    EXPECT_FLOAT_EQ(r.globalSetting(1, 16), 50.0f);
    EXPECT_FLOAT_EQ(r.partSetting(1, LungPart::lobe5, SettingColumn::cm), 100.0f);
    EXPECT_FLOAT_EQ(r.partSetting(2, LungPart::lobe5, SettingColumn::cm), 50.0f);
}

TEST_F(StandardFile, AnUnreadableStandardChangesNothing) {
    const SimulationRecord before = r;
    fs::resize_file(path, 1000);
    const auto res = RestoreStandardReferenceRow(r, s, path);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find("Read beyond end of file"), std::string::npos);
    EXPECT_TRUE(std::equal(before.bytes().begin(), before.bytes().end(), r.bytes().begin()));
}

} // namespace

#include "record/record_state.h"
#include "record/simulation_record.h"
#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>

using namespace vm::record;

using namespace layout;

namespace {

float floatAtByte(const SimulationRecord& r, std::size_t offset) {
    float v;
    std::memcpy(&v, r.bytes().data() + offset, 4);
    return v;
}

// A row counts the indices its run stored after the first fourteen; what is no such count holds
// none of them, so that a row of an older file never shows its unused floats as indices.
TEST(SimulationRecordLayout, ARowHoldsTheIndicesItsMarkCounts) {
    const std::pair<float, int> marks[] = {{0.0f, 14},  {1.0f, 15}, {6.0f, 20}, {7.0f, 14},
                                           {-1.0f, 14}, {2.5f, 14}, {NAN, 14},  {INFINITY, 14}};
    for (const auto& [mark, held] : marks) {
        SimulationRecord r;
        std::memcpy(r.bytes().data() + kRowBytes * 2 + kAddedIndexCount, &mark, 4);
        EXPECT_EQ(r.fieldsHeld(2), held) << mark;
        EXPECT_EQ(r.fieldsHeld(1), kFirstIndexCount) << "another row's mark";
    }
    SimulationRecord r;
    r.markFieldsHeld(3);
    EXPECT_EQ(r.fieldsHeld(3), kStoredIndexCount);
    EXPECT_EQ(floatAtByte(r, kRowBytes * 3 + kAddedIndexCount),
              static_cast<float>(kStoredIndexCount - kFirstIndexCount));
}

// Each accessor must land on the byte offset the file layout gives, in any row.
TEST(SimulationRecordLayout, FieldsLandOnTheirFileOffsets) {
    ASSERT_EQ(kRecordBytes, 621360u);
    SimulationRecord r;
    const int row = 3;
    const std::size_t base = kRowBytes * row;
    struct Case {
        const char* name;
        std::size_t offset;
        void (*set)(SimulationRecord&, int, float);
    };
    const Case cases[] = {
        {"vtTime[1]", 0, [](SimulationRecord& s, int w, float v) { s.setVtTime(w, 1, v); }},
        {"vtTime[1000]", 3996,
         [](SimulationRecord& s, int w, float v) { s.setVtTime(w, 1000, v); }},
        {"vtVolume[1]", 4000, [](SimulationRecord& s, int w, float v) { s.setVtVolume(w, 1, v); }},
        {"fvVolume[1]", 8000, [](SimulationRecord& s, int w, float v) { s.setFvVolume(w, 1, v); }},
        {"fvVolume[1500]", 13996,
         [](SimulationRecord& s, int w, float v) { s.setFvVolume(w, 1500, v); }},
        {"fvFlow[1]", 14000, [](SimulationRecord& s, int w, float v) { s.setFvFlow(w, 1, v); }},
        {"lobeTraceA[0][1]", 26000,
         [](SimulationRecord& s, int w, float v) { s.setLobeTraceA(w, 0, 1, v); }},
        {"lobeTraceA[2][3]", 26000 + 40 + 8,
         [](SimulationRecord& s, int w, float v) { s.setLobeTraceA(w, 2, 3, v); }},
        {"lobeTraceB[1500][5]", 56020 + 30000 + 16,
         [](SimulationRecord& s, int w, float v) { s.setLobeTraceB(w, 1500, 5, v); }},
        {"lobeVolume[0][1]", 86040,
         [](SimulationRecord& s, int w, float v) { s.setLobeVolume(w, 0, 1, v); }},
        {"centralTrace[2]", 123580,
         [](SimulationRecord& s, int w, float v) { s.setCentralTrace(w, 2, v); }},
        {"fev1", 123584,
         [](SimulationRecord& s, int w, float v) { s.setField(w, RowField::fev1, v); }},
        {"flowAt1s", 123616,
         [](SimulationRecord& s, int w, float v) { s.setField(w, RowField::flowAt1s, v); }},
        {"runStatus", 123628,
         [](SimulationRecord& s, int w, float v) { s.setField(w, RowField::runStatus, v); }},
        {"modelVariant", 123636,
         [](SimulationRecord& s, int w, float v) { s.setField(w, RowField::modelVariant, v); }},
        {"partSettings[0][0]", 123680,
         [](SimulationRecord& s, int w, float v) { s.setPartSetting(w, 0, 0, v); }},
        {"partSettings[2][7]", 123680 + 128 + 28,
         [](SimulationRecord& s, int w, float v) { s.setPartSetting(w, 2, 7, v); }},
        {"partSettings[7][15]", 123680 + 448 + 60,
         [](SimulationRecord& s, int w, float v) { s.setPartSetting(w, 7, 15, v); }},
        {"globalSettings[0]", 124192,
         [](SimulationRecord& s, int w, float v) { s.setGlobalSetting(w, 0, v); }},
        {"globalSettings[19]", 124268,
         [](SimulationRecord& s, int w, float v) { s.setGlobalSetting(w, 19, v); }},
    };
    float value = 1.5f;
    for (const auto& c : cases) {
        c.set(r, row, value);
        EXPECT_EQ(floatAtByte(r, base + c.offset), value) << c.name;
        value += 1.0f;
    }
    r.setLobeState(row, 1500, 5, 1);
    EXPECT_EQ(r.bytes()[base + 116060 + 7500 + 4], 1);
    EXPECT_EQ(r.bytes()[base + 116060 + 7500 + 3], 0);
}

TEST(SimulationRecordLayout, ReadsBackWhatIsStoredLittleEndian) {
    SimulationRecord r;
    r.setField(4, RowField::tlc, 6.25f);
    // 6.25f is 0x40C80000: little-endian bytes 00 00 C8 40.
    const auto* p = r.bytes().data() + 4 * kRowBytes + 123624;
    EXPECT_EQ(p[0], 0x00);
    EXPECT_EQ(p[2], 0xC8);
    EXPECT_EQ(p[3], 0x40);
    EXPECT_EQ(r.field(4, RowField::tlc), 6.25f);
}

TEST(SimulationRecordRange, EveryIndexOutsideItsBoundsIsARangeError) {
    SimulationRecord r;
    EXPECT_THROW(r.fvVolume(5, 1), RangeError);
    EXPECT_THROW(r.fvVolume(-1, 1), RangeError);
    EXPECT_THROW(r.fvVolume(0, 0), RangeError);
    EXPECT_THROW(r.fvFlow(0, 1501), RangeError);
    EXPECT_THROW(r.setVtTime(0, 1001, 1.0f), RangeError);
    EXPECT_THROW(r.vtVolume(0, 0), RangeError);
    EXPECT_THROW(r.lobeTraceA(0, 1501, 1), RangeError);
    EXPECT_THROW(r.lobeTraceB(0, -1, 1), RangeError);
    EXPECT_THROW(r.lobeVolume(0, 0, 0), RangeError);
    EXPECT_THROW(r.setLobeState(0, 0, 6, 1), RangeError);
    EXPECT_THROW(r.partSetting(0, 8, 0), RangeError);
    EXPECT_THROW(r.partSetting(0, -1, 0), RangeError);
    EXPECT_THROW(r.partSetting(0, 0, 16), RangeError);
    EXPECT_THROW(r.globalSetting(0, 20), RangeError);
    EXPECT_THROW(r.setGlobalSetting(0, -1, 1.0f), RangeError);
    EXPECT_THROW(r.centralTrace(0, 3), RangeError);
    EXPECT_THROW(r.copyRow(0, 5), RangeError);
    EXPECT_THROW(r.rowBytes(7), RangeError);

    RecordState s;
    EXPECT_THROW(s.currentPart(8, 0), RangeError);
    EXPECT_THROW(s.currentPart(0, 8), RangeError);
    EXPECT_THROW(s.currentGlobal(20), RangeError);
    // A failed check changes nothing.
    for (auto b : r.bytes())
        ASSERT_EQ(b, 0);
}

TEST(SimulationRecordRows, CopyRowMovesAllBytesOfOneRowOnly) {
    SimulationRecord r;
    for (std::size_t i = 0; i < kRowBytes; ++i)
        r.bytes()[2 * kRowBytes + i] = static_cast<std::uint8_t>(i * 7);
    r.copyRow(2, 4);
    EXPECT_EQ(0, std::memcmp(r.bytes().data() + 2 * kRowBytes, r.bytes().data() + 4 * kRowBytes,
                             kRowBytes));
    EXPECT_EQ(r.bytes()[3 * kRowBytes], 0);
    const auto kept = r.rowBytes(2);
    r.clearFvVolume(2);
    EXPECT_EQ(r.fvVolume(2, 1), 0.0f);
    EXPECT_NE(r.fvFlow(2, 1500), 0.0f) << "clearing volumes must leave flows";
    r.setRowBytes(2, kept);
    EXPECT_EQ(0, std::memcmp(r.bytes().data() + 2 * kRowBytes, kept.data(), kRowBytes));
}

TEST(RecordStateSettings, StoreIntoWorkingRowLeavesUnusedColumnsAndOtherRows) {
    constexpr int kUnusedColumn = kSettingColumns; // the first column no setting uses
    SimulationRecord r;
    r.setPartSetting(workingRow, kEditedPart, kUnusedColumn, 77.0f);
    RecordState s;
    s.currentPart(kEditedPart, SettingColumn::rCentral) = 141.0;
    s.currentPart(LungPart::lobe5, SettingColumn::cm) = 100.2;
    s.currentGlobal(19) = 55.5;
    storeCurrentSettingsIntoWorkingRow(s, r);
    EXPECT_EQ(r.partSetting(workingRow, kEditedPart, SettingColumn::rCentral), 141.0f);
    EXPECT_EQ(r.partSetting(workingRow, LungPart::lobe5, SettingColumn::cm),
              static_cast<float>(100.2));
    EXPECT_EQ(r.partSetting(workingRow, LungPart::leftLung, SettingColumn::rCentral), 100.0f);
    EXPECT_EQ(r.partSetting(workingRow, kEditedPart, kUnusedColumn), 77.0f);
    EXPECT_EQ(r.globalSetting(workingRow, 19), 55.5f);
    EXPECT_EQ(r.partSetting(0, kEditedPart, SettingColumn::rCentral), 0.0f);

    resetAllRowPartSettings(r);
    for (int row = 0; row < kRowCount; ++row)
        EXPECT_EQ(r.partSetting(row, LungPart::lobe5, SettingColumn::cm), 100.0f);
    EXPECT_EQ(r.partSetting(workingRow, kEditedPart, kUnusedColumn), 77.0f);
    EXPECT_EQ(r.globalSetting(workingRow, 19), 55.5f) << "global settings are not reset";

    s.resetCurrentSettings();
    EXPECT_EQ(s.currentPart(kEditedPart, SettingColumn::rCentral), 100.0);
    EXPECT_EQ(s.currentGlobal(19), 100.0);
}

} // namespace

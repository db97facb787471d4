// The headless runner's report: the JSON line, whose values read back unchanged, and the table.

#include "cli/run_report.h"

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace vm::record;
using namespace vm::cli;

namespace {

// The number that follows "key": in the line.
float readBack(const std::string& line, const std::string& key) {
    const auto at = line.find("\"" + key + "\":");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos)
        return std::nanf("");
    return std::strtof(line.c_str() + at + key.size() + 3, nullptr);
}

TEST(RunReport, JsonValuesRoundTripAndSamplesStopAtTheEndMarks) {
    SimulationRecord record;
    // Values that need all nine digits, or that six digits would round to a neighbour.
    const float awkward[] = {1.0f / 3.0f, std::nextafter(2.5f, 3.0f), -0.862178206f, 1e-7f,
                             8.58076286f};
    const RowField fields[] = {RowField::fev1, RowField::pef, RowField::flowAt1s, RowField::erv,
                               RowField::tlc};
    // The other indices just above a short decimal, which six digits would round onto.
    for (int f = 0; f < kRowFieldCount; ++f)
        record.setField(workingRow, static_cast<RowField>(f), std::nextafter(f + 0.1f, 100.0f));
    for (int i = 0; i < 5; ++i)
        record.setField(workingRow, fields[i], awkward[i]);
    record.setFvVolume(workingRow, 1, 4.5f);
    record.setFvFlow(workingRow, 1, awkward[0]);
    record.setFvVolume(workingRow, 2, 4.25f);
    record.setFvFlow(workingRow, 2, -2.0f);
    record.setFvFlow(workingRow, 3, -9.0f); // no volume: past the end of the curve
    record.setVtTime(workingRow, 1, 0.1f);
    record.setVtVolume(workingRow, 1, 3.0f);

    const std::string line = runJson(record, 7);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_EQ(line.rfind("{\"run\":7,", 0), 0u);
    // Every index under its key, in stored order.
    std::size_t previous = 0;
    for (const RowIndex& index : kRowIndices) {
        const std::string key(index.jsonKey);
        EXPECT_EQ(readBack(line, key), record.field(workingRow, index.field)) << key;
        EXPECT_GT(line.find("\"" + key + "\":"), previous) << key;
        previous = line.find("\"" + key + "\":");
    }
    EXPECT_NE(line.find("\"fvSamples\":[[4.5,0.333333343],[4.25,-2]]"), std::string::npos) << line;
    EXPECT_NE(line.find("\"vtSamples\":[[0.100000001,3]]"), std::string::npos) << line;
}

TEST(RunReport, TableListsTheMeasuredIndicesBesideTheReference) {
    SimulationRecord record;
    for (int f = 0; f < kRowFieldCount; ++f) {
        record.setField(referenceRow, static_cast<RowField>(f), f + 0.5f);
        record.setField(workingRow, static_cast<RowField>(f), -0.25f - f);
    }
    record.setField(workingRow, RowField::runStatus, 0.0f);
    EXPECT_EQ(runTable(record, 3), "Run 3: dead (tidal inspiration failed)\n"
                                   "  index            result  reference\n"
                                   "  FEV1             -0.250      0.500  l\n"
                                   "  FVCEX            -1.250      1.500  l\n"
                                   "  FEV1%FVC         -2.250      2.500  %\n"
                                   "  PEF              -3.250      3.500  l/s\n"
                                   "  MEF75            -4.250      4.500  l/s\n"
                                   "  MEF50            -5.250      5.500  l/s\n"
                                   "  MEF25            -6.250      6.500  l/s\n"
                                   "  ERV              -7.250      7.500  l\n"
                                   "  flow at 1 s      -8.250      8.500  l/s\n"
                                   "  FRC              -9.250      9.500  l\n"
                                   "  TLC             -10.250     10.500  l\n"
                                   "  FET             -12.250     12.500  s\n");
}

// A file's row: run's fields under "row", then its settings; what JSON cannot hold is null.
TEST(RunReport, RowJsonCarriesTheSettingsAndNullForWhatJsonCannotHold) {
    SimulationRecord record;
    for (int c = 0; c < layout::kSettingColumns; ++c)
        record.setPartSetting(2, kEditedPart, c, 100.0f + c);
    record.setGlobalSetting(2, 19, 42.5f);
    record.setPartSetting(2, LungPart::rightLung, SettingColumn::rCentral, 700.0f);
    record.setField(2, RowField::fev1, std::nanf(""));
    record.setField(2, RowField::pef, INFINITY);
    record.setFvVolume(2, 1, 3.0f);
    record.setFvFlow(2, 1, -INFINITY);

    const std::string line = rowJson(record, 2);
    EXPECT_EQ(line.rfind("{\"row\":2,\"fev1\":null,", 0), 0u) << line;
    EXPECT_NE(line.find("\"pef\":null,"), std::string::npos) << line;
    EXPECT_NE(line.find("\"fvSamples\":[[3,null]]"), std::string::npos) << line;
    EXPECT_NE(
        line.find("\"settings\":{\"rCentral\":100,\"vdc\":101,\"rIntermediate\":102,"
                  "\"stiffness\":103,\"rPeripheral\":104,\"ccc\":105,\"lungSize\":106,"
                  "\"cm\":107},\"globalSettings\":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,42.5]}\n"),
        std::string::npos)
        << line;
    // Every other lung part by its runner's name.
    EXPECT_NE(line.find("\"right\":{\"rCentral\":700,"), std::string::npos) << line;
}

// Beside both lungs' settings and the expiratory effort, the table shows the other parts'
// settings and global items that some row moves from 100, and only those.
TEST(RunReport, RowsTableShowsEverySettingARowMovesFrom100) {
    SimulationRecord record;
    for (int row = 0; row < 2; ++row) {
        for (int i = 0; i < layout::kParts * layout::kSettingColumns; ++i)
            record.setPartSetting(row, i / layout::kSettingColumns, i % layout::kSettingColumns,
                                  100.0f);
        for (int i = 0; i < layout::kGlobalItems; ++i)
            record.setGlobalSetting(row, i, 100.0f);
    }
    record.setPartSetting(1, LungPart::rightLung, SettingColumn::rCentral, 700.0f);
    record.setGlobalSetting(0, 7, 50.0f);
    const std::string table = rowsTable(record, 1);
    EXPECT_NE(table.find("  cm %                     100.000      100.000\n"
                         "  right.rCentral %         100.000      700.000\n"
                         "  expiratory effort %      100.000      100.000\n"
                         "  global item 7 %           50.000      100.000\n  FEV1 l"),
              std::string::npos)
        << table;
}

} // namespace

// The vocabulary: the runner's names of the lung parts and setting columns, the lobes among the
// parts, and what the results table and the runner's JSON line show of each index.

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

using namespace vm::record;

namespace {

// The numbers are the stored layout of a row's settings, the names those of the runner's options.
TEST(Vocabulary, PartsColumnsAndItemsByNameAndStoredNumber) {
    const std::pair<const char*, int> parts[] = {{"left", 0},  {"right", 1}, {"", 2},
                                                 {"lobe1", 3}, {"lobe2", 4}, {"lobe3", 5},
                                                 {"lobe4", 6}, {"lobe5", 7}};
    for (const auto& [name, number] : parts) {
        EXPECT_EQ(lungPartNamed(name), static_cast<LungPart>(number)) << name;
        EXPECT_EQ(kLungPartNames[number], name);
    }
    const std::pair<const char*, int> columns[] = {
        {"rCentral", 0},    {"vdc", 1}, {"rIntermediate", 2}, {"stiffness", 3},
        {"rPeripheral", 4}, {"ccc", 5}, {"lungSize", 6},      {"cm", 7}};
    for (const auto& [name, number] : columns) {
        EXPECT_EQ(settingColumnNamed(name), static_cast<SettingColumn>(number)) << name;
        EXPECT_EQ(kSettingColumnNames[number], name);
    }
    for (const char* unknown : {"lobe0", "lobe6", "both", "Left", "CM", "rcentral", " cm", "."}) {
        EXPECT_FALSE(lungPartNamed(unknown)) << unknown;
        EXPECT_FALSE(settingColumnNamed(unknown)) << unknown;
    }
    EXPECT_EQ(kEditedPart, 2);
    for (int lobe = 1; lobe <= layout::kLobes; ++lobe)
        EXPECT_EQ(lobePart(lobe), lobe + 2);
    const int items[] = {GlobalItem::expirationDepth, GlobalItem::effortRiseSpeed,
                         GlobalItem::inspiratoryEffort, GlobalItem::endFlowThreshold};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(items[i], i);
}

// Both are read outside the program: by the user in the results table, by scripts in the JSON.
TEST(RowIndices, ResultsTableLinesAndJsonKeysInStoredOrder) {
    std::string lines;
    std::string keys;
    for (const RowIndex& index : kRowIndices) {
        keys += std::string(index.jsonKey) + " ";
        if (index.gridRow > 0)
            lines += std::to_string(index.gridRow) + ":" + std::string(index.name) + "[" +
                     std::string(index.unit) + "] ";
    }
    EXPECT_EQ(keys, "fev1 fvcex fev1PctFvc pef mef75 mef50 mef25 erv flowAt1s frc tlc runStatus "
                    "fet modelVariant ");
    EXPECT_EQ(lines, "1:FEV1[l] 2:FVCEX[l] 3:FEV1%FVC[%] 4:PEF[l/s] 5:MEF75[l/s] 6:MEF50[l/s] "
                     "7:MEF25[l/s] 8:ERV[l] 12:FRC[l] 13:TLC[l] 11:FET[s] 15:Zmienna[ ] ");
}

} // namespace

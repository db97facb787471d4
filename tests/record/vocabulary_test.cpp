// The vocabulary: the runner's names of the lung parts and setting columns, the lobes among the
// parts, and what the results table and the runner's JSON line show of each index.

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <algorithm>
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
// Indices added later may stand anywhere; these keep their order and their lines.
TEST(IndexTable, ResultsTableLinesAndJsonKeysKeepTheirOrder) {
    std::string lines;
    for (const SpirometricIndex& index : kIndices)
        if (index.resultsTableLine > 0)
            lines += std::to_string(index.resultsTableLine) + ":" + std::string(index.name) + "[" +
                     std::string(index.unit) + "] ";
    auto after = kIndices.begin();
    for (const char* key : {"fev1",
                            "fvcex",
                            "fev1PctFvc",
                            "pef",
                            "mef75",
                            "mef50",
                            "mef25",
                            "erv",
                            "flowAt1s",
                            "frc",
                            "tlc",
                            "runStatus",
                            "fet",
                            "modelVariant",
                            "fvc",
                            "fev1FromTimeZero",
                            "fef25to75",
                            "fev6",
                            "fev1PctFev6",
                            "slowVc",
                            "fev1PctVc",
                            "rv",
                            "rvPctTlc",
                            "timeToPef",
                            "backExtrapolatedVolume",
                            "empeyIndex",
                            "fif50",
                            "fef50ToFif50"}) {
        after = std::find_if(after, kIndices.end(),
                             [&](const SpirometricIndex& index) { return index.jsonKey == key; });
        ASSERT_NE(after, kIndices.end()) << key << " missing or out of order";
    }
    for (const char* line : {"1:FEV1[l] ", "2:FVCEX[l] ", "3:FEV1%FVC[%] ", "4:PEF[l/s] ",
                             "5:MEF75[l/s] ", "6:MEF50[l/s] ", "7:MEF25[l/s] ", "8:ERV[l] ",
                             "12:FRC[l] ", "13:TLC[l] ", "11:FET[s] ", "15:Zmienna[ ] "})
        EXPECT_NE(lines.find(line), std::string::npos) << line;
    // The first fourteen are the fields every file holds, in their stored order.
    for (int f = 0; f < layout::kFirstIndexCount; ++f)
        EXPECT_EQ(storedPlaceOf(static_cast<std::size_t>(f)), f);
}

} // namespace

// The exported CSV reads back as the record's own samples and indices, for the rows in use only.

#include "record/vocabulary.h"
#include "session/curve_export.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

using namespace vm::record;
using namespace vm::session;

namespace {

// Values whose shortest decimal forms differ from their 6-digit ones, a tiny one and a negative.
constexpr float kAwkward[] = {1.0f / 3.0f, -2.7182817f, 1e-7f, 4096.0001f, -0.1f};

std::vector<std::vector<std::string>> csvCells(const std::string& text) {
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string>& cells = lines.emplace_back();
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');)
            cells.push_back(cell);
        if (line.ends_with(','))
            cells.emplace_back();
    }
    return lines;
}

// Rows 0..2 with curves of 3, 5 and 4 samples; only rows 0 and 1 are in use.
SimulationRecord recordWithCurves() {
    SimulationRecord record;
    const int lengths[] = {3, 5, 4};
    for (int row = 0; row < 3; ++row)
        for (int i = 1; i <= lengths[row]; ++i) {
            const float v = kAwkward[(row + i) % 5] * static_cast<float>(i);
            record.setFvVolume(row, i, v + 10.0f);
            record.setFvFlow(row, i, -v);
            record.setVtTime(row, i, 0.1f * static_cast<float>(i));
            record.setVtVolume(row, i, v);
        }
    return record;
}

TEST(CurveExport, CurvesReadBackAsTheRecordsSamples) {
    const SimulationRecord record = recordWithCurves();
    struct Curve {
        std::string csv;
        const char* header;
        float (SimulationRecord::*first)(int, int) const;
        float (SimulationRecord::*second)(int, int) const;
    };
    const Curve curves[] = {
        {FlowVolumeCsv(record, 1), "row,sample,volume [l],flow [l/s]", &SimulationRecord::fvVolume,
         &SimulationRecord::fvFlow},
        {VolumeTimeCsv(record, 1), "row,sample,time [s],volume [l]", &SimulationRecord::vtTime,
         &SimulationRecord::vtVolume},
    };
    for (const Curve& curve : curves) {
        const auto lines = csvCells(curve.csv);
        ASSERT_EQ(lines.size(), 1u + 3 + 5) << curve.header; // row 2 is not in use
        EXPECT_EQ(curve.csv.substr(0, curve.csv.find('\n')), curve.header);
        for (std::size_t l = 1; l < lines.size(); ++l) {
            ASSERT_EQ(lines[l].size(), 4u);
            const int row = std::stoi(lines[l][0]);
            const int sample = std::stoi(lines[l][1]);
            EXPECT_EQ(row, l <= 3 ? 0 : 1);
            EXPECT_EQ(std::strtof(lines[l][2].c_str(), nullptr), (record.*curve.first)(row, sample))
                << curve.header << " line " << l;
            EXPECT_EQ(std::strtof(lines[l][3].c_str(), nullptr),
                      (record.*curve.second)(row, sample))
                << curve.header << " line " << l;
        }
    }
}

TEST(CurveExport, ResultsHoldEveryIndexWithItsUnit) {
    SimulationRecord record;
    for (std::size_t i = 0; i < kRowIndices.size(); ++i) {
        record.setField(0, kRowIndices[i].field, kAwkward[i % 5] * 3.0f);
        record.setField(1, kRowIndices[i].field, kAwkward[i % 5]);
    }
    record.setField(1, RowField::runStatus, 0.0f);
    record.setField(1, RowField::fev1, std::numeric_limits<float>::quiet_NaN());
    record.setPartSetting(1, kEditedPart, SettingColumn::cm, 90.0f);
    const auto lines = csvCells(ResultsCsv(record, 1));
    ASSERT_EQ(lines.size(), 3u);
    const std::size_t first = static_cast<std::size_t>(
        std::find(lines[0].begin(), lines[0].end(), "fev1 [l]") - lines[0].begin());
    EXPECT_EQ(lines[0][first], "fev1 [l]");
    EXPECT_EQ(lines[0][first + 3], "pef [l/s]");
    EXPECT_EQ(lines[1][1], "error"); // the status of row 0 is an awkward number
    EXPECT_EQ(lines[2][1], "dead");
    EXPECT_EQ(lines[2][2 + SettingColumn::cm], "90");
    EXPECT_EQ(lines[2][first], ""); // no number, no text
    for (std::size_t i = 1; i < kRowIndices.size(); ++i)
        EXPECT_EQ(std::strtof(lines[1][first + i].c_str(), nullptr),
                  record.field(0, kRowIndices[i].field))
            << kRowIndices[i].jsonKey;
}

TEST(CurveExport, WritingIntoAMissingFolderSaysSo) {
    TempFolder folder;
    EXPECT_EQ(WriteTextFile(folder / "a.csv", "x\n"), "");
    EXPECT_EQ(readBytes(folder / "a.csv"), (std::vector<std::uint8_t>{'x', '\n'}));
    EXPECT_NE(WriteTextFile(folder / "no" / "a.csv", "x\n"), "");
}

} // namespace

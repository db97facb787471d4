// The batch outputs written from the typed results: every index of the table under its key in
// JSON and CSV, read back as the value it was, absent ones empty with why; the curves of the rows
// in use; settings by every name the vocabulary gives them.

#include "record/vocabulary.h"
#include "session/batch_csv.h"
#include "session/batch_json.h"
#include "session/session.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

using namespace vm::record;
using namespace vm::session;
using vm::model::MissingReason;
using vm::model::ModelState;

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

TEST(BatchOutput, CurvesReadBackAsTheRecordsSamples) {
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

// A result with a value for every index, the first stored one and every fourth curve one absent.
RowResult everyIndex(float status) {
    RowResult result;
    result.runStatus = status;
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const bool stored = kIndices[i].source == IndexSource::stored;
        result.indices[i] = {stored ? kAwkward[i % 5] : 1.0 / 3.0 + static_cast<double>(i),
                             stored ? MissingReason::none : MissingReason::noMef50};
        if ((stored && i > 0) || (!stored && i % 4 != 0))
            result.indices[i].missing = MissingReason::none;
    }
    result.indices[0].missing = MissingReason::notStored;
    return result;
}

// The JSON after `"key":`, up to the next comma or brace.
std::string jsonValueOf(const std::string& line, std::string_view key, std::size_t& at) {
    at = line.find("\"" + std::string(key) + "\":", at);
    if (at == std::string::npos)
        return "(missing)";
    const std::size_t begin = at + key.size() + 3;
    return line.substr(begin, line.find_first_of(",}", begin) - begin);
}

TEST(BatchOutput, EveryIndexUnderItsKeyReadsBackOrIsEmptyWithWhy) {
    SweepRow row{5, {112.5}, everyIndex(1.0f)};
    std::vector<SweepAxis> axes(1);
    ASSERT_EQ(readSettingName("left.cm", axes[0].setting), "");
    const std::string json = sweepRowJson(row, axes);
    const auto csv = csvCells(csvLine(sweepColumns(axes, false)) + csvLine(sweepCells(row, false)));
    EXPECT_EQ(json.rfind("{\"point\":5,\"settings\":{\"left.cm\":112.5},\"status\":\"valid\",", 0),
              0u)
        << json;
    ASSERT_EQ(csv.size(), 2u);
    ASSERT_EQ(csv[0].size(), 3 + kIndices.size());
    EXPECT_EQ(csv[1][0] + csv[1][1] + csv[1][2], "5112.5valid");
    std::size_t at = 0;
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        const IndexValue& value = row.result.indices[i];
        SCOPED_TRACE(index.jsonKey);
        EXPECT_EQ(csv[0][3 + i], index.jsonKey);
        const std::string text = jsonValueOf(json, index.jsonKey, at);
        if (!value.present()) {
            EXPECT_EQ(text, "null");
            EXPECT_EQ(csv[1][3 + i], "");
            EXPECT_NE(json.find("\"" + std::string(index.jsonKey) + "\":\"" +
                                std::string(missingReasonText(value.missing)) + "\""),
                      std::string::npos);
            continue;
        }
        EXPECT_EQ(csv[1][3 + i], text) << "one number in both";
        // A stored index is the float the row holds; any other the double it was.
        if (index.source == IndexSource::stored)
            EXPECT_EQ(std::strtof(text.c_str(), nullptr), static_cast<float>(value.value));
        else
            EXPECT_EQ(std::strtod(text.c_str(), nullptr), value.value);
    }
    EXPECT_NE(json.find("\"emptyIndices\":{"), std::string::npos);
    EXPECT_EQ(json.back(), '\n');
}

TEST(BatchOutput, ResultsHoldEveryIndexWithItsUnitAndSamplesStopAtTheirEnd) {
    SimulationRecord record = recordWithCurves();
    RecordState state;
    ModelState model;
    Session session(record, state, model, ProgramFolder{});
    state.resultCount = 1;
    for (int f = 0; f < kStoredIndexCount; ++f) {
        record.setField(0, static_cast<RowField>(f), kAwkward[f % 5] * 3.0f);
        record.setField(1, static_cast<RowField>(f), kAwkward[f % 5]);
    }
    record.setField(1, RowField::runStatus, 0.0f);
    record.setField(1, RowField::fev1, std::numeric_limits<float>::quiet_NaN());
    record.setPartSetting(1, kEditedPart, SettingColumn::cm, 90.0f);
    const auto lines = csvCells(ResultsCsv(session, false));
    ASSERT_EQ(lines.size(), 3u);
    const std::size_t first = 2 + layout::kSettingColumns + 1;
    EXPECT_EQ(lines[1][1], "error"); // the status of row 0 is an awkward number
    EXPECT_EQ(lines[2][1], "dead");
    EXPECT_EQ(lines[2][2 + SettingColumn::cm], "90");
    EXPECT_EQ(lines[2][first], ""); // no number, no text
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const std::string unit(kIndices[i].unit);
        EXPECT_EQ(lines[0][first + i], std::string(kIndices[i].jsonKey) +
                                           (unit.empty() || unit == " " ? "" : " [" + unit + "]"));
        // A stored index the row was not marked as holding is empty, as in an older file.
        if (const int place = storedPlaceOf(i); place > 0) {
            const auto field = static_cast<RowField>(place);
            EXPECT_EQ(lines[1][first + i],
                      record.holdsField(0, field)
                          ? numberText(record.field(0, field), NumberForm::single)
                          : "")
                << kIndices[i].jsonKey;
        }
    }
    // The samples of a run's JSON line are the curves up to their end marks.
    const std::string line = runJson(resultOf(session, 1), 7);
    EXPECT_EQ(line.rfind("{\"run\":7,\"fev1\":null,", 0), 0u) << line;
    const auto text = [&](float v) { return numberText(v, NumberForm::single); };
    std::string samples = "\"vtSamples\":[";
    for (int k = 1; k <= 5; ++k)
        samples += std::string(k > 1 ? "," : "") + "[" + text(record.vtTime(1, k)) + "," +
                   text(record.vtVolume(1, k)) + "]";
    EXPECT_NE(line.find(samples + "]}\n"), std::string::npos) << line;
}

// A file's row: run's fields under "row", then its settings; what JSON cannot hold, which a file
// from elsewhere may, is null.
TEST(BatchOutput, RowJsonCarriesTheSettingsAndNullForWhatJsonCannotHold) {
    RowResult result = everyIndex(1.0f);
    result.row = 2;
    for (int c = 0; c < layout::kSettingColumns; ++c)
        result.partSettings[kEditedPart][static_cast<std::size_t>(c)] = 100.0f + c;
    result.globalSettings[19] = 42.5f;
    result.partSettings[LungPart::rightLung][SettingColumn::rCentral] = 700.0f;
    result.indices[0] = {std::nan(""), MissingReason::none};
    result.indices[3] = {INFINITY, MissingReason::none};
    result.fvVolume = {3.0f};
    result.fvFlow = {-INFINITY};
    const std::string line = rowJson(result);
    EXPECT_EQ(line.rfind("{\"row\":2,\"fev1\":null,", 0), 0u) << line;
    EXPECT_NE(line.find("\"pef\":null,"), std::string::npos) << line;
    EXPECT_EQ(line.find("\"emptyIndices\":{\"fev1\""), std::string::npos) << "a number, not absent";
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

// Every part's every column and every global item by the name a run and a sweep take, and the
// names that are none.
TEST(BatchOutput, SettingsByEveryNameTheVocabularyGives) {
    std::vector<SettingName> read;
    for (int part = 0; part < layout::kParts; ++part)
        for (const std::string_view column : kSettingColumnNames) {
            const std::string prefix(kLungPartNames[static_cast<std::size_t>(part)]);
            const std::string name = (prefix.empty() ? "" : prefix + ".") + std::string(column);
            SettingName setting;
            ASSERT_EQ(readSettingName(name, setting), "") << name;
            EXPECT_EQ(setting.part, part);
            EXPECT_EQ(kSettingColumnNames[setting.column], column);
            for (const SettingName& earlier : read)
                EXPECT_FALSE(setting.sameSetting(earlier)) << name << " " << earlier.text;
            read.push_back(setting);
        }
    SettingName another;
    for (int item = 0; item < layout::kGlobalItems; ++item) {
        SettingName setting;
        ASSERT_EQ(readSettingName("global." + std::to_string(item), setting), "");
        EXPECT_EQ(setting.globalItem, item);
        // One item in another spelling is the same setting, and no part's.
        ASSERT_EQ(readSettingName("global.+0" + std::to_string(item), another), "");
        EXPECT_TRUE(setting.sameSetting(another) && !setting.sameSetting(read[0]));
    }
    for (const char* bad : {"both.cm", ".cm", "cm.", "lobe6.cm", "global.20", "global.x", "CM", ""})
        EXPECT_NE(readSettingName(bad, another), "") << bad;
    for (const auto& [text, problem] : {std::pair{"9.99", "outside"},
                                        {"nan", "not a number"},
                                        {"1e400", "out of range"},
                                        {"100", ""}}) {
        double percent = 0;
        EXPECT_NE(readPercent(text, percent).find(problem), std::string::npos) << text;
    }
}

TEST(BatchOutput, WritingIntoAMissingFolderSaysSo) {
    TempFolder folder;
    EXPECT_EQ(WriteTextFile(folder / "a.csv", "x\n"), "");
    EXPECT_EQ(readBytes(folder / "a.csv"), (std::vector<std::uint8_t>{'x', '\n'}));
    EXPECT_NE(WriteTextFile(folder / "no" / "a.csv", "x\n"), "");
}

} // namespace

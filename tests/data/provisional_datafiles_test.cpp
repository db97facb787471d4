// The data files the build lays beside the program must pass the program's own start-up.

#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "record/record_file.h"
#include "data/startup_checks.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace vm::record;
using namespace vm::data;

namespace fs = std::filesystem;

namespace {

const fs::path kExeDir = VM_RUNTIME_DIR;

TEST(ProvisionalDataFiles, EveryCheckedFileIsThereBesideTheFolders) {
    EXPECT_EQ(MissingDataFilesNumber(kExeDir), 0);
    EXPECT_TRUE(FindChildNoCase(kExeDir, "Simulations").has_value());
    EXPECT_TRUE(FindChildNoCase(kExeDir, "helpfiles").has_value());
}

// The airway pictures and the animation's background are drawn for the area they are stretched
// over on the 1280 x 1024 design screen, so that they are not distorted there.
constexpr int kPictureWidth = 486;
constexpr int kPictureHeight = 540;

TEST(ProvisionalDataFiles, PicturesDecodeThroughTheScratchFileAtTheirDesignSize) {
    TempFolder scratch;
    for (int k = 1; k <= 5; ++k) {
        const fs::path source = kExeDir / "datfiles1" / ("F00" + std::to_string(k) + ".dat");
        const PictureResult picture = DecodeReversedPicture(source, scratch / "temp.dat");
        ASSERT_TRUE(picture.ok) << source << ": " << picture.message;
        EXPECT_EQ(picture.picture.width, kPictureWidth) << k;
        EXPECT_EQ(picture.picture.height, kPictureHeight) << k;
    }
    const PictureResult background = DecodeJpegFile(kExeDir / "datfiles1" / "tlo.dat");
    ASSERT_TRUE(background.ok) << background.message;
    EXPECT_EQ(background.picture.width, kPictureWidth);
    EXPECT_EQ(background.picture.height, kPictureHeight);
}

// Decodes F00k.dat without touching the build's data folder.
DecodedPicture airwayPicture(int k, const fs::path& scratch) {
    const PictureResult result = DecodeReversedPicture(
        kExeDir / "datfiles1" / ("F00" + std::to_string(k) + ".dat"), scratch / "temp.dat");
    EXPECT_TRUE(result.ok) << result.message;
    return result.picture;
}

// Every picture marks its region in the same strong orange; JPEG moves a colour by a few steps.
bool markedAt(const DecodedPicture& picture, int x, int y) {
    constexpr int kMarked[3] = {240, 112, 24};
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 3;
    for (int channel = 0; channel < 3; ++channel)
        if (std::abs(picture.rgb[at + channel] - kMarked[channel]) > 40)
            return false;
    return true;
}

TEST(ProvisionalDataFiles, EveryHotspotLiesOnTheRegionOnlyItsOwnPictureMarks) {
    const std::vector<std::uint8_t> bytes = ReadBytes(kExeDir / "datfiles1" / "F000.dat");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("g\xB3\xF3wne"), std::string::npos) << "labels in Windows-1250";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'))
        << "CRLF line ends";
    TextGrid table(kParameterTableColumns, kParameterTableRows);
    ASSERT_TRUE(ReadParameterTable(kExeDir / "datfiles1" / "F000.dat", table).ok);
    TempFolder scratch;
    std::vector<DecodedPicture> pictures(6);
    for (int k = 1; k <= 5; ++k)
        pictures[k] = airwayPicture(k, scratch.path());

    std::map<int, int> perCode;
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(1, row).empty())
            continue;
        const int x = std::stoi(table.cell(1, row));
        const int y = std::stoi(table.cell(2, row));
        const int code = std::stoi(table.cell(3, row));
        SCOPED_TRACE("row " + std::to_string(row) + " (" + std::to_string(x) + "%, " +
                     std::to_string(y) + "%) code " + std::to_string(code));
        const int px = static_cast<int>(std::lround(x * kPictureWidth / 100.0));
        const int py = static_cast<int>(std::lround(y * kPictureHeight / 100.0));
        ASSERT_TRUE(x >= 0 && y >= 0 && px < kPictureWidth && py < kPictureHeight);
        ASSERT_TRUE(code >= 2 && code <= 5);
        ++perCode[code];
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(markedAt(pictures[k], px, py), k == code) << "picture " << k;
    }
    ASSERT_EQ(perCode.size(), 4u);
    for (const auto& [code, count] : perCode)
        EXPECT_GE(count, 5) << "code " << code;
}

TEST(ProvisionalDataFiles, MakingTheDataFilesAgainGivesTheSameBytes) {
    TempFolder first;
    TempFolder second;
    for (const TempFolder* folder : {&first, &second}) {
        const std::string command = "\"" + (kExeDir / "make-datafiles").string() +
                                    "\" pictures \"" + folder->path().string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    for (const char* name :
         {"F000.dat", "F001.dat", "F002.dat", "F003.dat", "F004.dat", "F005.dat", "tlo.dat"}) {
        const std::vector<std::uint8_t> bytes = ReadBytes(first / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, ReadBytes(second / name)) << name;
    }
}

TEST(ProvisionalDataFiles, StandardRecordHoldsAValidReference) {
    SimulationRecord record;
    const FileResult read =
        readRecordFile(ResolveDataPath(kExeDir, "datfiles1/standard.dat"), record);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(record.field(0, RowField::runStatus), 1.0f);
    // The indices follow from the flow-volume samples as a run computes them.
    float vMax = 0;
    float vMin = 100;
    float mostNegative = 0;
    for (int n = 1; n <= layout::kFvSamples; ++n) {
        const float v = record.fvVolume(0, n);
        vMax = std::max(vMax, v);
        if (v > 0)
            vMin = std::min(vMin, v);
        mostNegative = std::min(mostNegative, record.fvFlow(0, n));
    }
    EXPECT_FLOAT_EQ(record.field(0, RowField::tlc), vMax);
    EXPECT_NEAR(record.field(0, RowField::fvcex), vMax - vMin, 1e-5);
    EXPECT_NEAR(record.field(0, RowField::pef), -mostNegative, 1e-5);
    EXPECT_NEAR(record.field(0, RowField::erv), record.field(0, RowField::frc) - vMin, 1e-5);
    const float fev1 = record.field(0, RowField::fev1);
    EXPECT_GT(fev1, 0.0f);
    EXPECT_LT(fev1, record.field(0, RowField::fvcex));
    EXPECT_NEAR(record.field(0, RowField::fev1PctFvc),
                100.0f * fev1 / record.field(0, RowField::fvcex), 1e-3);
    EXPECT_GT(record.vtTime(0, 1), 0.0f);
    EXPECT_NE(record.globalSetting(0, 0), 0.0f);
}

} // namespace

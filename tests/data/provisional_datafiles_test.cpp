// The data files the build lays beside the program must pass the program's own start-up.

#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "data/startup_checks.h"
#include "record/record_file.h"
#include "record/vocabulary.h"

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
    EXPECT_EQ(missingDataFilesNumber(kExeDir), 0);
    EXPECT_TRUE(findChildNoCase(kExeDir, "Simulations").has_value());
    EXPECT_TRUE(findChildNoCase(kExeDir, "helpfiles").has_value());
}

// The airway pictures and the animation's background are drawn for the area they are stretched
// over on the 1280 x 1024 design screen, so that they are not distorted there.
constexpr int kPictureWidth = 486;
constexpr int kPictureHeight = 540;

TEST(ProvisionalDataFiles, PicturesDecodeThroughTheScratchFileAtTheirDesignSize) {
    TempFolder scratch;
    for (int k = 1; k <= 5; ++k) {
        const fs::path source = kExeDir / "datfiles1" / ("F00" + std::to_string(k) + ".dat");
        const PictureResult picture = decodeReversedPicture(source, scratch / "temp.dat");
        ASSERT_TRUE(picture.ok) << source << ": " << picture.message;
        EXPECT_EQ(picture.picture.width, kPictureWidth) << k;
        EXPECT_EQ(picture.picture.height, kPictureHeight) << k;
    }
    const PictureResult background = decodeJpegFile(kExeDir / "datfiles1" / "tlo.dat");
    ASSERT_TRUE(background.ok) << background.message;
    EXPECT_EQ(background.picture.width, kPictureWidth);
    EXPECT_EQ(background.picture.height, kPictureHeight);
    // Light all over, so that the animation's black and red lines stand out anywhere on it.
    EXPECT_GE(*std::min_element(background.picture.rgb.begin(), background.picture.rgb.end()), 170);
}

// Decodes F00k.dat without touching the build's data folder.
DecodedPicture airwayPicture(int k, const fs::path& scratch) {
    const PictureResult result = decodeReversedPicture(
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

struct HotspotRow {
    int x, y, code;
};

// The rows of F000.dat and the five pictures they belong to (index 1..5).
struct AirwayData {
    std::vector<HotspotRow> rows;
    std::vector<DecodedPicture> pictures;
};

AirwayData readAirwayData() {
    AirwayData data;
    TextGrid table(kParameterTableColumns, kParameterTableRows);
    EXPECT_TRUE(ReadParameterTable(kExeDir / "datfiles1" / "F000.dat", table).ok);
    for (int row = 1; row < table.rowCount(); ++row) {
        if (!table.cell(1, row).empty())
            data.rows.push_back({std::stoi(table.cell(1, row)), std::stoi(table.cell(2, row)),
                                 std::stoi(table.cell(3, row))});
    }
    TempFolder scratch;
    data.pictures.resize(6);
    for (int k = 1; k <= 5; ++k)
        data.pictures[k] = airwayPicture(k, scratch.path());
    return data;
}

TEST(ProvisionalDataFiles, EveryHotspotLiesOnTheRegionOnlyItsOwnPictureMarks) {
    const std::vector<std::uint8_t> bytes = readBytes(kExeDir / "datfiles1" / "F000.dat");
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("g\xB3\xF3wne"), std::string::npos) << "labels in Windows-1250";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'))
        << "CRLF line ends";
    const AirwayData data = readAirwayData();
    std::map<int, int> perCode;
    for (const auto& [x, y, code] : data.rows) {
        SCOPED_TRACE("(" + std::to_string(x) + "%, " + std::to_string(y) + "%) code " +
                     std::to_string(code));
        const int px = static_cast<int>(std::lround(x * kPictureWidth / 100.0));
        const int py = static_cast<int>(std::lround(y * kPictureHeight / 100.0));
        ASSERT_TRUE(x >= 0 && y >= 0 && px < kPictureWidth && py < kPictureHeight);
        ASSERT_TRUE(code >= 2 && code <= 5);
        ++perCode[code];
        for (int k = 1; k <= 5; ++k)
            EXPECT_EQ(markedAt(data.pictures[k], px, py), k == code) << "picture " << k;
    }
    EXPECT_EQ(perCode.size(), 4u);
}

// The pointer over a marked part brings up that part's picture: the last row within 5 percent of
// the pointer both ways gives the code, 1 when there is none.
TEST(ProvisionalDataFiles, PointingAtAMarkedPartAnswersWithItsCode) {
    const AirwayData data = readAirwayData();
    const DecodedPicture& plain = data.pictures[1];
    std::map<int, std::pair<int, int>> answered; // code: pixels answered with it, pixels marked
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            const int px = static_cast<int>(std::lround(100.0 * x / kPictureWidth));
            const int py = static_cast<int>(std::lround(100.0 * y / kPictureHeight));
            int code = 1;
            for (const HotspotRow& row : data.rows)
                if (std::abs(px - row.x) < 5 && std::abs(py - row.y) < 5)
                    code = row.code;
            for (int k = 2; k <= 5; ++k) {
                if (markedAt(data.pictures[k], x, y) && !markedAt(plain, x, y)) {
                    ++answered[k].second;
                    answered[k].first += code == k;
                }
            }
        }
    }
    // Lung tissue next to an airway answers for the airway, the easier part to miss.
    const std::map<int, double> atLeast = {{2, 0.9}, {3, 0.9}, {4, 0.9}, {5, 0.6}};
    for (const auto& [code, share] : atLeast) {
        const auto [hits, pixels] = answered[code];
        EXPECT_GT(pixels, 1000) << "code " << code;
        EXPECT_GE(hits, share * pixels) << "code " << code;
    }
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
        const std::vector<std::uint8_t> bytes = readBytes(first / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes, readBytes(second / name)) << name;
    }
}

TEST(ProvisionalDataFiles, StandardRecordHoldsAValidReference) {
    SimulationRecord record;
    const FileResult read =
        readRecordFile(resolveDataPath(kExeDir, "datfiles1/standard.dat"), record);
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
    EXPECT_NE(record.globalSetting(0, GlobalItem::expirationDepth), 0.0f);
}

} // namespace

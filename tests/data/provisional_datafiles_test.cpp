// The data files the build lays beside the program must pass the program's own start-up.

#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "record/record_file.h"
#include "record/vocabulary.h"
#include "data/startup_checks.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

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

TEST(ProvisionalDataFiles, PicturesDecodeThroughTheScratchFile) {
    TempFolder scratch;
    for (int k = 1; k <= 5; ++k) {
        const fs::path source = kExeDir / "datfiles1" / ("F00" + std::to_string(k) + ".dat");
        const PictureResult picture = DecodeReversedPicture(source, scratch / "temp.dat");
        ASSERT_TRUE(picture.ok) << source << ": " << picture.message;
        EXPECT_GT(picture.picture.width, 0);
        EXPECT_GT(picture.picture.height, 0);
    }
    const PictureResult background = DecodeJpegFile(kExeDir / "datfiles1" / "tlo.dat");
    EXPECT_TRUE(background.ok) << background.message;
}

// Decodes F00k.dat without touching the build's data folder.
DecodedPicture airwayPicture(int k, const fs::path& scratch) {
    const PictureResult result = DecodeReversedPicture(
        kExeDir / "datfiles1" / ("F00" + std::to_string(k) + ".dat"), scratch / "temp.dat");
    EXPECT_TRUE(result.ok) << result.message;
    return result.picture;
}

// Largest colour difference between two pictures near a point given in percent.
int largestDifferenceNear(const DecodedPicture& a, const DecodedPicture& b, int xPercent,
                          int yPercent) {
    const int cx = xPercent * a.width / 100;
    const int cy = yPercent * a.height / 100;
    int largest = 0;
    for (int y = std::max(0, cy - 4); y <= std::min(a.height - 1, cy + 4); ++y) {
        for (int x = std::max(0, cx - 4); x <= std::min(a.width - 1, cx + 4); ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * a.width + x) * 3;
            int difference = 0;
            for (int channel = 0; channel < 3; ++channel)
                difference += std::abs(a.rgb[at + channel] - b.rgb[at + channel]);
            largest = std::max(largest, difference);
        }
    }
    return largest;
}

TEST(ProvisionalDataFiles, HotspotsPointIntoTheRegionTheirPictureHighlights) {
    TextGrid table(kParameterTableColumns, kParameterTableRows);
    ASSERT_TRUE(ReadParameterTable(kExeDir / "datfiles1" / "F000.dat", table).ok);
    TempFolder scratch;
    const DecodedPicture plain = airwayPicture(1, scratch.path());
    std::set<int> codes;
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(1, row).empty())
            continue;
        const int x = std::stoi(table.cell(1, row));
        const int y = std::stoi(table.cell(2, row));
        const int code = std::stoi(table.cell(3, row));
        ASSERT_GE(x, 0);
        ASSERT_LE(x, 100);
        ASSERT_GE(y, 0);
        ASSERT_LE(y, 100);
        ASSERT_GE(code, 2);
        ASSERT_LE(code, 5);
        codes.insert(code);
        const DecodedPicture highlighted = airwayPicture(code, scratch.path());
        EXPECT_GT(largestDifferenceNear(plain, highlighted, x, y), 100)
            << "row " << row << " (" << x << "%, " << y << "%) code " << code;
    }
    EXPECT_EQ(codes, (std::set<int>{2, 3, 4, 5}));
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
    EXPECT_NE(record.globalSetting(0, GlobalItem::expirationDepth), 0.0f);
}

} // namespace

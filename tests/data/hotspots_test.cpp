#include "data/hotspots.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

using namespace vm::data;

namespace {

// Regions in percent of a 200 × 100 picture, so a mouse pixel (x, y) is at (x / 2, y) percent.
TextGrid regionTable() {
    TextGrid grid(5, 40);
    const char* rows[][4] = {
        {"label", "x", "y", "code"}, // 0: header
        {"a", "50", "50", "3"},      // 1
        {"b", "53", "52", "4"},      // 2: overlaps row 1
        {"c", "20", "20", "2"},      // 3
        {"d", "20.5", "20", "5"},    // 4: x not whole, never hit
        {"e", "20", "20.0", "4"},    // 5: y not whole, never hit
        {"f", "80", "80", "0"},      // 6
        {"g", "10", "90", "abc"},    // 7
        {"h", "90", "10", "12"},     // 8: a code from a foreign table
        {"i", "30", "70", "-9"},     // 9
    };
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 4; ++column)
            grid.setCell(column, row, rows[row][column]);
    return grid;
}

struct HitCase {
    int x, y;
    int row, code, picture;
    std::optional<std::string_view> help;
    std::optional<int> section;
};

class HotspotHit : public testing::TestWithParam<HitCase> {};

TEST_P(HotspotHit, FindsRowCodeAndActions) {
    const HitCase& c = GetParam();
    const TextGrid grid = regionTable();
    const int row = hoveredRegion(grid, c.x, c.y, 200, 100);
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(regionCode(grid, row), c.code);
    EXPECT_EQ(AirwayPictureState().request(regionCode(grid, row)).picture, c.picture);
    EXPECT_EQ(rightClickHelpFile(grid, row), c.help);
    EXPECT_EQ(leftClickSection(grid, row), c.section);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, HotspotHit,
    testing::Values(
        HitCase{100, 50, 2, 4, 4, "helpfiles/H0003.rtf", 4},  // both overlap: the later row
        HitCase{109, 46, 1, 3, 3, "helpfiles/H0002.rtf", 3},  // 54.5 % rounds to 54: 4 away
        HitCase{110, 46, -1, 1, 1, "helpfiles/H0000.rtf", 0}, // 55 %: 5 away is outside
        HitCase{40, 20, 3, 2, 2, "helpfiles/H0001.rtf", 1},   // rows 4 and 5 never hit
        HitCase{160, 80, 6, 1, 1, "helpfiles/H0001.rtf", std::nullopt}, // code "0"
        HitCase{20, 90, 7, 1, 1, "helpfiles/H0001.rtf", std::nullopt},  // code "abc"
        HitCase{180, 10, 8, 12, 1, std::nullopt, std::nullopt},         // above 11: no region
        HitCase{60, 70, 9, -9, 1, std::nullopt, std::nullopt}));        // below -6: no region

TEST(AirwayPicture, RequestsDecideDrawingHintAndMessage) {
    struct Step {
        int n;
        int picture;
        HintChange hint;
        std::string message;
        int current;
    };
    const Step steps[] = {
        {-1, 0, HintChange::keep, "", -2},
        {-3, 1, HintChange::keep, "", 1}, // nothing shown yet: the plain picture
        {3, 3, HintChange::show, "", 3},
        {3, 0, HintChange::keep, "", 3}, // already shown: not redrawn
        {-3, 3, HintChange::keep, "", 3},
        {-2, 1, HintChange::hide, "", 1},
        {-2, 1, HintChange::hide, "", 1}, // picture 1 again in any case
        {1, 0, HintChange::keep, "", 1},
        {-5, 0, HintChange::keep, "Bad num. -5", 1},
        {7, 7, HintChange::hide, "", 7},
        {40, 1, HintChange::hide, "", 1},
    };
    AirwayPictureState state;
    for (const Step& s : steps) {
        SCOPED_TRACE(s.n);
        const AirwayPictureStep step = state.request(s.n);
        EXPECT_EQ(step.picture, s.picture);
        EXPECT_EQ(step.hint, s.hint);
        EXPECT_EQ(step.message, s.message);
        EXPECT_EQ(state.currentPicture(), s.current);
    }
}

TEST(AirwayPicture, HintBoxStandsAboveRightOfThePointTenPixelsPerCharacter) {
    AirwayPictureState state;
    const AirwayPictureStep step = state.request(3);
    EXPECT_EQ(step.hintText, " pośrednie");
    const HintBox box = hintBoxAt(step.hintText, 30, 40, 22);
    EXPECT_EQ(box.left, 35);
    EXPECT_EQ(box.top, 13);
    EXPECT_EQ(box.width, 100);
    EXPECT_EQ(hintBoxAt(" miąższ płuc", 0, 0, 16).width, 120);
}

} // namespace

#include "ui/main_window_geometry.h"

#include <gtest/gtest.h>

using namespace vm::ui;

namespace {

LayoutInputs inputs(int w, int h, int screenHeight) {
    LayoutInputs in;
    in.clientWidth = w;
    in.clientHeight = h;
    in.screenHeight = screenHeight;
    in.trackBarWidth.fill(30);
    in.captionWidth.fill(20);
    in.headingWidth = {60, 80, 70, 50};
    return in;
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(7, 1, 2), 4);
    EXPECT_EQ(MulDiv(446, 1, 3), 149);
    EXPECT_EQ(MulDiv(495, 75, 100), 371);
}

// Worked by hand for a 1280-pixel screen whose maximised client area is 1280 x 900.
TEST(MainWindowGeometry, ScreenOf1280) {
    const auto g = computeMainWindowGeometry(inputs(1280, 900, 1024));
    EXPECT_EQ(g.image1, (Box{10, 0, 486, 495}));
    EXPECT_EQ(g.image2, (Box{506, 0, 486, 371}));
    EXPECT_EQ(g.image3, (Box{506, 376, 486, 119}));
    EXPECT_EQ(g.stringGrid1, (Box{1002, 0, 268, 495}));
    EXPECT_EQ(g.resultsColumnWidth, (std::array<int, 5>{88, 32, 54, 54, 29}));
    EXPECT_EQ(g.resultsRowHeight, 29);
    EXPECT_TRUE(g.resultsFontSize10);
    EXPECT_EQ(g.panel6, (Box{10, 505, 1260, 375}));
    EXPECT_EQ(g.panel5, (Box{20, 536, 486, 182}));
    EXPECT_EQ(g.unitE, 149);
    EXPECT_EQ(g.panel7, (Box{511, 536, 159, 182}));
    EXPECT_EQ(g.groupPanel[1], (Box{25, 551, 75, 162}));
    EXPECT_EQ(g.groupPanel[2], (Box{115, 551, 224, 162}));
    EXPECT_EQ(g.groupPanel[3], (Box{353, 551, 149, 162}));
    EXPECT_EQ(g.groupPanel[4], (Box{516, 551, 149, 162}));
    // Every track bar is four fifths of its group and ends one pixel above the group's bottom.
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(g.trackBar[n].bar.height, 130) << n;
        EXPECT_EQ(g.trackBar[n].bar.bottom(), 162 - 1) << n;
    }
    EXPECT_EQ(g.trackBar[3].bar.left, 74 + 15);
    EXPECT_EQ(g.trackBar[4].bar.left, 224 - 30 - 3);
    EXPECT_EQ(g.trackBar[5].bar.left, 74 - 30);
    EXPECT_EQ(g.trackBar[8].bar.left, 149 - 30 - 3);
    EXPECT_EQ(g.trackBar[1].markTop[0], 31 + 5); // round(130 / 25) = 5
    EXPECT_EQ(g.trackBar[1].markTop[4], 31 + 5 + 4 * 26);
    EXPECT_EQ(g.trackBar[3].markTop[0], 31 + 5 + 21); // round(0.8 * 130 / 5) = round(20.8)
    EXPECT_EQ(g.trackBar[1].caption.top, 31 - 13 + 2);
    EXPECT_EQ(g.button2, (Box{675, 536, 90, 40}));
    EXPECT_EQ(g.button1, (Box{675, 582, 43, 27}));
    EXPECT_EQ(g.button9, (Box{675, 615, 43, 25}));
    EXPECT_EQ(g.button10, (Box{723, 615, 43, 25}));
    EXPECT_EQ(g.button8, (Box{675, 641, 90, 25}));
    EXPECT_EQ(g.groupBox1, (Box{675, 723, 90, 152}));
    EXPECT_EQ(g.button3, (Box{9, 30, 72, 20}));
    EXPECT_EQ(g.button6, (Box{9, 60, 72, 20}));
    EXPECT_EQ(g.stringGrid2, (Box{20, 723, 648, 155}));
    EXPECT_EQ(g.rowGridRowHeight, 30);
    EXPECT_EQ(g.richEdit1, (Box{770, 536, 490, 182}));
    EXPECT_EQ(g.headingLeft[1], ((486 - 80) / 10) * 4);
    EXPECT_EQ(g.headingLeft[3], (159 - 50) / 2);
}

TEST(MainWindowGeometry, SmallerScreenKeepsTheFontAndScalesTheProportions) {
    auto in = inputs(1024, 700, 768);
    in.comboBoxHeight = 17;
    const auto g = computeMainWindowGeometry(in);
    EXPECT_EQ(g.image1, (Box{10, 0, 389, 385}));
    EXPECT_EQ(g.image2, (Box{409, 0, 389, 289}));
    EXPECT_EQ(g.image3, (Box{409, 293, 389, 92}));
    EXPECT_EQ(g.stringGrid1.width, 206);
    EXPECT_FALSE(g.resultsFontSize10) << "768 is not taller than 768";
    EXPECT_EQ(g.panel6, (Box{10, 395, 1004, 285}));
    EXPECT_EQ(g.panel5, (Box{20, 422, 389, 137}));
    EXPECT_EQ(g.unitE, 116);
    EXPECT_EQ(g.groupPanel[2].width, 174);
}

TEST(MainWindowGeometry, HalfPixelWidthsRoundToEven) {
    // Panel5 481 wide gives E = 147, so the intermediate group is round(220.5) = 220.
    const auto g = computeMainWindowGeometry(inputs(1266, 900, 1024));
    ASSERT_EQ(g.panel5.width, 481);
    ASSERT_EQ(g.unitE, 147);
    EXPECT_EQ(g.groupPanel[2].width, 220);
}

TEST(MainWindowGeometry, SizesThatHoldTextGrowWithTheFont) {
    // A 1920-pixel screen scales the 11-pixel font to 17: 90 x 40 becomes 139 x 62.
    LayoutInputs in = inputs(1920, 1000, 1080);
    in.fontPixelSize = 17;
    const auto g = computeMainWindowGeometry(in);
    EXPECT_EQ(g.button2.width, 139);
    EXPECT_EQ(g.button2.height, 62);
    EXPECT_EQ(g.button10, (Box{g.button9.right() + 5, g.button9.top, 66, 39}));
    EXPECT_EQ(g.groupBox1.width, 139);
    EXPECT_EQ(g.button6.height, 31);
    // The headings' gap grows from 15 to 23; the groups still end 5 above their frame's bottom.
    EXPECT_EQ(g.groupPanel[1].top, g.panel5.top + 23);
    EXPECT_EQ(g.groupPanel[1].bottom(), g.panel5.bottom() - 5);
}

} // namespace

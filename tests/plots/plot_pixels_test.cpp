#include "plots/line_pixels.h"
#include "plots/plot_pixels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace vm::plots;

namespace {

// Positions of exactly half a pixel go to the even neighbour, on both sides of zero.
TEST(percentToPixel, HalfPixelRoundsToEven) {
    struct Case {
        int size;
        float percent;
        int pixel;
    };
    const Case cases[] = {
        {400, 0.125f, 0},   // 0.5
        {400, 0.375f, 2},   // 1.5
        {400, 0.625f, 2},   // 2.5
        {400, 0.875f, 4},   // 3.5
        {300, 17.5f, 52},   // 52.5
        {300, 40.5f, 122},  // 121.5
        {400, -0.375f, -2}, // -1.5
        {400, -0.625f, -2}, // -2.5
        {400, 6.0f, 24},    {300, 72.0f, 216}, {400, 17.5f, 70},
    };
    for (const Case& c : cases)
        EXPECT_EQ(percentToPixel(c.size, c.percent), c.pixel) << c.size << " x " << c.percent;
}

// The percent is kept in single precision before it is scaled: 12.500000001 % becomes 12.5 %,
// which on 4 pixels is exactly half a pixel and rounds down to 0, where the unrounded value
// would give 1.
TEST(percentToPixel, PercentIsRoundedToSinglePrecisionFirst) {
    EXPECT_EQ(toPercent(12.500000001L), 12.5f);
    EXPECT_EQ(percentToPixel(4, toPercent(12.500000001L)), 0);
}

TEST(percentToPixel, NonFiniteHasNoPixelAndHugeIsHeldFar) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(percentToPixel(400, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_FALSE(percentToPixel(400, inf));
    EXPECT_FALSE(percentToPixel(400, -inf));
    EXPECT_EQ(percentToPixel(400, 1e30f), kFarPixel);
    EXPECT_EQ(percentToPixel(400, -1e30f), -kFarPixel);
    // Beyond the float range a finite value saturates instead of turning infinite.
    EXPECT_EQ(toPercent(1e300L), std::numeric_limits<float>::max());
    EXPECT_TRUE(std::isnan(toPercent(std::numeric_limits<long double>::quiet_NaN())));
}

TEST(clipSegment, KeepsThePartInsideTheBox) {
    const QRect box(0, 0, 101, 101); // 0..100 both ways
    const auto horizontal = clipSegment(QPoint(-50, 10), QPoint(150, 10), box);
    ASSERT_TRUE(horizontal);
    EXPECT_EQ(horizontal->first, QPoint(0, 10));
    EXPECT_EQ(horizontal->second, QPoint(100, 10));

    const auto diagonal = clipSegment(QPoint(50, 50), QPoint(50 + kFarPixel, 50 + kFarPixel), box);
    ASSERT_TRUE(diagonal);
    EXPECT_EQ(diagonal->first, QPoint(50, 50));
    EXPECT_EQ(diagonal->second, QPoint(100, 100));

    EXPECT_FALSE(clipSegment(QPoint(-10, -10), QPoint(-10, 500), box));
    EXPECT_FALSE(clipSegment(QPoint(-kFarPixel, 200), QPoint(kFarPixel, 300), box));
}

std::vector<QPoint> pixelsOf(QPoint from, QPoint to, QRect visible = QRect(-100, -100, 300, 300)) {
    QVarLengthArray<QPoint, 512> out;
    appendLinePixels(from, to, visible, out);
    return std::vector<QPoint>(out.begin(), out.end());
}

// The pen draws its starting pixel and stops on the end without drawing it, in every direction.
TEST(LinePixels, StartIsDrawnEndIsNot) {
    const QPoint ends[][2] = {
        {{2, 2}, {8, 2}},  {{8, 4}, {2, 4}},   {{2, 6}, {2, 12}},   {{4, 12}, {4, 6}},
        {{6, 6}, {12, 9}}, {{12, 12}, {6, 9}}, {{14, 2}, {17, 12}}, {{17, 14}, {14, 4}},
    };
    for (const auto& e : ends) {
        const std::vector<QPoint> pixels = pixelsOf(e[0], e[1]);
        const int steps = std::max(std::abs(e[1].x() - e[0].x()), std::abs(e[1].y() - e[0].y()));
        ASSERT_EQ(int(pixels.size()), steps);
        EXPECT_EQ(pixels.front(), e[0]);
        for (const QPoint& p : pixels)
            EXPECT_NE(p, e[1]);
        // Each pixel touches the previous one: the line has no holes.
        for (std::size_t i = 1; i < pixels.size(); ++i) {
            EXPECT_LE(std::abs(pixels[i].x() - pixels[i - 1].x()), 1);
            EXPECT_LE(std::abs(pixels[i].y() - pixels[i - 1].y()), 1);
        }
    }
    EXPECT_TRUE(pixelsOf(QPoint(5, 5), QPoint(5, 5)).empty());
}

TEST(LinePixels, OnlyVisiblePixelsAreKept) {
    const std::vector<QPoint> pixels = pixelsOf(QPoint(-5, 0), QPoint(5, 0), QRect(0, 0, 3, 3));
    const std::vector<QPoint> expected = {{0, 0}, {1, 0}, {2, 0}};
    EXPECT_EQ(pixels, expected);
}

} // namespace

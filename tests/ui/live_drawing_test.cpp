// What the user sees while START computes: the volume-time curve of the new result growing at
// its right end, one segment after another, and the elapsed time on yellow in the top-right
// corner. Observed from inside the run, each time the plot is shown.

#include "model_window.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <set>

using namespace vm::record;
using namespace vm::ui;

namespace {
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);

// The clock stands in the top-right corner: wider than "000,00" in any plot font, one line tall.
QRect clockCorner(const QImage& canvas) {
    return QRect(canvas.width() * 3 / 4, 0, canvas.width() / 4, 12);
}

// The plot below the clock's line, where the curve is drawn.
QRect curveArea(const QImage& canvas) {
    return QRect(0, 14, canvas.width(), canvas.height() - 14);
}
} // namespace

TEST(LiveDrawing, CurveGrowsSegmentBySegmentAndTheClockRunsInTheCorner) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);

    struct Shown {
        int redPixels = 0;
        int rightmostRed = -1;
    };
    std::vector<Shown> shown;
    QImage previous;
    int growingShows = 0;
    int newPixelsBehindTheEnd = 0;
    int showsWithClock = 0;
    int clockWithDigits = 0;
    std::set<qint64> clockPictures;
    PaintWatcher watcher(ui.Image3(), [&] {
        if (!WindowProbe(form).runInProgress())
            return;
        const QImage canvas = ui.Image3()->canvas().copy();
        const QImage curve = canvas.copy(curveArea(canvas));
        Shown now{countPixels(curve, kRed), rightmostColumnOf(curve, kRed)};
        if (!shown.empty() && now.redPixels > shown.back().redPixels) {
            ++growingShows;
            // Every pixel new since the last showing lies at the curve's previous end.
            for (int y = 0; y < curve.height(); ++y)
                for (int x = 0; x < curve.width(); ++x)
                    if ((curve.pixel(x, y) & 0xffffff) == (kRed & 0xffffff) &&
                        (previous.pixel(x, y) & 0xffffff) != (kRed & 0xffffff) &&
                        x < shown.back().rightmostRed - 1)
                        ++newPixelsBehindTheEnd;
        }
        const QImage corner = canvas.copy(clockCorner(canvas));
        const int yellow = countPixels(corner, kYellow);
        // At least "0,00" in a font 8 pixels tall, on yellow up to the right edge.
        if (yellow > 120 &&
            (corner.pixel(corner.width() - 1, 1) & 0xffffff) == (kYellow & 0xffffff)) {
            ++showsWithClock;
            // The digits are black on the yellow; the frame draws nothing else up there.
            if (countPixels(corner, qRgb(0, 0, 0)) > 10)
                ++clockWithDigits;
            clockPictures.insert(qHashBits(corner.constBits(), corner.sizeInBytes()));
        }
        shown.push_back(now);
        previous = curve;
    });
    m.pressStart();

    int samples = 0;
    while (samples < 1000 && m.w.record.vtTime(workingRow, samples + 1) != 0.0f)
        ++samples;
    ASSERT_GT(samples, 100);
    // One showing per stored sample at least, plus the clock's.
    EXPECT_GE(static_cast<int>(shown.size()), samples);

    // The curve only ever grows, rightwards, and it grows across the run, not in one piece.
    for (std::size_t i = 1; i < shown.size(); ++i) {
        ASSERT_GE(shown[i].redPixels, shown[i - 1].redPixels) << i;
        ASSERT_GE(shown[i].rightmostRed, shown[i - 1].rightmostRed) << i;
    }
    EXPECT_GT(growingShows, samples / 10);
    EXPECT_EQ(newPixelsBehindTheEnd, 0);
    // The finished curve reaches the last sample's time.
    const double lastTime_pct = 6.0 + 1.52 * m.w.record.vtTime(workingRow, samples);
    EXPECT_NEAR(shown.back().rightmostRed, lastTime_pct / 100.0 * ui.Image3()->width(), 2.0);

    // The clock shows on yellow in the corner, its digits changing as time passes.
    EXPECT_GT(showsWithClock, 10);
    EXPECT_EQ(clockWithDigits, showsWithClock);
    EXPECT_GT(clockPictures.size(), 10u);
}

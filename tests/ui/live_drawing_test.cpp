// What the user sees while START computes: the volume-time curve of the new result growing at
// its right end, one segment after another, and the elapsed time on yellow in the top-right
// corner. Observed from inside the run, each time the plot is shown.

#include "model_window.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QPainter>
#include <QTest>

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
    ui.showEveryLiveFrame();

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

// The window manager's new client area arrives while START runs: followed once the run ends, the
// volume-time plot is drawn at its new size as the run left it, the whole curve and the clock.
TEST(LiveDrawing, ANewClientAreaDuringStartKeepsTheRunsPictureWithItsClock) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(form.isMaximized());
    const QSize plot = ui.Image3()->size();
    bool resized = false;
    PaintWatcher watcher(ui.Image3(), [&] {
        if (resized || !WindowProbe(form).runInProgress())
            return;
        resized = true;
        // A taller menu bar leaves the maximised window a lower client area.
        form.menuBar()->setFixedHeight(form.menuBar()->height() + 30);
    });
    m.pressStart();
    QCoreApplication::processEvents();
    ASSERT_TRUE(resized);
    ASSERT_NE(ui.Image3()->size(), plot) << "laid out once the run ended";
    const QImage canvas = ui.Image3()->canvas();
    ASSERT_EQ(canvas.size(), ui.Image3()->size());

    const QImage corner = canvas.copy(clockCorner(canvas));
    EXPECT_GT(countPixels(corner, kYellow), 120) << "the run clock is gone";
    EXPECT_GT(countPixels(corner, qRgb(0, 0, 0)), 10) << "the run clock has no digits";
    int samples = 0;
    while (samples < 1000 && m.w.record.vtTime(workingRow, samples + 1) != 0.0f)
        ++samples;
    const double lastTime_pct = 6.0 + 1.52 * m.w.record.vtTime(workingRow, samples);
    EXPECT_NEAR(rightmostColumnOf(canvas.copy(curveArea(canvas)), kRed),
                lastTime_pct / 100.0 * canvas.width(), 2.0);
}

// Shown at most once a display refresh, the live drawing ends on the very pictures that showing
// every frame ends on, with fewer showings on the way.
TEST(LiveDrawing, PacedToTheDisplayItEndsOnTheSamePictures) {
    struct End {
        QImage lungs, plot;
        int shows = 0;
    };
    std::vector<End> ends;
    for (const bool everyFrame : {false, true}) {
        ModelWindow m;
        const WindowProbe ui(m.form());
        if (everyFrame)
            ui.showEveryLiveFrame();
        End end;
        PaintWatcher watcher(ui.Image3(), [&] { end.shows += ui.runInProgress() ? 1 : 0; });
        m.pressStart();
        end.lungs = ui.Image1()->canvas().copy();
        end.plot = ui.Image3()->canvas().copy();
        ends.push_back(end);
    }
    EXPECT_EQ(ends[0].lungs, ends[1].lungs);
    EXPECT_EQ(ends[0].plot, ends[1].plot);
    EXPECT_LT(ends[0].shows, ends[1].shows / 2);
}

// The lung animation over the airway picture: drawn live from the model while START computes,
// and replayed along the selected result's flow-volume curve with the commands locked.

#include "model_window.h"

#include "plots/lung_frame.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <vector>

using namespace vm::plots;

TEST(LungAnimation, ARunShowsTheLungsMovingAsTheModelComputes) {
    ModelWindow m;
    const WindowProbe ui(m.form());
    // Distinct pictures with walls drawn on them: the test's airway pictures have no black.
    std::set<qint64> frames;
    PaintWatcher watcher(ui.Image1(), [&] {
        const QImage& shown = ui.Image1()->canvas();
        if (m.ui().runInProgress() && countPixels(shown, qRgb(0, 0, 0)) > 500)
            frames.insert(qHashBits(shown.constBits(), shown.sizeInBytes()));
    });
    m.pressStart();
    EXPECT_GT(frames.size(), 50u);
}

TEST(LungAnimation, AReplayFramesTheSelectedCurveLockedAndEndsWhenTheWindowCloses) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    m.pressStart();
    ASSERT_EQ(m.w.state.selectedRow, 1);
    float vPos = 100.0f;
    float vMax = -100.0f;
    for (int n = 1; n <= layout::kFvSamples; ++n) {
        const float v = m.w.record.fvVolume(1, n);
        vPos = v > 0.0f && v < 100.0f ? std::min(vPos, v) : vPos;
        vMax = std::max(vMax, v);
    }

    // Each frame counted once by its sample; every one must find exactly the replay's list of
    // controls locked and the picture timer off.
    std::vector<int> samples;
    bool locked = true;
    PaintWatcher watcher(ui.Image1(), [&] {
        if (!WindowProbe(form).animationBusy() ||
            (!samples.empty() && samples.back() == WindowProbe(form).replaySample()))
            return;
        samples.push_back(WindowProbe(form).replaySample());
        for (QWidget* off :
             std::initializer_list<QWidget*>{ui.Button1(), ui.Button2(), ui.Button3(), ui.Button6(),
                                             ui.Button8(), ui.StringGrid2(), ui.Panel4()})
            locked = locked && !off->isEnabled();
        for (QAction* item : form.menuBar()->actions()) // "Plik", "Eksport" and the rest
            locked = locked && !item->isEnabled();
        locked = locked && ui.Button9()->isEnabled() && !WindowProbe(form).Timer1()->isActive();
    });
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    EXPECT_EQ(samples, replayFrameSamples(m.w.record, 1, vPos, vMax));
    EXPECT_GT(samples.size(), 20u);
    EXPECT_TRUE(locked);
    EXPECT_TRUE(!WindowProbe(form).animationBusy() && WindowProbe(form).Timer1()->isActive() &&
                ui.Button6()->isEnabled());

    // The reference row and no selection never replay: the plot is redrawn without a frame.
    for (const int selected : {0, -1}) {
        m.w.state.selectedRow = selected;
        ui.Image2()->canvas().fill(Qt::black);
        samples.clear();
        QTest::mouseClick(ui.Button8(), Qt::LeftButton);
        EXPECT_TRUE(samples.empty()) << selected;
        EXPECT_EQ(ui.Image2()->canvas().pixelColor(1, 1), QColor(Qt::white)) << selected;
    }

    // Paused before it starts, a replay stops after its first frame; closing the window ends it.
    m.w.state.selectedRow = 1;
    QTest::mouseClick(ui.Button9(), Qt::LeftButton);
    QTest::mouseClick(ui.Button10(), Qt::LeftButton);
    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(400, &form, [&form] { form.close(); });
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    QApplication::setQuitOnLastWindowClosed(quitOnClose);
    EXPECT_EQ(samples.size(), 1u);
    EXPECT_TRUE(!form.isVisible() && !WindowProbe(form).animationBusy() &&
                ui.Button8()->isEnabled());
    // Pause and speed survive.
    EXPECT_EQ(ui.Button9()->text(), QStringLiteral("go"));
    EXPECT_EQ(ui.Button10()->text(), QStringLiteral("1"));
}

// The window manager's new client area arrives while a replay draws on the plot: the plot and
// the picture keep their canvases (the replay paints on them) until the replay ends, and the new
// area is followed then.
TEST(LungAnimation, ANewClientAreaDuringAReplayIsFollowedWhenItEnds) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    m.pressStart();
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(form.isMaximized());
    const QSize plot = ui.Image2()->size();
    bool resized = false;
    bool kept = true;
    PaintWatcher watcher(ui.Image1(), [&] {
        if (!ui.animationBusy())
            return;
        if (!resized) {
            resized = true;
            // A taller menu bar leaves the maximised window a lower client area.
            form.menuBar()->setFixedHeight(form.menuBar()->height() + 30);
        }
        kept = kept && ui.Image2()->size() == plot && ui.Image2()->canvas().size() == plot;
    });
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    ASSERT_TRUE(resized);
    EXPECT_TRUE(kept);
    EXPECT_NE(ui.Image2()->size(), plot) << "laid out once the replay ended";
    EXPECT_EQ(ui.Image2()->canvas().size(), ui.Image2()->size());
}

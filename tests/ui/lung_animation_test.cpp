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
#include <vector>

using namespace vm::plots;

namespace {
// The frame the model's state gives, as the window is to show it.
QImage liveFrameOf(const ModelState& model, const TForm1& form) {
    LungFrameValues values;
    for (std::size_t j = 0; j < kFrameLobes; ++j) {
        values.lobeVolume[j] = model.state.lobeVolume[j];
        values.peripheralResistance[j] = model.state.peripheralResistance[j];
        values.intermediateResistance[j] = model.state.intermediateEffResistance[j];
        values.flowLimited[j] = model.state.flowLimited[j] != 0;
    }
    values.tracheaCoefficient = model.state.tracheaCoefficientCopy;
    values.leftBronchusCoefficient = model.state.bronchusCoefficientCopy[0];
    values.rightBronchusCoefficient = model.state.bronchusCoefficientCopy[1];
    QImage frame(form.pictureBuffer.size(), QImage::Format_RGB32);
    DrawLungFrame(frame, stretchedBackground(form.backgroundPicture, frame.size()), values);
    return frame;
}

// The replay's frames, each counted once by the sample it shows.
struct ReplayWatch {
    std::vector<int> samples;
    bool locked = true; // exactly the replay's list of controls off, and the picture timer
    PaintWatcher watcher;

    explicit ReplayWatch(TForm1& form)
        : watcher(WindowProbe(form).Image1(), [this, &form] {
              if (!form.animationBusy)
                  return;
              if (samples.empty() || samples.back() != form.replaySample)
                  samples.push_back(form.replaySample);
              const WindowProbe ui(form);
              for (QWidget* off : std::initializer_list<QWidget*>{
                       ui.Button1(), ui.Button2(), ui.Button3(), ui.Button6(), ui.Button8(),
                       ui.StringGrid2(), ui.Panel1(), ui.Panel2(), ui.Panel3(), ui.Panel4()})
                  locked = locked && !off->isEnabled();
              for (QAction* item : form.menuBar()->actions())
                  locked = locked && !item->isEnabled();
              locked = locked && ui.Button9()->isEnabled() && ui.Button10()->isEnabled() &&
                       form.isEnabled() && !form.Timer1->isActive();
          }) {}
};
} // namespace

TEST(LungAnimation, ARunShowsTheModelsLungsAsItComputes) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    int frames = 0;
    int matching = 0;
    PaintWatcher watcher(ui.Image1(), [&] {
        if (!form.runInProgress)
            return;
        // Every 50th showing is checked against the model of that moment.
        if (++frames % 50 == 0)
            matching += ui.Image1()->canvas() == liveFrameOf(m.w.model, form);
    });
    m.pressStart();
    EXPECT_GT(frames, 100);
    EXPECT_EQ(matching, frames / 50);
}

TEST(LungAnimation, AReplayDrawsItsFramesAlongTheSelectedCurveWithTheCommandsLocked) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    m.pressStart();
    ASSERT_EQ(m.w.state.selectedRow, 1);

    float vPos = 100.0f;
    float vMax = -100.0f;
    for (int n = 1; n <= layout::kFvSamples; ++n) {
        const float v = m.w.record.fvVolume(1, n);
        if (v > 0.0f && v < 100.0f)
            vPos = std::min(vPos, v);
        vMax = std::max(vMax, v);
    }
    const std::vector<int> expected = replayFrameSamples(m.w.record, 1, vPos, vMax);
    ASSERT_GT(expected.size(), 20u);

    ReplayWatch watch(form);
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    EXPECT_EQ(watch.samples, expected);
    EXPECT_TRUE(watch.locked);
    EXPECT_FALSE(form.animationBusy);
    EXPECT_TRUE(form.Timer1->isActive());
    for (QWidget* on :
         std::initializer_list<QWidget*>{ui.Button1(), ui.Button2(), ui.Button3(), ui.Button6(),
                                         ui.Button8(), ui.StringGrid2(), ui.Panel1()})
        EXPECT_TRUE(on->isEnabled());
    for (QAction* item : form.menuBar()->actions())
        EXPECT_TRUE(item->isEnabled());

    // The reference row and no selection never replay: the plot is redrawn without a frame.
    for (const int selected : {0, -1}) {
        m.w.state.selectedRow = selected;
        ui.Image2()->canvas().fill(Qt::black);
        watch.samples.clear();
        QTest::mouseClick(ui.Button8(), Qt::LeftButton);
        EXPECT_TRUE(watch.samples.empty()) << selected;
        EXPECT_EQ(ui.Image2()->canvas().pixelColor(1, 1), QColor(Qt::white)) << selected;
    }
}

TEST(LungAnimation, ClosingTheWindowEndsAPausedReplayAndPauseAndSpeedSurvive) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    m.pressStart();

    // Paused before the replay starts: it stops after its first frame.
    QTest::mouseClick(ui.Button9(), Qt::LeftButton);
    EXPECT_EQ(ui.Button9()->text(), QStringLiteral("go"));
    QTest::mouseClick(ui.Button10(), Qt::LeftButton);
    EXPECT_EQ(ui.Button10()->text(), QStringLiteral("1"));

    const bool quitOnClose = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    ReplayWatch watch(form);
    QTimer::singleShot(400, &form, [&form] { form.close(); });
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    QApplication::setQuitOnLastWindowClosed(quitOnClose);

    EXPECT_EQ(watch.samples.size(), 1u);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.animationBusy);
    EXPECT_TRUE(ui.Button8()->isEnabled());
    EXPECT_TRUE(form.replayPaused);
    EXPECT_EQ(ui.Button9()->text(), QStringLiteral("go"));
    EXPECT_EQ(form.replaySpeed, 1);

    // Speeds run 1, 2, 3 and round again.
    form.Button10Click();
    form.Button10Click();
    EXPECT_EQ(ui.Button10()->text(), QStringLiteral("3"));
    form.Button10Click();
    EXPECT_EQ(form.replaySpeed, 1);
}

// The lung animation over the airway picture: a frame from the live model at every tick of a run,
// and the replay of the selected result, one frame each time its flow-volume curve has moved on
// far enough. The replay keeps the window's messages flowing, so that its pause and speed buttons
// act, and locks the controls that could change the record or start another drawing.

#include "ui/main_window.h"

#include "model/model_state.h"
#include "plots/flow_volume_plot.h"
#include "plots/lung_frame.h"

#include <QAction>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

using namespace vm::model;
using namespace vm::plots;

namespace vm::ui {

namespace {
// The pause after each replay frame at speeds 1, 2 and 3.
constexpr int kReplayWait_ms[] = {200, 50, 0};

// What the model shows now. The central coefficients are the copies each substep takes, the
// values a recorded sample keeps.
LungFrameValues liveFrameValues(const ModelState& model) {
    LungFrameValues values;
    for (int j = 0; j < kFrameLobes; ++j) {
        const auto lobe = static_cast<std::size_t>(j);
        values.lobeVolume[lobe] = model.state.lobeVolume[lobe];
        values.peripheralResistance[lobe] = model.state.peripheralResistance[lobe];
        values.intermediateResistance[lobe] = model.state.intermediateEffResistance[lobe];
        values.flowLimited[lobe] = model.state.flowLimited[lobe] != 0;
    }
    values.tracheaCoefficient = model.state.tracheaCoefficientCopy;
    values.leftBronchusCoefficient = model.state.bronchusCoefficientCopy[0];
    values.rightBronchusCoefficient = model.state.bronchusCoefficientCopy[1];
    return values;
}

// Gives the controls back however the replay ends, a range error included.
class ReplayGuard {
  public:
    explicit ReplayGuard(std::function<void()> end) : end_(std::move(end)) {}
    ~ReplayGuard() { end_(); }
    ReplayGuard(const ReplayGuard&) = delete;
    ReplayGuard& operator=(const ReplayGuard&) = delete;

  private:
    std::function<void()> end_;
};
} // namespace

void TForm1::DrawLungFrame(int row) {
    if (pictureBuffer.isNull())
        return;
    // Frames are drawn at the picture's present size, so none is stretched on its way.
    if (pictureBuffer.size() != Image1->size() && !Image1->size().isEmpty())
        pictureBuffer = QImage(Image1->size(), QImage::Format_RGB32);
    const LungFrameValues values = row == 0 ? liveFrameValues(session_.model())
                                            : lungFrameValuesAt(record_, row, replaySample);
    // The background is stretched once; each frame only copies it.
    if (frameBackground_.size() != pictureBuffer.size() && !backgroundPicture.isNull())
        frameBackground_ = stretchedBackground(backgroundPicture, pictureBuffer.size());
    plots::DrawLungFrame(pictureBuffer, frameBackground_, values);
    showPictureBuffer();
}

// The whole frame at once.
void TForm1::showPictureBuffer() {
    if (Image1->canvas().size() != Image1->size())
        Image1->resizeCanvas(Image1->size());
    QImage& canvas = Image1->canvas();
    if (canvas.size() == pictureBuffer.size()) {
        // The next frame covers all of the buffer, so the two trade places instead of copying.
        canvas.swap(pictureBuffer);
    } else {
        QPainter painter(&canvas);
        painter.drawImage(canvas.rect(), pictureBuffer);
    }
    Image1->repaintNow();
}

void TForm1::setReplayLockedControlsEnabled(bool enabled) {
    setLockableControlsEnabled({Button1, Button2, Button3, Button6, Button8}, enabled);
}

void TForm1::Button8Click() {
    animationBusy = true;
    replayCancelled_ = false;
    setReplayLockedControlsEnabled(false);
    Timer1->stop();
    ReplayGuard guard([this] {
        Timer1->start();
        setReplayLockedControlsEnabled(true);
        animationBusy = false;
    });

    // Only the selected row's curve calls the hook, so one rule serves the whole replay.
    std::optional<ReplayFrameRule> rule;
    const ReplayHook hook = [this, &rule](int row, int sample, float volume_l, float vMax_l,
                                          float vPos_l) {
        if (replayCancelled_)
            return false;
        replaySample = sample;
        if (!rule)
            rule.emplace(vPos_l);
        return !rule->frameAt(volume_l, vMax_l, vPos_l) || showReplayFrame(row);
    };
    plots::DrawFlowVolumePlot(Image2->canvas(), record_, state_.selectedRow, &hook);
    Image2->update();
}

// One frame, with the curve drawn so far; then the window's messages, the speed's wait, and the
// pause. False when the window was closed meanwhile.
bool TForm1::showReplayFrame(int row) {
    DrawLungFrame(row);
    Image2->repaintNow();
    // The picture's timer would cover the animation.
    Timer1->stop();
    QCoreApplication::processEvents();
    waitForReplay();
    while (replayPaused && !replayCancelled_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !replayCancelled_;
}

// The wait lets the window's messages through, so that "pauza" acts within it.
void TForm1::waitForReplay() {
    const int wait_ms = kReplayWait_ms[std::clamp(replaySpeed, 1, 3) - 1];
    if (wait_ms == 0 || replayCancelled_)
        return;
    QEventLoop loop;
    QTimer::singleShot(wait_ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void TForm1::Button9Click() {
    replayPaused = !replayPaused;
    Button9->setText(replayPaused ? QStringLiteral("go") : QStringLiteral("pauza"));
}

void TForm1::Button10Click() {
    replaySpeed = replaySpeed >= 3 ? 1 : replaySpeed + 1;
    Button10->setText(QString::number(replaySpeed));
}

} // namespace vm::ui

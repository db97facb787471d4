// START: one simulated test from the current settings becomes the newest result. The session
// runs the model and keeps the result; the window locks itself meanwhile, so that input queued
// during the run is dropped instead of starting another command, and draws the run live.

#include "ui/main_window.h"

#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/interaction.h"
#include "ui/results_view.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

using namespace vm::session;

namespace vm::ui {

namespace {
// Puts the window back into use however the command ends, a range error included, so that a
// failed START never leaves the program locked.
class RunInProgressGuard {
  public:
    explicit RunInProgressGuard(std::function<void()> release) : release_(std::move(release)) {}
    ~RunInProgressGuard() {
        if (release_)
            release_();
    }
    void releaseNow() {
        std::function<void()> release = std::move(release_);
        release_ = nullptr;
        release();
    }
    RunInProgressGuard(const RunInProgressGuard&) = delete;
    RunInProgressGuard& operator=(const RunInProgressGuard&) = delete;

  private:
    std::function<void()> release_;
};
} // namespace

void TForm1::Button2Click() {
    StartSimulation();
}

// The given buttons, every menu item, the row grid and the four group panels, in this order: what
// START and the replay lock while they draw.
void TForm1::setLockableControlsEnabled(std::initializer_list<QWidget*> buttons, bool enabled) {
    for (QWidget* button : buttons)
        button->setEnabled(enabled && !(button == Button2 && startUnavailable_));
    for (QAction* item : menuBar()->actions())
        item->setEnabled(enabled);
    results_->rowGrid()->setEnabled(enabled);
    panel_->setGroupsEnabled(enabled);
}

// The command controls in the order START disables them; the whole window comes last when
// disabling and last again when enabling.
void TForm1::setCommandControlsEnabled(bool enabled) {
    const auto [animation, pause, speed] = airway_->animationButtons();
    setLockableControlsEnabled(
        {panel_->resetButton(), Button2, Button3, Button6, animation, pause, speed}, enabled);
    airway_->setHintTimerRunning(enabled);
    setEnabled(enabled);
}

void TForm1::StartSimulation() {
    if (startUnavailable_)
        return;
    const auto running = [this](bool running) {
        runInProgress_ = running;
        airway_->setRunInProgress(running);
    };
    running(true);
    setCommandControlsEnabled(false);
    RunInProgressGuard guard([this, running] {
        setCommandControlsEnabled(true);
        running(false);
    });

    panel_->SelectSection(0);
    airway_->ShowAirwayPicture(-2, 0, 0);
    RefreshResultViews(Session::viewsWhileRunning());
    QCoreApplication::processEvents();

    // The run's first tick draws the frame again, and every later one the newest segment.
    const RunHooks hooks = liveDrawingHooks();
    volumeTimePlot.setVtStep(1);
    const ViewChanges changes = session_.StartSimulation(hooks);
    finishLiveDrawing();
    RefreshResultViews(changes);
    // The volume-time plot keeps the run's picture, clock included, until a command redraws it;
    // a new client area draws the same picture at the plot's new size.
    runPicture_ = RunPicture{volumeTimePlot.vtStep(), lastRunClock_s_};
    QCoreApplication::processEvents();

    guard.releaseNow();
    followMaximisedClientArea();
    if (changes.soundAlias)
        interaction_.playSystemSound(QString::fromStdString(*changes.soundAlias));
}

} // namespace vm::ui

// The two plots of the main window on their persistent canvases: redrawn from the record only by
// the commands that change what they show, and extended live while a run computes.

#include "ui/main_window.h"

#include "plots/flow_volume_plot.h"
#include "ui/airway_picture_view.h"
#include "ui/frame_pacer.h"
#include "ui/image_view.h"
#include "ui/interaction.h"

#include <QLocale>

using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

namespace {
// The run clock shows the user's decimal separator; one that is not a single character falls
// back to the point.
QChar runClockDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point.at(0) : QChar(u'.');
}
} // namespace

void TForm1::DrawFlowVolumePlot() {
    ::DrawFlowVolumePlot(Image2->canvas(), session_.record(), session_.state().selectedRow);
    Image2->update();
}

void TForm1::DrawVolumeTimeStep(int row) {
    volumeTimePlot.DrawVolumeTimeStep(Image3->canvas(), session_.record(), row);
    Image3->update();
}

void TForm1::RedrawVolumeTimeCurve() {
    volumeTimePlot.RedrawVolumeTimeCurve(Image3->canvas(), session_.record(),
                                         session_.state().selectedRow);
    Image3->update();
}

// The run draws into Image3, and a lung frame over Image1, while it computes: the window's event
// loop does not run until the run is over. Every segment and every clock goes into the plot's
// canvas as it comes; the plot and a lung frame of the model as it stands are shown at most once a
// display refresh, and what was not shown is shown when the run ends (finishLiveDrawing). The
// model puts the processor back in the state it computes fastest in after every live call.
RunHooks TForm1::liveDrawingHooks() {
    livePacer_ = std::make_unique<FramePacer>(liveFrameInterval_ms_);
    livePlotUnshown_ = false;
    liveLungsUnshown_.reset();
    RunHooks hooks;
    hooks.liveFrameTick = [this] {
        volumeTimePlot.LiveFrameTick(Image3->canvas(), session_.record());
        liveLungsUnshown_ = session_.liveLungFrame();
        showLiveFrameIfDue();
    };
    lastRunClock_s_.reset();
    hooks.showRunClock = [this, separator = runClockDecimalSeparator()](double runClockTime) {
        lastRunClock_s_ = runClockTime;
        volumeTimePlot.ShowRunClock(Image3->canvas(), runClockTime, separator);
        showLiveFrameIfDue();
    };
    hooks.beep = [this] { interaction_.beep(); };
    return hooks;
}

void TForm1::redrawRunPicture() {
    // The run's first tick drew the frame, every later one a segment; a run that ended before
    // its first tick left the frame START drew.
    volumeTimePlot.setVtStep(1);
    do {
        volumeTimePlot.DrawVolumeTimeStep(Image3->canvas(), session_.record(), record::workingRow);
    } while (volumeTimePlot.vtStep() < runPicture_->vtStepReached);
    if (runPicture_->runClock_s)
        volumeTimePlot.ShowRunClock(Image3->canvas(), *runPicture_->runClock_s,
                                    runClockDecimalSeparator());
    Image3->update();
}

void TForm1::showLiveFrameIfDue() {
    livePlotUnshown_ = true;
    if (livePacer_->due())
        finishLiveDrawing();
}

void TForm1::finishLiveDrawing() {
    if (livePlotUnshown_)
        Image3->repaintNow();
    livePlotUnshown_ = false;
    if (liveLungsUnshown_)
        airway_->DrawLungFrame(*liveLungsUnshown_);
    liveLungsUnshown_.reset();
}

} // namespace vm::ui

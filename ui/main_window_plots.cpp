// The two plots of the main window on their persistent canvases: redrawn from the record only by
// the commands that change what they show, and extended live while a run computes.

#include "ui/main_window.h"

#include "model/run_hooks.h"
#include "plots/flow_volume_plot.h"
#include "ui/interaction.h"
#include "ui/vector_registers.h"

#include <QLocale>

using namespace vm::model;
using namespace vm::plots;

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
    ::DrawFlowVolumePlot(Image2->canvas(), record_, state_.selectedRow);
    Image2->update();
}

void TForm1::DrawVolumeTimeStep(int row) {
    volumeTimePlot.DrawVolumeTimeStep(Image3->canvas(), record_, row);
    Image3->update();
}

void TForm1::RedrawVolumeTimeCurve() {
    volumeTimePlot.RedrawVolumeTimeCurve(Image3->canvas(), record_, state_.selectedRow);
    Image3->update();
}

// The run draws into Image3, and a lung frame over Image1, while it computes and shows every
// change at once: the window's event loop does not run until the run is over. After drawing, the
// model gets the processor back in the state it computes fastest in.
RunHooks TForm1::liveDrawingHooks() {
    RunHooks hooks;
    hooks.liveFrameTick = [this] {
        volumeTimePlot.LiveFrameTick(Image3->canvas(), record_);
        Image3->repaintNow();
        DrawLungFrame(0);
        clearUpperVectorRegisters();
    };
    hooks.showRunClock = [this, separator = runClockDecimalSeparator()](double runClockTime) {
        volumeTimePlot.ShowRunClock(Image3->canvas(), runClockTime, separator);
        Image3->repaintNow();
        clearUpperVectorRegisters();
    };
    hooks.beep = [this] { interaction_.beep(); };
    return hooks;
}

} // namespace vm::ui

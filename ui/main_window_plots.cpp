// The two plots of the main window on their persistent canvases: redrawn from the record only by
// the commands that change what they show, and extended live while a run computes.

#include "ui/main_window.h"

#include "plots/flow_volume_plot.h"
#include "ui/airway_picture_view.h"
#include "ui/image_view.h"
#include "ui/interaction.h"
#include "ui/vector_registers.h"

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

// The run draws into Image3, and a lung frame over Image1, while it computes and shows every
// change at once: the window's event loop does not run until the run is over. After drawing, the
// model gets the processor back in the state it computes fastest in.
RunHooks TForm1::liveDrawingHooks() {
    RunHooks hooks;
    hooks.liveFrameTick = [this] {
        volumeTimePlot.LiveFrameTick(Image3->canvas(), session_.record());
        Image3->repaintNow();
        airway_->DrawLungFrame(0);
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

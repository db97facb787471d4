// Start-up: from launch to the first usable state. The steps run in a fixed order; a reason to
// quit found early only marks the program for termination, and the later steps still run.

#include "ui/main_window.h"

#include "data/single_instance.h"
#include "data/startup_checks.h"
#include "session/results_table.h"
#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/frame_pacer.h"
#include "ui/image_view.h"
#include "ui/interaction.h"
#include "ui/teaching_cases_view.h"
#include "ui/version_label.h"

#include <QPushButton>
#include <QScreen>
#include <QStringLiteral>
#include <QTextEdit>

using namespace vm::data;
using namespace vm::session;

namespace vm::ui {

namespace {
const QString kMakerLine = QStringLiteral("(teaching edition)");
// A screen that does not say how often it refreshes is taken to do so this often.
constexpr double kUsualRefresh_Hz = 60.0;
const QString kDamagedDataNote = QStringLiteral(
    "Pliki danych programu są uszkodzone, więc START jest niedostępny. Zainstaluj program "
    "ponownie.");
// The data files are sound; the folder the scratch copy of a picture goes to is not writable.
const QString kScratchNote = QStringLiteral(
    "Program nie może zapisać roboczej kopii obrazu, więc START jest niedostępny. Przyczyna: ");
} // namespace

void TForm1::runStartup() {
    // One copy only; a second one says so and quits before its first message.
    instanceMarker_ = instanceLockDirectory_.empty()
                          ? std::make_unique<SingleInstanceMarker>()
                          : std::make_unique<SingleInstanceMarker>(instanceLockDirectory_);
    if (!instanceMarker_->acquire()) {
        // The refused copy touches no file: the running one may be reading the same ones.
        interaction_.showMessage(QStringLiteral("This program is already running."));
        requestTermination();
        instanceMarker_.reset();
        return;
    }
    installHelpRefusal();

    const int missing = missingDataFilesNumber(session_.folder().exeDir);
    if (missing != 0) {
        interaction_.showMessage(QString::fromStdString(missingFilesMessage(missing)));
        requestTermination();
    }
    // Installed, without a folder of the user's own: nothing is written, not even the scratch
    // copies of the pictures, and the reason is told once.
    if (const std::string& problem = session_.folder().writableProblem; !problem.empty()) {
        interaction_.showMessage(QString::fromStdString(readOnlyDiskMessage() + "\n" + problem));
        requestTermination();
        return;
    }
    const record::FileResult probe = writeProbe(session_.folder().writableRoot());
    if (!probe.ok) {
        interaction_.showMessage(QString::fromStdString(probe.message));
        requestTermination();
    }

    setWindowTitle(QStringLiteral("Velta Morvane ") + versionLabel() + QStringLiteral("  ") +
                   kMakerLine);
    // Qt paints every widget through its own back buffer: the window is double-buffered as is.
    LayoutMainWindow();
    const double refresh_Hz = screen()->refreshRate();
    liveFrameInterval_ms_ = 1000.0 / (refresh_Hz >= 1.0 ? refresh_Hz : kUsualRefresh_Hz);

    if (const std::string problem =
            airway_->loadParameterTable(session_.folder().dataPath("datfiles1/F000.dat"));
        !problem.empty())
        interaction_.showMessage(QString::fromStdString(problem));

    for (int row = 0; row < static_cast<int>(rowColors.size()); ++row) {
        const std::uint32_t rgb = rowColour(row);
        rowColors[static_cast<std::size_t>(row)] = QColor::fromRgb(rgb);
    }

    const ViewChanges standard = session_.LoadStandardRecord();
    if (standard.message) {
        RefreshResultViews(standard);
        reportStartUnavailable(kDamagedDataNote);
        return;
    }
    RefreshResultViews(session_.ResetCurrentSettings());
    // The plots show the reference curve and the empty volume-time frame on canvases of their
    // controls' size as laid out.
    resizePlotCanvases();
    RefreshResultViews(standard);

    if (std::string scratchProblem;
        !airway_->loadPictures(session_.folder(), !probe.ok, scratchProblem)) {
        reportStartUnavailable(scratchProblem.empty()
                                   ? kDamagedDataNote
                                   : kScratchNote + QString::fromStdString(scratchProblem));
        return;
    }
    airway_->showFirstPicture();
    panel_->SelectSection(0);
    initialiseProgramModel();
}

void TForm1::reportStartUnavailable(const QString& note) {
    startUnavailable_ = true;
    Button2->setEnabled(false);
    RichEdit1->setPlainText(note);
}

// The model settles into the state every run begins from; this also brings every row's part
// settings to 100, whatever the standard file held.
void TForm1::initialiseProgramModel() {
    session_.InitialiseModel([this] { interaction_.beep(); });
    // Settling brought every row's part settings to 100: the notice says what is left.
    cases_->showNotice();
}

void TForm1::resizePlotCanvases() {
    for (ImageView* plot : {Image2, Image3})
        plot->resizeCanvas(plot->size());
}

} // namespace vm::ui

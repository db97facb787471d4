// The "Eksport" menu: the plots as PNG or SVG pictures and the results and curves as CSV, for
// other programs. The pictures are drawn by the plots' own functions at the size the window
// shows them, the text made by the session's export; the dialogs and messages go through the seam.

#include "ui/main_window.h"

#include "plots/plot_export.h"
#include "report/result_report.h"
#include "session/batch_csv.h"
#include "ui/dialog_paths.h"
#include "ui/image_view.h"
#include "ui/interaction.h"

using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

namespace {
const QString kPictureFilter = QStringLiteral("Obraz PNG|*.png|Obraz SVG|*.svg");
const QString kCsvFilter = QStringLiteral("Plik CSV|*.csv");
const QString kPdfFilter = QStringLiteral("Raport PDF|*.pdf");
// The window's spirogram at the size the interpretation window shows it.
constexpr QSize kSpirogramSize{600, 300};
} // namespace

void TForm1::exportChosenFile(
    const QString& filter, const QString& defaultSuffix,
    const std::function<std::string(const std::filesystem::path&)>& write) {
    const QString chosen =
        interaction_.getSaveFileName(simulationsFolderText(), filter, defaultSuffix);
    if (chosen.isEmpty())
        return;
    if (const std::string problem = write(chosenFilePath(chosen)); !problem.empty())
        interaction_.showMessage(QString::fromStdString(problem));
}

void TForm1::ExportFlowVolumePlot1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(FlowVolumePlotImage(session_.record(), session_.state().selectedRow,
                                                 Image2->canvas().size()),
                             path);
    });
}

void TForm1::ExportVolumeTimePlot1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(VolumeTimePlotImage(session_.record(), session_.state().selectedRow,
                                                 Image3->canvas().size()),
                             path);
    });
}

void TForm1::ExportResults1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, ResultsCsv(session_, true));
    });
}

void TForm1::ExportFlowVolumeCurves1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, FlowVolumeCsv(session_.record(), session_.state().resultCount));
    });
}

void TForm1::ExportVolumeTimeCurves1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, VolumeTimeCsv(session_.record(), session_.state().resultCount));
    });
}

// The selected result's spirogram beside the reference's; the reference's alone when none is.
void TForm1::ExportSpirogram1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(report::SpirogramImage(session_,
                                                    std::max(session_.state().selectedRow, 0),
                                                    kSpirogramSize),
                             path);
    });
}

void TForm1::ExportReport1Click() {
    exportChosenFile(kPdfFilter, QStringLiteral("pdf"), [this](const auto& path) {
        return report::WriteResultReport(session_, std::max(session_.state().selectedRow, 0), path);
    });
}

} // namespace vm::ui

#include "ui/export_menu.h"

#include "plots/plot_export.h"
#include "report/result_report.h"
#include "session/batch_csv.h"
#include "ui/dialog_paths.h"
#include "ui/image_view.h"
#include "ui/interaction.h"
#include "ui/widget_making.h"

#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <utility>

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

ExportMenu::ExportMenu(QMenuBar* menuBar, const Session& session, Interaction& interaction,
                       CommandRunner runCommand, const ImageView* flowVolumeView,
                       const ImageView* volumeTimeView)
    : QObject(menuBar), session_(session), interaction_(interaction),
      flowVolumeView_(flowVolumeView), volumeTimeView_(volumeTimeView) {
    Export1 = named(menuBar->addMenu(QStringLiteral("Eksport")), "Export1");
    const std::pair<QAction*, void (ExportMenu::*)()> items[] = {
        {makeAction(this, "ExportFlowVolumePlot1",
                    QStringLiteral("Wykres przepływ-objętość (PNG, SVG)")),
         &ExportMenu::ExportFlowVolumePlot1Click},
        {makeAction(this, "ExportVolumeTimePlot1",
                    QStringLiteral("Wykres objętość-czas (PNG, SVG)")),
         &ExportMenu::ExportVolumeTimePlot1Click},
        {makeAction(this, "ExportResults1", QStringLiteral("Wyniki (CSV)")),
         &ExportMenu::ExportResults1Click},
        {makeAction(this, "ExportFlowVolumeCurves1",
                    QStringLiteral("Krzywe przepływ-objętość (CSV)")),
         &ExportMenu::ExportFlowVolumeCurves1Click},
        {makeAction(this, "ExportVolumeTimeCurves1", QStringLiteral("Krzywe objętość-czas (CSV)")),
         &ExportMenu::ExportVolumeTimeCurves1Click},
        {makeAction(this, "ExportSpirogram1", QStringLiteral("Spirogram (PNG, SVG)")),
         &ExportMenu::ExportSpirogram1Click},
        {makeAction(this, "ExportReport1", QStringLiteral("Raport PDF")),
         &ExportMenu::ExportReport1Click},
    };
    for (const auto& [item, handler] : items) {
        Export1->addAction(item);
        wireMenuItems<ExportMenu>(this, runCommand, {{item, handler}});
    }
}

void ExportMenu::exportChosenFile(
    const QString& filter, const QString& defaultSuffix,
    const std::function<std::string(const std::filesystem::path&)>& write) {
    const QString chosen = interaction_.getSaveFileName(
        dialogFolderText(session_.simulationsFolder()), filter, defaultSuffix);
    if (chosen.isEmpty())
        return;
    if (const std::string problem = write(chosenFilePath(chosen)); !problem.empty())
        interaction_.showMessage(QString::fromStdString(problem));
}

void ExportMenu::ExportFlowVolumePlot1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(FlowVolumePlotImage(session_.record(), session_.state().selectedRow,
                                                 flowVolumeView_->canvas().size()),
                             path);
    });
}

void ExportMenu::ExportVolumeTimePlot1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(VolumeTimePlotImage(session_.record(), session_.state().selectedRow,
                                                 volumeTimeView_->canvas().size()),
                             path);
    });
}

void ExportMenu::ExportResults1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, ResultsCsv(session_, true));
    });
}

void ExportMenu::ExportFlowVolumeCurves1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, FlowVolumeCsv(session_.record(), session_.state().resultCount));
    });
}

void ExportMenu::ExportVolumeTimeCurves1Click() {
    exportChosenFile(kCsvFilter, QStringLiteral("csv"), [this](const auto& path) {
        return WriteTextFile(path, VolumeTimeCsv(session_.record(), session_.state().resultCount));
    });
}

// The selected result's spirogram beside the reference's; the reference's alone when none is.
void ExportMenu::ExportSpirogram1Click() {
    exportChosenFile(kPictureFilter, QStringLiteral("png"), [this](const auto& path) {
        return SavePlotImage(report::SpirogramImage(session_,
                                                    std::max(session_.state().selectedRow, 0),
                                                    kSpirogramSize),
                             path);
    });
}

void ExportMenu::ExportReport1Click() {
    exportChosenFile(kPdfFilter, QStringLiteral("pdf"), [this](const auto& path) {
        return report::WriteResultReport(session_, std::max(session_.state().selectedRow, 0), path);
    });
}

} // namespace vm::ui

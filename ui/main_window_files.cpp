// Simulation files: "Otwórz", "Zapisz" and "Zapisz jako" of the "Plik" menu. The dialogs go
// through the seam; the session reads and writes, and the window redraws what it says changed.

#include "ui/main_window.h"

#include "ui/interaction.h"

using namespace vm::session;

namespace vm::ui {

namespace {
const QString kSimulationFilter = QStringLiteral("Spirometry files|*.spi");
const QString kSimulationSuffix = QStringLiteral("spi");

std::filesystem::path chosenPath(const QString& chosen) {
    return std::filesystem::path(chosen.toStdString());
}
} // namespace

QString TForm1::simulationsFolderText() const {
    return QString::fromStdString(session_.simulationsFolder().string());
}

QString TForm1::askSaveFileName() {
    QString chosen;
    do {
        chosen = interaction_.getSaveFileName(simulationsFolderText(), kSimulationFilter,
                                              kSimulationSuffix);
    } while (!chosen.isEmpty() && isRefusedSimulationFileName(chosenPath(chosen)));
    return chosen;
}

void TForm1::Open1Click() {
    const QString chosen =
        interaction_.getOpenFileName(simulationsFolderText(), kSimulationFilter, kSimulationSuffix);
    RefreshResultViews(session_.OpenSimulationFile(chosenPath(chosen)));
}

void TForm1::Save1Click() {
    RefreshResultViews(session_.SaveSimulationFile());
}

void TForm1::Saveas1Click() {
    RefreshResultViews(session_.SaveSimulationFileAs(chosenPath(askSaveFileName())));
}

} // namespace vm::ui

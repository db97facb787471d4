// Simulation files: "Otwórz", "Zapisz" and "Zapisz jako" of the "Plik" menu. The dialogs go
// through the seam; the session reads and writes, and the window redraws what it says changed.

#include "ui/main_window.h"

#include "ui/dialog_paths.h"
#include "ui/interaction.h"

using namespace vm::session;

namespace vm::ui {

namespace {
const QString kSimulationFilter = QStringLiteral("Spirometry files|*.spi");
const QString kSimulationSuffix = QStringLiteral("spi");
} // namespace

QString TForm1::simulationsFolderText() const {
    return dialogFolderText(session_.simulationsFolder());
}

QString TForm1::askSaveFileName() {
    QString chosen;
    do {
        chosen = interaction_.getSaveFileName(simulationsFolderText(), kSimulationFilter,
                                              kSimulationSuffix);
    } while (!chosen.isEmpty() && isRefusedSimulationFileName(chosenFilePath(chosen)));
    return chosen;
}

void TForm1::Open1Click() {
    const QString chosen =
        interaction_.getOpenFileName(simulationsFolderText(), kSimulationFilter, kSimulationSuffix);
    RefreshResultViews(session_.OpenSimulationFile(chosenFilePath(chosen)));
}

void TForm1::Save1Click() {
    RefreshResultViews(session_.SaveSimulationFile());
}

void TForm1::Saveas1Click() {
    RefreshResultViews(session_.SaveSimulationFileAs(chosenFilePath(askSaveFileName())));
}

} // namespace vm::ui

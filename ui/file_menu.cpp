#include "ui/file_menu.h"

#include "ui/dialog_paths.h"
#include "ui/interaction.h"
#include "ui/widget_making.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

using namespace vm::session;

namespace vm::ui {

namespace {
const QString kSimulationFilter = QStringLiteral("Spirometry files|*.spi");
const QString kSimulationSuffix = QStringLiteral("spi");
} // namespace

FileMenu::FileMenu(QMenuBar* menuBar, Session& session, Interaction& interaction,
                   CommandRunner runCommand)
    : QObject(menuBar), session_(session), interaction_(interaction) {
    File1 = named(menuBar->addMenu(QStringLiteral("Plik")), "File1");
    Open1 = makeAction(this, "Open1", QStringLiteral("Otwórz"));
    Save1 = makeAction(this, "Save1", QStringLiteral("Zapisz"));
    Saveas1 = makeAction(this, "Saveas1", QStringLiteral("Zapisz jako"));
    File1->addActions({Open1, Save1, Saveas1});
    // The desktop's usual keys for the file commands, beside the menu's own texts.
    Open1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    Saveas1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    wireMenuItems<FileMenu>(this, runCommand,
                            {{Open1, &FileMenu::Open1Click},
                             {Save1, &FileMenu::Save1Click},
                             {Saveas1, &FileMenu::Saveas1Click}});
}

QString FileMenu::askSaveFileName() {
    QString chosen;
    do {
        chosen = interaction_.getSaveFileName(dialogFolderText(session_.simulationsFolder()),
                                              kSimulationFilter, kSimulationSuffix);
    } while (!chosen.isEmpty() && isRefusedSimulationFileName(chosenFilePath(chosen)));
    return chosen;
}

void FileMenu::Open1Click() {
    const QString chosen = interaction_.getOpenFileName(
        dialogFolderText(session_.simulationsFolder()), kSimulationFilter, kSimulationSuffix);
    emit changed(session_.OpenSimulationFile(chosenFilePath(chosen)));
}

void FileMenu::Save1Click() {
    emit changed(session_.SaveSimulationFile());
}

void FileMenu::Saveas1Click() {
    emit changed(session_.SaveSimulationFileAs(chosenFilePath(askSaveFileName())));
}

} // namespace vm::ui

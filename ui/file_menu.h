#pragma once
// "Plik": "Otwórz", "Zapisz" and "Zapisz jako" of simulation files. The dialogs go through the
// seam, they start in the session's simulations folder, and "Zapisz jako" asks again while the
// name chosen is refused; the session reads and writes, and the window redraws what it says
// changed.

#include "session/session.h"
#include "ui/command_runner.h"

#include <QObject>

class QMenu;
class QAction;
class QMenuBar;

namespace vm::ui {

class Interaction;

class FileMenu : public QObject {
    Q_OBJECT
  public:
    FileMenu(QMenuBar* menuBar, session::Session& session, Interaction& interaction,
             CommandRunner runCommand);

    // --- Handlers, named after the menu items that call them ---
    void Open1Click();
    void Save1Click();
    void Saveas1Click();

  signals:
    // A file command ran: the window shows what it changed.
    void changed(const session::ViewChanges& changes);

  private:
    friend struct WindowProbe;

    QString askSaveFileName();

    session::Session& session_;
    Interaction& interaction_;
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Saveas1 = nullptr;
};

} // namespace vm::ui

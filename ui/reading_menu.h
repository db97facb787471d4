#pragma once
// The reading of a result against the patient's reference values: "Pacjent" asks for the person,
// "Interpretacja" (in the menu bar and in the row grid's menu) shows the selected result read as
// a spirometer's report reads it, in a window that stays open and follows the selection.

#include "session/session.h"
#include "ui/command_runner.h"

#include <QObject>

class QAction;
class QMenuBar;
class QWidget;

namespace vm::ui {

class Interaction;
class InterpretationWindow;

class ReadingMenu : public QObject {
    Q_OBJECT
  public:
    // The interpretation window stands beside owner.
    ReadingMenu(QWidget* owner, QMenuBar* menuBar, session::Session& session,
                Interaction& interaction, CommandRunner runCommand);

    // --- Handlers, named after the menu items that call them ---
    void Patient1Click();
    void Interpretation1Click();

    // "Interpretacja" of the row grid's menu.
    QAction* rowMenuItem() const { return Interpretation2; }
    // The window, when open, shows the selected result.
    void followSelection();

  signals:
    // The patient changed: the window shows what that changed.
    void changed(const session::ViewChanges& changes);

  private:
    friend struct WindowProbe;

    QWidget* owner_;
    session::Session& session_;
    Interaction& interaction_;
    InterpretationWindow* interpretation_ = nullptr; // made at its first showing
    QAction* Patient1 = nullptr;
    QAction* Interpretation1 = nullptr;
    QAction* Interpretation2 = nullptr;
};

} // namespace vm::ui

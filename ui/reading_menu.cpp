#include "ui/reading_menu.h"

#include "ui/interaction.h"
#include "ui/interpretation_window.h"
#include "ui/patient_dialog.h"
#include "ui/widget_making.h"

#include <QMenuBar>

namespace vm::ui {

ReadingMenu::ReadingMenu(QWidget* owner, QMenuBar* menuBar, session::Session& session,
                         Interaction& interaction, CommandRunner runCommand)
    : QObject(owner), owner_(owner), session_(session), interaction_(interaction) {
    Patient1 = makeAction(this, "Patient1", QStringLiteral("Pacjent"));
    Interpretation1 = makeAction(this, "Interpretation1", QStringLiteral("Interpretacja"));
    Interpretation2 = makeAction(this, "Interpretation2", QStringLiteral("Interpretacja"));
    menuBar->addActions({Patient1, Interpretation1});
    wireMenuItems<ReadingMenu>(this, runCommand,
                               {{Patient1, &ReadingMenu::Patient1Click},
                                {Interpretation1, &ReadingMenu::Interpretation1Click},
                                {Interpretation2, &ReadingMenu::Interpretation1Click}});
}

void ReadingMenu::Patient1Click() {
    PatientDialog dialog(owner_, session_.patient());
    interaction_.showModalWindow(dialog);
    if (dialog.result() == QDialog::Accepted)
        emit changed(session_.SetPatient(dialog.patient()));
}

void ReadingMenu::Interpretation1Click() {
    if (interpretation_ == nullptr)
        interpretation_ = new InterpretationWindow(owner_, session_);
    interpretation_->follow(session_.state().selectedRow);
    interpretation_->show();
    interpretation_->raise();
}

void ReadingMenu::followSelection() {
    if (interpretation_ != nullptr && interpretation_->isVisible())
        interpretation_->follow(session_.state().selectedRow);
}

} // namespace vm::ui

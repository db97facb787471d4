// The reading of a result against the patient's reference values: "Pacjent" asks for the person,
// "Interpretacja" shows the selected result read as a spirometer's report reads it, in a window
// that stays open and follows the selection.

#include "ui/main_window.h"

#include "ui/interaction.h"
#include "ui/interpretation_window.h"
#include "ui/patient_dialog.h"

namespace vm::ui {

void TForm1::Patient1Click() {
    PatientDialog dialog(this, session_.patient());
    interaction_.showModalWindow(dialog);
    if (dialog.result() == QDialog::Accepted)
        RefreshResultViews(session_.SetPatient(dialog.patient()));
}

void TForm1::Interpretation1Click() {
    if (interpretation_ == nullptr)
        interpretation_ = new InterpretationWindow(this, session_);
    interpretation_->follow(session_.state().selectedRow);
    interpretation_->show();
    interpretation_->raise();
}

} // namespace vm::ui

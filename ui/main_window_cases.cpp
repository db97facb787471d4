// The teaching cases as commands: opening a case of the library with its sheet, putting every
// setting back to 100 %, and the unknown patient, run as START runs it with its settings hidden
// until the student has answered.

#include "ui/main_window.h"

#include "session/hidden_settings.h"
#include "ui/interaction.h"
#include "ui/teaching_cases_view.h"

#include <QMenuBar>

using namespace vm::session;

namespace vm::ui {

void TForm1::createCaseMenus() {
    cases_ = new TeachingCasesView(centralWidget(), menuBar(), session_, interaction_);
    connect(cases_, &TeachingCasesView::caseChosen, this,
            [this](std::size_t index) { runCommand([this, index] { OpenCaseClick(index); }); });
    wireCommand(cases_, &TeachingCasesView::unknownPatientChosen, &TForm1::UnknownPatient1Click);
    wireCommand(cases_, &TeachingCasesView::restoreChosen, &TForm1::RestoreAll1Click);
}

// The case's shipped file, not a copy the user may have saved over, then its sheet.
void TForm1::OpenCaseClick(std::size_t index) {
    const TeachingCase& chosen = cases_->library().cases.at(index);
    const ViewChanges opened = session_.OpenSimulationFile(
        session_.folder().dataPath("simulations/" + chosen.id + ".spi"));
    RefreshResultViews(opened);
    if (!opened.message)
        cases_->showCaseSheet(index);
}

void TForm1::RestoreAll1Click() {
    RefreshResultViews(RestoreAllSettings(session_));
}

// The student's own settings come back after the run, so the track bars never show the
// patient's; the row grid shows them once the answer window is closed.
void TForm1::UnknownPatient1Click() {
    if (startUnavailable_)
        return;
    const std::optional<std::uint32_t> number = cases_->askPatientNumber();
    if (!number)
        return;
    cases_->closeCaseSheet();
    UnknownPatientQuiz& quiz = cases_->quiz();
    if (const std::string problem = quiz.Draw(cases_->library(), *number); !problem.empty()) {
        interaction_.showMessage(QString::fromStdString(problem));
        return;
    }
    StartSimulation();
    const std::string problem = quiz.ReadResult();
    if (problem.empty())
        cases_->askAnswer();
    else
        interaction_.showMessage(QString::fromStdString(problem));
    RefreshResultViews(quiz.Reveal());
}

} // namespace vm::ui

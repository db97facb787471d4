#pragma once
// The teaching cases in the window: the "Przypadki" menu with every case of the library and the
// unknown patient, "Przywróć wszystkie nastawy" beside "ref.Standard", the case sheet, the quiz
// windows, and the notice of the settings no track bar shows, on the grey panel beside the row
// grid. The window turns the menu's choices into commands; this part shows what they need.

#include "session/case_library.h"
#include "session/unknown_patient.h"
#include "ui/main_window_geometry.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QWidget;

namespace vm::ui {

class CaseSheet;
class Interaction;

class TeachingCasesView : public QObject {
    Q_OBJECT
  public:
    // Reads the library beside the program; one that cannot be read leaves the menu with a single
    // entry that says why.
    TeachingCasesView(QWidget* client, QMenuBar* menuBar, session::Session& session,
                      Interaction& interaction);

    const session::CaseLibrary& library() const { return library_; }
    session::UnknownPatientQuiz& quiz() { return quiz_; }

    // The sheet of the case at index, beside the window.
    void showCaseSheet(std::size_t index);
    // The notice again from the session: empty and hidden when nothing is hidden.
    void showNotice();
    // The patient's number, asked through the seam; none when the student cancels.
    std::optional<std::uint32_t> askPatientNumber();
    // The answer window for the patient just run; closed unanswered, the question is skipped.
    void askAnswer();
    // A quiz starts without the sheet of a case beside it.
    void closeCaseSheet();
    // Says why the library is missing, when it is.
    void reportLibraryProblem();

    void place(const MainWindowGeometry& g);

    // Proposes the next patient's number; tests put in their own.
    std::function<std::uint32_t()> proposeNumber;

  signals:
    void caseChosen(std::size_t index);
    void unknownPatientChosen();
    void restoreChosen();

  private:
    friend struct WindowProbe;

    session::Session& session_;
    Interaction& interaction_;
    QWidget* owner_;
    session::CaseLibrary library_;
    std::string libraryProblem_;
    session::UnknownPatientQuiz quiz_;
    CaseSheet* sheet_ = nullptr;

    QMenu* Cases1 = nullptr;            // "Przypadki"
    QAction* UnknownPatient1 = nullptr; // "Nieznany pacjent"
    QAction* RestoreAll1 = nullptr;     // "Przywróć wszystkie nastawy"
    QLabel* HiddenSettingsNote = nullptr;
};

} // namespace vm::ui

#pragma once
// The two modal windows of the unknown patient: the patient's number first (the same number draws
// the same patient, so a class can share one), then, with the patient's result on the window
// behind, its FEV1, FVC and FEV1/FVC against the patient's reference values (what the question
// needs, without the reading), the student's pattern and severity and the program's answer.

#include "session/unknown_patient.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTextBrowser;

namespace vm::ui {

// The numbers a student types; the runner takes any 32-bit seed.
inline constexpr int kLargestPatientNumber = 999999;

class UnknownPatientNumberDialog : public QDialog {
    Q_OBJECT
  public:
    UnknownPatientNumberDialog(QWidget* owner, int proposedNumber);
    QSpinBox* number() const { return number_; }

  private:
    QSpinBox* number_ = nullptr;
};

class UnknownPatientDialog : public QDialog {
    Q_OBJECT
  public:
    // answer checks the choice, counts it and says what was right.
    using Answer = std::function<QString(session::CasePattern, session::Severity)>;
    UnknownPatientDialog(QWidget* owner, const QString& patient,
                         const session::ResultReading& values, Answer answer);

    // "Sprawdź": the choice is final and the answer shown.
    void CheckAnswerClick();
    // Whether "Sprawdź" gave an answer; closed without one, the question counts as skipped.
    bool answered() const { return answered_; }

    QRadioButton* patternButton(session::CasePattern pattern) const;
    QRadioButton* severityButton(session::Severity severity) const;
    QPushButton* checkButton() const { return check_; }
    QTextBrowser* answerText() const { return answerText_; }
    QTableWidget* valuesTable() const { return values_; }

  private:
    Answer answer_;
    bool answered_ = false;
    QTableWidget* values_ = nullptr;
    QButtonGroup* patterns_ = nullptr;
    QButtonGroup* severities_ = nullptr;
    QPushButton* check_ = nullptr;
    QTextBrowser* answerText_ = nullptr;
};

} // namespace vm::ui

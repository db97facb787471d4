#pragma once
// The two modal windows of the unknown patient: the patient's number first (the same number draws
// the same patient, so a class can share one), then, with the patient's result on the window
// behind, the student's pattern and severity and the program's answer.

#include "session/unknown_patient.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QButtonGroup;
class QPushButton;
class QRadioButton;
class QSpinBox;
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
    UnknownPatientDialog(QWidget* owner, const QString& patient, Answer answer);

    // "Sprawdź": the choice is final and the answer shown.
    void CheckAnswerClick();

    QRadioButton* patternButton(session::CasePattern pattern) const;
    QRadioButton* severityButton(session::Severity severity) const;
    QPushButton* checkButton() const { return check_; }
    QTextBrowser* answerText() const { return answerText_; }

  private:
    Answer answer_;
    QButtonGroup* patterns_ = nullptr;
    QButtonGroup* severities_ = nullptr;
    QPushButton* check_ = nullptr;
    QTextBrowser* answerText_ = nullptr;
};

} // namespace vm::ui

#pragma once
// The sheet of an opened teaching case: the patient and the story, what each row stands for, the
// rows to compare, the settings no track bar shows and the questions; the answers with the
// explanation come when asked for. It stays open beside the window, so that the student can work
// with the plots and the tables while reading.

#include "session/case_library.h"

#include <QDialog>

class QPushButton;
class QTextBrowser;

namespace vm::ui {

class CaseSheet : public QDialog {
    Q_OBJECT
  public:
    explicit CaseSheet(QWidget* owner);

    // Shows the case's story and questions, the answers hidden.
    void showCase(const session::TeachingCase& teachingCase);
    // "Pokaż odpowiedzi"
    void ShowAnswersClick();

    QTextBrowser* text() const { return text_; }
    QPushButton* answersButton() const { return answersButton_; }

  private:
    QString questionsHtml() const;

    const session::TeachingCase* case_ = nullptr;
    QTextBrowser* text_ = nullptr;
    QPushButton* answersButton_ = nullptr;
};

} // namespace vm::ui

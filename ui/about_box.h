#pragma once
// The about window: the program's name, version and authors. One instance, made at start-up after
// the main window and reused; Shift + right click on its panel shows a credit line until the
// window is hidden.

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace vm::ui {

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Scales the window to the screen and fills the version and authors' lines; runs once.
    void FormCreate();
    // The credit gesture.
    void Panel1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    // The next opening shows the normal texts again.
    void FormHide();

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* AuthorsLabel = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKButton = nullptr;
    QWidget* PaintBox1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
};

} // namespace vm::ui

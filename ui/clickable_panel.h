#pragma once
// A raised panel that reports a click: the track-bar groups select themselves when the user
// clicks anywhere on them, also on a disabled track bar inside.

#include <QFrame>

namespace vm::ui {

class ClickablePanel : public QFrame {
    Q_OBJECT
  public:
    explicit ClickablePanel(QWidget* parent = nullptr) : QFrame(parent) {}

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

} // namespace vm::ui

#pragma once
// The two ways help is asked for: a right click on a control, which opens the control's help
// file, and the window system's own help (F1, "What's This?"), which the program declines.

#include <QObject>

#include <functional>

namespace vm::ui {

// Reports a right-button press on every widget it watches, with the widget, and swallows it;
// every other event goes on as usual.
class RightClickWatcher : public QObject {
    Q_OBJECT
  public:
    RightClickWatcher(QObject* parent, std::function<void(QObject* sender)> rightPressed);
    void watch(QObject* widget) { widget->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(QObject*)> rightPressed_;
};

// Installed on the application, declines every help request of the window system: the F1 and
// Help keys, "What's This?" mode and its queries, and context help.
class HelpRequestRefusal : public QObject {
    Q_OBJECT
  public:
    explicit HelpRequestRefusal(QObject* parent) : QObject(parent) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vm::ui

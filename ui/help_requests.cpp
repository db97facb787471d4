#include "ui/help_requests.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <utility>

namespace vm::ui {

RightClickWatcher::RightClickWatcher(QObject* parent, std::function<void(QObject*)> rightPressed)
    : QObject(parent), rightPressed_(std::move(rightPressed)) {}

bool RightClickWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        rightPressed_(watched);
        return true;
    }
    return false;
}

bool HelpRequestRefusal::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::WhatsThis:
    case QEvent::QueryWhatsThis:
    case QEvent::EnterWhatsThisMode:
    case QEvent::WhatsThisClicked:
        // A query answered "not accepted" keeps the "What's This?" cursor from appearing.
        event->ignore();
        return true;
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        return key == Qt::Key_F1 || key == Qt::Key_Help;
    }
    default:
        return false;
    }
}

} // namespace vm::ui

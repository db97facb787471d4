#include "ui/clickable_panel.h"

#include <QMouseEvent>

namespace vm::ui {

// A click is a left press and release on the panel, as with a button.
void ClickablePanel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickablePanel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click)
        emit clicked();
}

} // namespace vm::ui

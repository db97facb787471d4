#include "ui/widget_making.h"

#include <QPalette>

namespace vm::ui {

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QFrame* makePanel(QFrame* panel, const char* name, const QColor& colour) {
    named(panel, name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    paintBackground(panel, colour);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    label->adjustSize();
    return label;
}

QLabel* makeHeading(QWidget* parent, const char* name, const QString& text) {
    QLabel* label = makeLabel(parent, name, text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    return named(new QPushButton(text, parent), name);
}

QAction* makeAction(QObject* parent, const char* name, const QString& text) {
    return named(new QAction(text, parent), name);
}

} // namespace vm::ui

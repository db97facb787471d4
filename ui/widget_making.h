#pragma once
// How the window's controls are made: each with its name from the window description, the
// panels raised on their colour, the labels sized to their text.

#include <QAction>
#include <QColor>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QString>

namespace vm::ui {

inline const QColor kSilver(192, 192, 192);
inline const QColor kGrey(128, 128, 128);
inline const QColor kLime(0, 255, 0);

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void paintBackground(QWidget* widget, const QColor& colour);

QFrame* makePanel(QFrame* panel, const char* name, const QColor& colour);

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text);

QLabel* makeHeading(QWidget* parent, const char* name, const QString& text);

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text);

QAction* makeAction(QObject* parent, const char* name, const QString& text);

} // namespace vm::ui

#pragma once
// The version label of the main window's caption and of the about window.

#include <QString>

namespace vm::ui {

inline QString versionLabel() {
    return QStringLiteral("1.0");
}

} // namespace vm::ui

#pragma once

#include <QAction>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <utility>

namespace vm::ui {

// Runs one command of a part of the window; a range error inside it stops the command with its
// message (TForm1::runCommand).
using CommandRunner = std::function<bool(const std::function<void()>&)>;

// Each menu item runs its handler of part as one command.
template <class Part>
void wireMenuItems(Part* part, const CommandRunner& run,
                   std::initializer_list<std::pair<QAction*, void (Part::*)()>> items) {
    for (const auto& [item, handler] : items)
        QObject::connect(item, &QAction::triggered, part, [part, run, handler = handler] {
            run([part, handler] { (part->*handler)(); });
        });
}

} // namespace vm::ui

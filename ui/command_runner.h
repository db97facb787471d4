#pragma once

#include <functional>

namespace vm::ui {

// Runs one command of a part of the window; a range error inside it stops the command with its
// message (TForm1::runCommand).
using CommandRunner = std::function<bool(const std::function<void()>&)>;

} // namespace vm::ui

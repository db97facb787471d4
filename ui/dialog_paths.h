#pragma once
// File dialogs take and give paths as text, which holds only names that are valid UTF-8, while a
// folder's name is whatever bytes it was given. A folder whose name the text cannot hold is shown
// to a dialog through the link the system keeps to an open descriptor of it (/proc/self/fd/N),
// and a path chosen below that link is turned back into the folder's own bytes.

#include <QString>

#include <filesystem>

namespace vm::ui {

// The text a file dialog starts in for folder: its name, or the link to it.
QString dialogFolderText(const std::filesystem::path& folder);

// The path a dialog's answer names; empty for a cancelled dialog.
std::filesystem::path chosenFilePath(const QString& chosen);

} // namespace vm::ui

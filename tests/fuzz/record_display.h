#pragma once
// A simulation file opened and shown as the window shows it, without the window: the row grid,
// the track bars' positions, the results table of every row, both plots and the first frames
// of a replay of the selected result. Shared by the record fuzzer and its hostile corpus.

#include <QSize>

#include <filesystem>
#include <optional>
#include <string>

namespace vm::fuzz {

// Opens the file through the session's command and draws what it changed on canvases of the
// given size; with everyResult, then also each other result as a click on its grid line would.
// The file layer's message when the file is refused; nothing when it was shown.
std::optional<std::string> openAndShow(const std::filesystem::path& file, QSize canvasSize,
                                       bool everyResult = true);

} // namespace vm::fuzz

#pragma once
// A simulation file opened and shown as the window shows it, without the window: the row grid,
// the track bars' positions, the results table of every row, both plots and the first frames
// of a replay of the selected result. Shared by the record fuzzer and its hostile corpus.

#include <QSize>

#include <filesystem>
#include <optional>
#include <string>

namespace vm::fuzz {

// What is shown of an opened file beyond the tables: which other results (bit 0 row 2, bit 1
// row 3) are then shown as a click on their grid lines would; whether the plots are drawn at all,
// and then after each of these steps, as the window does, or once after the last with what the
// steps asked for; and whether each drawing goes on to the first frames of the shown result's
// replay (another flow-volume plot).
struct ShowMore {
    unsigned otherResults = 3;
    bool draw = true; // else only the tables
    bool drawEveryStep = true;
    bool replay = true;
};

// Opens the file through the session's command and draws what it changed on canvases of the
// given size, then shows what `more` asks for. The file layer's message when the file is
// refused; nothing when it was shown.
std::optional<std::string> openAndShow(const std::filesystem::path& file, QSize canvasSize,
                                       ShowMore more = {});

} // namespace vm::fuzz

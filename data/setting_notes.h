#pragma once
// The setting notes of pdp.txt: short texts looked up by number and shown in the note box.
//
// An entry is a header line "#<key>", its text lines (joined with nothing between them) and a
// closing "*" line. Every line that begins with "#" is read as a header, also inside another
// entry, where any key but the one looked up leaves the line as text; the last entry of a key
// counts. The marker "+++" divides the text into a part above a separator and a part below it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vm::data {

struct SettingNote {
    std::string first;  // above the separator (UTF-8); the whole text without "+++"
    std::string second; // below it, without the entry's last character; empty without "+++"
};

struct SettingNoteResult {
    std::optional<SettingNote> note; // a key that is not in the file gives two empty parts
    std::string error;               // set when there is no note to show
};

// Looks the key up in the notes' text, already decoded.
SettingNoteResult findSettingNote(std::string_view text, int key);

// Reads the notes file (UTF-8 when valid, else Windows-1250) and looks the key up.
SettingNoteResult readSettingNote(const std::filesystem::path& file, int key);

} // namespace vm::data

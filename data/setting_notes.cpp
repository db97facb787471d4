#include "data/setting_notes.h"

#include "data/text_encoding.h"
#include "record/file_layer.h"

#include <charconv>
#include <cstdint>
#include <vector>

namespace vm::data {

namespace {

// The notes are a few kilobytes; anything far larger is not a notes file.
constexpr std::uintmax_t kMaxNotesFileBytes = 16u * 1024u * 1024u;

// A header's key as the notes were always read: optional blanks, an optional sign and decimal
// digits filling the rest of the line, within the range of an int.
std::optional<int> parseKey(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}
} // namespace

SettingNoteResult findSettingNote(std::string_view text, int key) {
    std::string collected;
    bool collecting = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line == "*")
            collecting = false;
        if (!line.empty() && line.front() == '#') {
            const std::optional<int> header = parseKey(line.substr(1));
            if (!header)
                return {std::nullopt,
                        "'" + std::string(line.substr(1)) + "' is not a valid integer value"};
            if (*header == key) {
                collected.clear();
                line = {};
                collecting = true;
            }
        }
        if (collecting)
            collected += line;
    }

    SettingNote note;
    const std::size_t marker = collected.find("+++");
    if (marker == std::string::npos) {
        note.first = collected;
    } else {
        note.first = collected.substr(0, marker);
        const std::size_t after = marker + 3;
        // The part below ends one character before the text does; a character may be several
        // bytes of UTF-8.
        if (collected.size() > after) {
            std::size_t last = collected.size() - 1;
            while (last > after && (static_cast<unsigned char>(collected[last]) & 0xC0) == 0x80)
                --last;
            note.second = collected.substr(after, last - after);
        }
    }
    return {std::move(note), {}};
}

SettingNoteResult readSettingNote(const std::filesystem::path& file, int key) {
    std::vector<std::uint8_t> bytes;
    if (const record::FileResult read = record::readDataFile(file, bytes, kMaxNotesFileBytes);
        !read.ok)
        return {std::nullopt, read.message};
    return findSettingNote(
        decodeTextFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())),
        key);
}

} // namespace vm::data

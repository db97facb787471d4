#include "data/setting_notes.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <utility>

using namespace vm::data;

namespace {
struct NoteCase {
    const char* name;
    const char* text;
    int key;
    const char* first;
    const char* second;
};

const NoteCase kNoteCases[] = {
    {"split", "#2\nabc\n+++\ndef\n*\n", 2, "abc", "de"},
    {"no marker", "#2\nabc\ndef\n*\n", 2, "abcdef", ""},
    {"marker first", "#2\n+++xyz\n*\n", 2, "", "xy"},
    {"marker last", "#2\nabc+++\n*\n", 2, "abc", ""},
    {"last entry wins", "#2\nfirst\n*\n#2\nsecond\n*\n", 2, "second", ""},
    {"other header is text", "#2\nab\n#7\ncd\n*\n", 2, "ab#7cd", ""},
    {"own header restarts", "#2\nab\n#2\ncd\n*\n", 2, "cd", ""},
    {"missing key", "#1\nabc\n*\n", 5, "", ""},
    {"CRLF and blank line", "#3\r\nab\r\n\r\ncd \r\n*\r\n", 3, "abcd ", ""},
    {"Polish last character", "#4\n\xC5\x82+++\xC3\xB3\xC5\x82\n*\n", 4, "\xC5\x82", "\xC3\xB3"},
};
} // namespace

TEST(SettingNotes, SplitsAndPicksEntries) {
    for (const NoteCase& c : kNoteCases) {
        SCOPED_TRACE(c.name);
        const SettingNoteResult result = findSettingNote(c.text, c.key);
        ASSERT_TRUE(result.note.has_value()) << result.error;
        EXPECT_EQ(result.note->first, c.first);
        EXPECT_EQ(result.note->second, c.second);
    }
}

TEST(SettingNotes, ABadHeaderAnywhereStopsEveryNote) {
    const std::pair<const char*, const char*> cases[] = {
        {"#1\nabc\n*\n#x1\nq\n*\n", "'x1' is not a valid integer value"},
        {"#1\nabc\n#\n*\n", "'' is not a valid integer value"},
        {"#99999999999\n*\n", "'99999999999' is not a valid integer value"},
    };
    for (const auto& [text, message] : cases) {
        const SettingNoteResult result = findSettingNote(text, 1);
        EXPECT_FALSE(result.note.has_value());
        EXPECT_EQ(result.error, message);
    }
}

TEST(SettingNotes, ReadsTheFileInItsCodePage) {
    TempFolder folder;
    EXPECT_EQ(readSettingNote(folder / "pdp.txt", 1).error,
              "File not found: " + (folder / "pdp.txt").string() + " (No such file or directory)");
    EXPECT_EQ(readSettingNote("/dev/zero", 1).error,
              "File access denied: /dev/zero (not a regular file)");
    writeFileBytes(folder / "pdp.txt", "#1\n\xB3\xF3\x9C\n*\n");
    const SettingNoteResult result = readSettingNote(folder / "pdp.txt", 1);
    ASSERT_TRUE(result.note.has_value());
    EXPECT_EQ(result.note->first, "\xC5\x82\xC3\xB3\xC5\x9B"); // łóś from Windows-1250
}

// Hostile files for the data loaders, made by the tests themselves: each is refused with a
// message or read and used, and none crashes, hangs or takes more than the memory ceiling.

#include "data/hotspots.h"
#include "data/jpeg_encoder.h"
#include "data/jpeg_picture.h"
#include "data/parameter_table.h"
#include "data/rtf_document.h"
#include "data/setting_notes.h"
#include "peak_memory.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

using namespace vm::data;
using vm::fuzz::kMemoryCeilingMb;
using vm::fuzz::peakResidentMb;

namespace {

std::string repeat(std::string_view piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string randomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(generator() & 0xFF);
    return out;
}

// A hostile file and, where the outcome is fixed, what it must give.
struct HostileFile {
    const char* name;
    std::string bytes;
    const char* expected = nullptr; // a cell, a note or a message that must appear
};

} // namespace

TEST(HostileFiles, ParameterTableReadsEveryFileItCanOpen) {
    const HostileFile cases[] = {
        {"empty", ""},
        {"missing fields", "label;x;y;code\na\n;;\nb;50\n", "50"},
        {"not numbers", "label;x;y;code\nq;fifty;1e99;-0x1\n", "fifty"},
        {"one huge line", repeat("x", kMaxParameterTableBytes)},
        {"one line of many fields", repeat("1;", 20000)},
        {"many short lines", repeat("r;50;50;2\n", kMaxParameterTableBytes / 10)},
        {"many one-character lines", repeat("1\n", kMaxParameterTableBytes / 2)},
        {"CR alone", "label;x;y;code\rlung;50;40;1\r", "code\rlung"},
        {"CRLF", "label;x;y;code\r\nlung;50;40;1\r\n", "lung"},
        {"Windows-1250 and NUL", std::string("\xB9\xE6;\0;50;1\n", 10), "\xC4\x85\xC4\x87"},
        {"random", randomBytes(1u << 16, 1)},
    };
    TempFolder folder;
    for (const HostileFile& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder / "F000.dat", c.bytes);
        TextGrid grid(kParameterTableColumns, kParameterTableRows);
        ASSERT_TRUE(ReadParameterTable(folder / "F000.dat", grid).ok);
        bool found = c.expected == nullptr;
        for (int row = 0; row < std::min(grid.rowCount(), 4) && !found; ++row)
            for (int column = 0; column < grid.columnCount() && !found; ++column)
                found = grid.cell(column, row).find(c.expected) != std::string::npos;
        EXPECT_TRUE(found);
        const int hovered = hoveredRegion(grid, 160, 120, 321, 241);
        EXPECT_TRUE(hovered == kNoRegion || (hovered >= 1 && hovered < grid.rowCount()));
        (void)hotspotOf(regionCode(grid, hovered));
        (void)leftClickSection(grid, hovered);
        EXPECT_LT(peakResidentMb(), kMemoryCeilingMb);
    }
}

TEST(HostileFiles, SettingNotesGiveANoteOrAMessage) {
    const HostileFile cases[] = {
        {"empty", ""},
        {"without star", "#1\nnever closed", "never closed"},
        {"bad key", "#one\ntext\n*\n", "'one' is not a valid integer value"},
        {"key too large", "#99999999999999999999\nx\n*\n", "is not a valid integer value"},
        {"Windows-1250",
         "#1\n\xA3\xF3"
         "d\x9F\n*\n",
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA"},
        {"UTF-8 with mark",
         "\xEF\xBB\xBF#1\n\xC5\x81\xC3\xB3"
         "d\xC5\xBA\n*\n",
         "\xC5\x81\xC3\xB3"},
        {"CR alone", "#1\rone\r*\r"},
        {"huge line", "#1\n" + repeat("a", 4u << 20) + "\n*\n"},
        {"many entries", repeat("#1\nx+++y\n*\n", 100000), "x"},
        {"random", randomBytes(1u << 16, 2)},
    };
    TempFolder folder;
    for (const HostileFile& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder / "pdp.txt", c.bytes);
        const SettingNoteResult result = readSettingNote(folder / "pdp.txt", 1);
        EXPECT_NE(result.note.has_value(), !result.error.empty());
        if (c.expected != nullptr) {
            const std::string shown = result.note ? result.note->first : result.error;
            EXPECT_NE(shown.find(c.expected), std::string::npos) << shown;
        }
        EXPECT_LT(peakResidentMb(), kMemoryCeilingMb);
    }
}

TEST(HostileFiles, RtfGivesADocumentOrAnError) {
    const HostileFile cases[] = {
        {"empty", "", "Not an RTF file"},
        {"unterminated", "{\\rtf1 {\\b text", "Unterminated group"},
        {"deeply nested", "{\\rtf1" + repeat("{", 100000) + "x" + repeat("}", 100000) + "}",
         "nested deeper"},
        {"unknown words", "{\\rtf1 " + repeat("\\zork123 \\q-77x ", 100000) + "}"},
        {"huge numbers", "{\\rtf1\\fs99999999999999 \\u99999999999?\\uc2147483647 a\\bin9999999}"},
        {"bad escape", "{\\rtf1 \\'zz}", "Bad \\' escape"},
        {"too large", "{\\rtf1 " + repeat("a", kMaxRtfBytes) + "}", "larger than"},
        {"random", randomBytes(1u << 16, 3)},
    };
    for (const HostileFile& c : cases) {
        SCOPED_TRACE(c.name);
        const RtfReadResult result = readRtf(c.bytes);
        EXPECT_NE(result.document.has_value(), !result.error.empty());
        if (c.expected != nullptr) {
            EXPECT_NE(result.error.find(c.expected), std::string::npos) << result.error;
        }
        EXPECT_LT(peakResidentMb(), kMemoryCeilingMb);
    }
}

namespace {
// A small picture as the program stores it, its size in the frame header changed when asked.
std::string storedPicture(std::optional<std::pair<int, int>> claimedSize = std::nullopt) {
    DecodedPicture picture{24, 16, std::vector<std::uint8_t>(24 * 16 * 3, 0x80)};
    std::vector<std::uint8_t> jpeg = encodeJpeg(picture, 75).bytes;
    if (claimedSize) {
        const std::uint8_t startOfFrame[] = {0xFF, 0xC0};
        const auto frame =
            std::search(jpeg.begin(), jpeg.end(), std::begin(startOfFrame), std::end(startOfFrame));
        frame[5] = static_cast<std::uint8_t>(claimedSize->second >> 8);
        frame[6] = static_cast<std::uint8_t>(claimedSize->second);
        frame[7] = static_cast<std::uint8_t>(claimedSize->first >> 8);
        frame[8] = static_cast<std::uint8_t>(claimedSize->first);
    }
    std::reverse(jpeg.begin(), jpeg.begin() + kReversedBytes);
    return std::string(jpeg.begin(), jpeg.end());
}
} // namespace

TEST(HostileFiles, PicturesDecodeOrGiveAMessage) {
    const std::string good = storedPicture();
    const HostileFile cases[] = {
        {"as stored", good},
        {"empty", "", "Read beyond end of file"},
        {"shorter than the reversed head", good.substr(0, 99), "Read beyond end of file"},
        {"truncated in the head", good.substr(0, 150)},
        {"truncated in the data", good.substr(0, good.size() - 40)},
        {"not JPEG", repeat("not a picture ", 20)},
        {"head not reversed",
         std::string(good.rbegin() + (good.size() - 100), good.rend()) + good.substr(100)},
        {"huge dimensions", storedPicture(std::pair{65500, 65500}), "Picture too large"},
        {"large dimensions, little data", storedPicture(std::pair{4000, 3000})},
        {"random", randomBytes(1u << 16, 4)},
    };
    TempFolder folder;
    for (const HostileFile& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder / "F001.dat", c.bytes);
        const PictureResult result = decodeReversedPicture(folder / "F001.dat", folder / "t.jpg");
        EXPECT_NE(result.ok, !result.message.empty());
        if (result.ok) {
            EXPECT_EQ(result.picture.rgb.size(), 3u * result.picture.width * result.picture.height);
        }
        if (c.expected != nullptr) {
            EXPECT_NE(result.message.find(c.expected), std::string::npos) << result.message;
        }
        EXPECT_LT(peakResidentMb(), kMemoryCeilingMb);
    }
}

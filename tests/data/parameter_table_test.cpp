#include "data/parameter_table.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>
#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace vm::record;
using namespace vm::data;

namespace {

TextGrid freshTable() {
    return TextGrid(kParameterTableColumns, kParameterTableRows);
}

std::string lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += 'p';
        text += std::to_string(i);
        text += ";1;2;3\n";
    }
    return text;
}

TEST(ParameterTable, FourthLineFillsRowThreeAndLeavesColumnFour) {
    TempFolder dir;
    writeFileBytes(dir / "F000.dat", "label;x;y;code\na;1;1;1\nb;2;2;2\n3;45;60;2\n");
    TextGrid grid = freshTable();
    grid.setCell(4, 3, "earlier");
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    EXPECT_EQ(grid.cell(0, 3), "3");
    EXPECT_EQ(grid.cell(1, 3), "45");
    EXPECT_EQ(grid.cell(2, 3), "60");
    EXPECT_EQ(grid.cell(3, 3), "2");
    EXPECT_EQ(grid.cell(4, 3), "earlier");
    EXPECT_EQ(grid.columnCount(), 5);
}

// How one line splits into cells; "·" marks a cell that must keep its earlier text.
struct SplitCase {
    const char* line;
    std::vector<std::string> cells;
    int columnCount;
};

class LineSplitting : public testing::TestWithParam<SplitCase> {};

TEST_P(LineSplitting, GivesTheseCells) {
    const SplitCase& c = GetParam();
    TempFolder dir;
    writeFileBytes(dir / "F000.dat", std::string("header\n") + c.line + "\n");
    TextGrid grid = freshTable();
    for (int column = 0; column < kParameterTableColumns; ++column)
        grid.setCell(column, 1, "·");
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    ASSERT_EQ(grid.columnCount(), c.columnCount);
    for (int column = 0; column < grid.columnCount(); ++column) {
        const std::string expected = column < static_cast<int>(c.cells.size()) ? c.cells[column]
                                     : column < kParameterTableColumns         ? "·"
                                                                               : "";
        EXPECT_EQ(grid.cell(column, 1), expected) << "column " << column;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineSplitting,
    testing::Values(
        // Three semicolons give two empty cells; the final ";" adds no fifth cell.
        SplitCase{"7;;;4;", {"7", "", "", "4"}, 5},
        SplitCase{"a;b;c;d;e;f", {"a", "b", "c", "d", "e", "f"}, 6}, SplitCase{"", {}, 5},
        SplitCase{";", {""}, 5}, SplitCase{";5", {"", "5"}, 5}, SplitCase{"single", {"single"}, 5},
        // No spaces are trimmed and nothing is unquoted.
        SplitCase{" x ;\"y\"", {" x ", "\"y\""}, 5},
        SplitCase{"1;2;3;4;5;6;7;", {"1", "2", "3", "4", "5", "6", "7"}, 7}));

TEST(ParameterTable, RowCountOnlyGrows) {
    const struct {
        int lines;
        int rows;
    } cases[] = {{50, 50}, {10, 40}, {40, 40}, {41, 41}};
    for (const auto& c : cases) {
        TempFolder dir;
        writeFileBytes(dir / "F000.dat", lines(c.lines));
        TextGrid grid = freshTable();
        ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
        EXPECT_EQ(grid.rowCount(), c.rows) << c.lines << " lines";
        for (int row = c.lines; row < grid.rowCount(); ++row)
            EXPECT_EQ(grid.cell(0, row), "") << "row " << row;
    }
}

TEST(ParameterTable, ShorterFileDoesNotShrinkAGrownGrid) {
    TempFolder dir;
    TextGrid grid = freshTable();
    writeFileBytes(dir / "wide.dat", "a;b;c;d;e;f;g\n" + lines(60));
    ASSERT_TRUE(ReadParameterTable(dir / "wide.dat", grid).ok);
    writeFileBytes(dir / "narrow.dat", "x\n");
    ASSERT_TRUE(ReadParameterTable(dir / "narrow.dat", grid).ok);
    EXPECT_EQ(grid.columnCount(), 7);
    EXPECT_EQ(grid.rowCount(), 61);
    EXPECT_EQ(grid.cell(0, 0), "x");
    EXPECT_EQ(grid.cell(1, 0), "b"); // right of the new line's last field: kept
}

TEST(ParameterTable, EmptyLineCountsAsARowButWritesNoCell) {
    TempFolder dir;
    writeFileBytes(dir / "F000.dat", "h\n\n");
    TextGrid grid(5, 1);
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.cell(0, 1), "");
}

TEST(ParameterTable, LineEndsOfBothKindsAndAMissingLastOne) {
    for (const char* text : {"h\r\n1;2;3\r\n4;5;6", "h\n1;2;3\n4;5;6\n", "h\r\n1;2;3\n4;5;6\r\n"}) {
        TempFolder dir;
        writeFileBytes(dir / "F000.dat", text);
        TextGrid grid(5, 1);
        ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
        EXPECT_EQ(grid.rowCount(), 3) << text;
        EXPECT_EQ(grid.cell(2, 1), "3") << text;
        EXPECT_EQ(grid.cell(0, 2), "4") << text;
        EXPECT_EQ(grid.cell(2, 2), "6") << text;
    }
}

TEST(ParameterTable, CentralEuropeanCodePageBecomesUtf8) {
    TempFolder dir;
    // "Miąższ płuca" and "pośrednie" in Windows-1250.
    writeFileBytes(dir / "F000.dat", "Mi\xB9\xBFsz p\xB3uca;po\x9C"
                                     "rednie;\x80\n");
    TextGrid grid = freshTable();
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    EXPECT_EQ(grid.cell(0, 0), "Mi\u0105\u017Csz p\u0142uca");
    EXPECT_EQ(grid.cell(1, 0), "po\u015Brednie");
    EXPECT_EQ(grid.cell(2, 0), "\u20AC");
}

TEST(ParameterTable, MissingFileNamesThePathAndLeavesTheGrid) {
    TempFolder dir;
    TextGrid grid = freshTable();
    grid.setCell(1, 1, "kept");
    const auto path = dir / "datfiles1" / "F000.dat";
    const FileResult result = ReadParameterTable(path, grid);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "File not found:" + path.string());
    EXPECT_EQ(grid.cell(1, 1), "kept");
    EXPECT_EQ(grid.rowCount(), kParameterTableRows);
}

// A file of the limit's size is read whole; one byte more is refused before a line is stored.
TEST(ParameterTable, FileLargerThanTheLimitIsRefusedAndLeavesTheGrid) {
    TempFolder dir;
    for (const std::size_t size : {kMaxParameterTableBytes, kMaxParameterTableBytes + 1}) {
        writeFileBytes(dir / "F000.dat", "a;1;1;1\n" + std::string(size - 8, ';'));
        TextGrid grid = freshTable();
        const FileResult result = ReadParameterTable(dir / "F000.dat", grid);
        EXPECT_EQ(result.ok, size == kMaxParameterTableBytes);
        EXPECT_EQ(grid.cell(0, 0), result.ok ? "a" : "");
        EXPECT_EQ(result.message,
                  result.ok ? "" : "File too large: " + (dir / "F000.dat").string());
    }
}

TEST(ParameterTable, OtherReadErrorGivesTheFileLayersMessage) {
    TempFolder dir;
    TextGrid grid = freshTable();
    const FileResult result = ReadParameterTable(dir.path(), grid); // a folder, not a file
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.rfind("File not found", 0), 0u) << result.message;
    EXPECT_NE(result.message.find(dir.path().string()), std::string::npos) << result.message;
}

std::size_t heapBytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

// One long line and many empty ones grow the counts to rows x widest row; the memory the grid
// takes must follow the file's size instead.
TEST(ParameterTable, MemoryFollowsTheFileNotRowsTimesColumns) {
    TempFolder dir;
    const std::string text =
        "h\n1" + std::string(4000, ';') + "2\n" + std::string(2000, '\n') + "last;1\n";
    writeFileBytes(dir / "F000.dat", text);
    const std::size_t before = heapBytesInUse();
    TextGrid grid = freshTable();
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    EXPECT_LT(heapBytesInUse() - before, 64 * text.size());
    EXPECT_EQ(grid.rowCount(), 2003);
    EXPECT_EQ(grid.columnCount(), 4001);
    EXPECT_EQ(grid.cell(4000, 1), "2");
    EXPECT_EQ(grid.cell(3999, 1), "");
    EXPECT_EQ(grid.cell(4000, 2002), "");
    EXPECT_EQ(grid.cell(1, 2002), "1");
}

TEST(ParameterTable, WhatIsNotARegularFileIsRefusedAtOnce) {
    TempFolder dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const std::filesystem::path& path : {std::filesystem::path("/dev/zero"), dir / "fifo"}) {
        TextGrid grid = freshTable();
        const FileResult result = ReadParameterTable(path, grid);
        EXPECT_FALSE(result.ok) << path;
        EXPECT_EQ(result.message, "File access denied: " + path.string() + " (not a regular file)");
        EXPECT_EQ(grid.rowCount(), kParameterTableRows);
    }
}

TEST(ParameterTable, LongLinesAcrossReadChunks) {
    TempFolder dir;
    const std::string longField(200000, 'x');
    writeFileBytes(dir / "F000.dat", "h\n" + longField + ";7\nlast;1\n");
    TextGrid grid = freshTable();
    ASSERT_TRUE(ReadParameterTable(dir / "F000.dat", grid).ok);
    EXPECT_EQ(grid.cell(0, 1), longField);
    EXPECT_EQ(grid.cell(1, 1), "7");
    EXPECT_EQ(grid.cell(0, 2), "last");
}

} // namespace

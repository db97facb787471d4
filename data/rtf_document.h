#pragma once
// A small, strict reader of the RTF help texts: paragraphs of formatted runs and simple tables.
//
// Read: groups with their formatting; \par \pard \plain \line \tab; \b \i \ul (and the \ul...
// variants) with their 0 forms and \ulnone; \fsN; \cfN through \colortbl; \qc \ql \qr \qj;
// \sbN \saN \liN \riN \fiN; \ansicpg1250 and \ansicpg1252 (any other code page reads as 1252);
// \'hh; \uN with \ucN fallback skipping; the control symbols \\ \{ \} \~ \- \_ \*; a few
// character words (\bullet, \emdash, quotes); tables as word processors write them: \trowd,
// \trleftN and \cellxN define a row, \intbl marks a paragraph inside it, \cell ends a cell and
// \row the row (\nestcell and \nestrow of a table inside a cell read as a tab and a line break);
// \paperwN \marglN \margrN for the width tables are measured against.
// Skipped: fonts, styles, document info, pictures, objects, headers, footers, footnotes and every
// {\*\...} group; \binN data. Any other control word is ignored, as RTF allows.
//
// Every input gives either a document or an error naming the byte offset (from 0) of the fault,
// in one linear pass with bounded nesting and bounded numbers of paragraphs and table cells,
// whatever the bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vm::data {

enum class Alignment { Left, Centre, Right, Justify };

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

struct CharacterFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double pointSize = 12.0;   // RTF's default \fs24
    std::optional<Rgb> colour; // none: the viewer's own text colour (\cf0, an empty entry)
    bool operator==(const CharacterFormat&) const = default;
};

// The line break \line is U+2028 (LINE SEPARATOR) inside a run, \tab is U+0009. Runs hold no
// other control characters, and no CR or LF.
inline constexpr std::string_view kLineBreakUtf8 = "\u2028";

struct TextRun {
    std::string text; // UTF-8
    CharacterFormat format;
};

struct Paragraph {
    Alignment alignment = Alignment::Left;
    // In twips (1/20 point), as in force at the paragraph's end: the space above and below it,
    // its left and right indents, and its first line's indent from the left one (negative for a
    // hanging first line).
    int spaceBefore_twips = 0;
    int spaceAfter_twips = 0;
    int leftIndent_twips = 0;
    int rightIndent_twips = 0;
    int firstLineIndent_twips = 0;
    std::vector<TextRun> runs; // adjacent runs differ in format; none when the paragraph is empty
};

struct TableCell {
    std::vector<Paragraph> paragraphs; // at least one
};

struct TableRow {
    std::vector<TableCell> cells; // at least one
    // The row's definition: the right edge of each cell (\cellx) and the left edge of the first
    // (\trleft), in twips from the left margin. A writer may define more or fewer cells than it
    // fills.
    std::vector<int> cellRightEdges_twips;
    int left_twips = 0;
};

struct Table {
    std::vector<TableRow> rows; // at least one
};

// A paragraph of the text, or a table of consecutive rows.
using Block = std::variant<Paragraph, Table>;

// One paragraph per \par outside a table, and a last one for any text after the last \par; one
// table for each run of \row not parted by such a paragraph.
struct RtfDocument {
    std::vector<Block> blocks;
    // The page's width between its margins, RTF's 12240 - 1800 - 1800 unless the file says.
    int textWidth_twips = 8640;
};

// Every paragraph in reading order, a table's row by row and cell by cell.
template <class Visit> void forEachParagraph(const RtfDocument& document, Visit&& visit) {
    for (const Block& block : document.blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            visit(*paragraph);
            continue;
        }
        for (const TableRow& row : std::get<Table>(block).rows)
            for (const TableCell& cell : row.cells)
                for (const Paragraph& paragraph : cell.paragraphs)
                    visit(paragraph);
    }
}

struct RtfReadResult {
    std::optional<RtfDocument> document; // set on success
    std::string error;                   // set on failure
};

inline constexpr int kMaxRtfGroupDepth = 256;
inline constexpr std::size_t kMaxRtfBytes = 16u << 20; // help texts are a few kilobytes
// Far beyond any help text, so that no file can make the window lay out millions of blocks: the
// paragraphs, table cells included; the cells a row may define or fill, a word processor's own
// limit; and the cells of all tables, each counted as its rows times its widest row's cells.
inline constexpr std::size_t kMaxRtfParagraphs = 100'000;
inline constexpr std::size_t kMaxRtfRowCells = 63;
inline constexpr std::size_t kMaxRtfTableCells = 10'000;

RtfReadResult readRtf(std::string_view bytes);

// An RTF file of at most maxBytes: its document, or why it could not be opened (the file layer's
// message in fileError) or read (the reader's, in error).
struct RtfFileResult {
    std::optional<RtfDocument> document;
    std::string fileError;
    std::string error;
};
RtfFileResult readRtfFile(const std::filesystem::path& path, std::size_t maxBytes);

} // namespace vm::data

#include "data/rtf_document.h"

#include "data/text_encoding.h"
#include "record/file_layer.h"

#include <algorithm>
#include <span>
#include <utility>

namespace vm::data {
namespace {

enum class Destination : std::uint8_t { Text, ColourTable, Skipped };

// The paragraph formatting \pard resets; a paragraph takes what is in force at its end.
struct ParagraphState {
    Alignment alignment = Alignment::Left;
    int spaceBefore_twips = 0;
    int spaceAfter_twips = 0;
    int leftIndent_twips = 0;
    int rightIndent_twips = 0;
    int firstLineIndent_twips = 0;
    bool inTable = false; // \intbl
};

// What a group saves on "{" and restores on "}".
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colourIndex = 0;
    ParagraphState paragraph;
    int fallbackCount = 1; // \ucN
    Destination destination = Destination::Text;
    std::size_t openedAt = 0;
};

// Parameters saturate here, so no digit string can overflow.
constexpr long long kParameterLimit = 1'000'000'000;
// A word processor's limits for a font size, in half-points (0.5 pt to 1638 pt).
constexpr int kSmallestHalfPoints = 1;
constexpr int kLargestHalfPoints = 3276;
// A word processor's limit for a length on the page, 22 inches in twips.
constexpr int kLongestTwips = 31680;

// Destinations whose text the help viewer never shows.
constexpr std::string_view kSkippedDestinations[] = {
    "fonttbl",   "filetbl",      "stylesheet",
    "info",      "pict",         "object",
    "objdata",   "header",       "headerl",
    "headerr",   "headerf",      "footer",
    "footerl",   "footerr",      "footerf",
    "footnote",  "annotation",   "atnid",
    "atnauthor", "listtable",    "listoverridetable",
    "revtbl",    "rsidtbl",      "generator",
    "xmlnstbl",  "themedata",    "colorschememapping",
    "datastore", "latentstyles", "fldinst",
    "bkmkstart", "bkmkend",      "shp",
    "shppict",   "nonshppict",   "txe",
};

constexpr std::string_view kUnderlineWords[] = {"ul",   "uld", "uldash", "uldb",
                                                "ulth", "ulw", "ulwave"};

struct CharacterWord {
    std::string_view name;
    char32_t codePoint;
};
constexpr CharacterWord kCharacterWords[] = {
    {"bullet", 0x2022},    {"endash", 0x2013},  {"emdash", 0x2014},
    {"lquote", 0x2018},    {"rquote", 0x2019},  {"ldblquote", 0x201C},
    {"rdblquote", 0x201D}, {"enspace", 0x2002}, {"emspace", 0x2003},
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool contains(std::span<const std::string_view> words, std::string_view word) {
    return std::find(words.begin(), words.end(), word) != words.end();
}

class RtfReader {
  public:
    explicit RtfReader(std::string_view bytes) : in_(bytes) {}

    RtfReadResult read() {
        if (in_.size() > kMaxRtfBytes)
            return failure("RTF file larger than " + std::to_string(kMaxRtfBytes >> 20) + " MiB");
        if (!in_.starts_with("{\\rtf") || (in_.size() > 5 && isLetter(in_[5])))
            return failure("Not an RTF file");
        while (pos_ < in_.size()) {
            if (!step())
                return failure(error_);
        }
        if (!groups_.empty())
            return failure("Unterminated group at byte " + std::to_string(groups_.back().openedAt));
        return finish();
    }

  private:
    static RtfReadResult failure(std::string message) { return {std::nullopt, std::move(message)}; }

    bool fail(std::string message, std::size_t at) {
        error_ = std::move(message) + " at byte " + std::to_string(at);
        return false;
    }

    bool step() {
        const char c = in_[pos_];
        if (finished_) {
            // Writers pad the end with line ends or a NUL; anything else is a broken file.
            if (c == '}')
                return fail("Unbalanced }", pos_);
            if (c != ' ' && c != '\r' && c != '\n' && c != '\t' && c != '\0')
                return fail("Data after the end of the document", pos_);
            ++pos_;
            return true;
        }
        switch (c) {
        case '{':
            if (groups_.size() == kMaxRtfGroupDepth)
                return fail("Groups nested deeper than " + std::to_string(kMaxRtfGroupDepth), pos_);
            groups_.push_back(groups_.empty() ? GroupState{} : groups_.back());
            groups_.back().openedAt = pos_++;
            fallbackToSkip_ = 0; // a fallback never reaches past its group
            return true;
        case '}':
            ++pos_;
            return closeGroup();
        case '\\':
            return controlItem();
        case '\r':
        case '\n':
            ++pos_;
            return true;
        default:
            ++pos_;
            if (!skippedAsFallback())
                put(decode(static_cast<unsigned char>(c)));
            return true;
        }
    }

    bool closeGroup() {
        fallbackToSkip_ = 0;
        if (groups_.size() == 1) {
            // Text after the last \par is a paragraph of its own, a row left open a row.
            wordStart_ = pos_ - 1;
            flushHighSurrogate();
            if (!paragraph_.runs.empty() && !finishParagraph(lastTextParagraph_))
                return false;
            if ((!pendingCell_.paragraphs.empty() || !pendingRow_.cells.empty()) && !finishRow())
                return false;
            finished_ = true;
        }
        groups_.pop_back();
        return true;
    }

    char32_t decode(unsigned char byte) const {
        return windows1250_ ? windows1250CodePoint(byte) : windows1252CodePoint(byte);
    }

    // Characters after \uN stand in for it in readers that know no Unicode; this one drops them.
    bool skippedAsFallback() {
        if (fallbackToSkip_ == 0)
            return false;
        --fallbackToSkip_;
        return true;
    }

    bool controlItem() {
        const std::size_t start = pos_++;
        wordStart_ = start;
        if (pos_ == in_.size())
            return fail("Backslash at the end of the input", start);
        const char c = in_[pos_];
        if (!isLetter(c)) {
            ++pos_;
            if (c == '\'') {
                if (in_.size() - pos_ < 2 || hexValue(in_[pos_]) < 0 || hexValue(in_[pos_ + 1]) < 0)
                    return fail("Bad \\' escape", start);
                const int byte = hexValue(in_[pos_]) * 16 + hexValue(in_[pos_ + 1]);
                pos_ += 2;
                if (!skippedAsFallback())
                    put(decode(static_cast<unsigned char>(byte)));
            } else if (!skippedAsFallback()) {
                return controlSymbol(c);
            }
            return true;
        }
        const std::size_t nameStart = pos_;
        while (pos_ < in_.size() && isLetter(in_[pos_]))
            ++pos_;
        const std::string_view name = in_.substr(nameStart, pos_ - nameStart);
        bool negative = false;
        if (in_.size() - pos_ >= 2 && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        bool hasParameter = false;
        long long value = 0;
        while (pos_ < in_.size() && isDigit(in_[pos_])) {
            hasParameter = true;
            value = std::min(value * 10 + (in_[pos_] - '0'), kParameterLimit);
            ++pos_;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_; // the delimiter belongs to the word
        const int parameter = static_cast<int>(negative ? -value : value);
        if (name == "bin") {
            // Raw picture or object data: it may hold any byte, braces included.
            const std::size_t length = parameter > 0 ? static_cast<std::size_t>(parameter) : 0;
            pos_ += std::min(length, in_.size() - pos_);
            skippedAsFallback();
            return true;
        }
        if (!skippedAsFallback())
            return controlWord(name, hasParameter, parameter);
        return true;
    }

    bool controlSymbol(char c) {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            put(static_cast<unsigned char>(c));
            break;
        case '~':
            put(0x00A0);
            break;
        case '_':
            put(0x2011);
            break;
        case '*':
            groups_.back().destination = Destination::Skipped;
            break;
        case '\r':
        case '\n':
            return endParagraph(); // an escaped line end is a \par
        default:
            break; // \- (optional hyphen) and the symbols of indexes and formulas
        }
        return true;
    }

    bool controlWord(std::string_view name, bool hasParameter, int parameter) {
        GroupState& group = groups_.back();
        const bool on = !hasParameter || parameter != 0;
        // A skipped destination may hold its own rows (a nested table's properties) and pages.
        const bool text = group.destination == Destination::Text;
        if (name == "par") {
            return endParagraph();
        } else if (!text &&
                   (name == "cell" || name == "row" || name == "trowd" || name == "cellx" ||
                    name == "trleft" || name == "paperw" || name == "margl" || name == "margr")) {
            return true;
        } else if (name == "cell") {
            return finishCell();
        } else if (name == "row") {
            return finishRow();
        } else if (name == "trowd") {
            rowEdges_.clear();
            rowLeft_ = 0;
        } else if (name == "cellx") {
            if (rowEdges_.size() == kMaxRtfRowCells)
                return fail("More than " + std::to_string(kMaxRtfRowCells) + " cells in a row",
                            wordStart_);
            rowEdges_.push_back(twips(parameter));
        } else if (name == "trleft") {
            rowLeft_ = twips(parameter);
        } else if (name == "line" || name == "nestrow") {
            put(0x2028);
        } else if (name == "tab" || name == "nestcell") {
            put('\t');
        } else if (name == "pard") {
            group.paragraph = {};
        } else if (name == "intbl") {
            group.paragraph.inTable = on;
        } else if (name == "sb") {
            group.paragraph.spaceBefore_twips = std::max(twips(parameter), 0);
        } else if (name == "sa") {
            group.paragraph.spaceAfter_twips = std::max(twips(parameter), 0);
        } else if (name == "li") {
            group.paragraph.leftIndent_twips = twips(parameter);
        } else if (name == "ri") {
            group.paragraph.rightIndent_twips = twips(parameter);
        } else if (name == "fi") {
            group.paragraph.firstLineIndent_twips = twips(parameter);
        } else if (name == "paperw" && hasParameter) {
            paperWidth_twips_ = std::max(twips(parameter), 1);
        } else if (name == "margl" && hasParameter) {
            leftMargin_twips_ = std::max(twips(parameter), 0);
        } else if (name == "margr" && hasParameter) {
            rightMargin_twips_ = std::max(twips(parameter), 0);
        } else if (name == "plain") {
            const GroupState plain;
            group.bold = plain.bold;
            group.italic = plain.italic;
            group.underline = plain.underline;
            group.halfPoints = plain.halfPoints;
            group.colourIndex = plain.colourIndex;
        } else if (name == "b") {
            group.bold = on;
        } else if (name == "i") {
            group.italic = on;
        } else if (contains(kUnderlineWords, name)) {
            group.underline = on;
        } else if (name == "ulnone") {
            group.underline = false;
        } else if (name == "fs") {
            group.halfPoints = hasParameter
                                   ? std::clamp(parameter, kSmallestHalfPoints, kLargestHalfPoints)
                                   : GroupState{}.halfPoints;
        } else if (name == "cf") {
            group.colourIndex = std::max(parameter, 0);
        } else if (name == "ql") {
            group.paragraph.alignment = Alignment::Left;
        } else if (name == "qc") {
            group.paragraph.alignment = Alignment::Centre;
        } else if (name == "qr") {
            group.paragraph.alignment = Alignment::Right;
        } else if (name == "qj") {
            group.paragraph.alignment = Alignment::Justify;
        } else if (name == "ansicpg") {
            windows1250_ = parameter == 1250;
        } else if (name == "u" && hasParameter) {
            unicode(parameter);
        } else if (name == "uc") {
            group.fallbackCount = std::max(parameter, 0);
        } else if (name == "red" || name == "green" || name == "blue") {
            colourComponent(name, parameter);
        } else if (name == "colortbl") {
            if (group.destination == Destination::Text)
                group.destination = Destination::ColourTable;
        } else if (contains(kSkippedDestinations, name)) {
            group.destination = Destination::Skipped;
        } else {
            for (const CharacterWord& word : kCharacterWords) {
                if (word.name == name)
                    put(word.codePoint);
            }
        }
        return true;
    }

    static int twips(int parameter) { return std::clamp(parameter, -kLongestTwips, kLongestTwips); }

    // \uN is a signed 16-bit number; past that range it stands for nothing readable.
    void unicode(int parameter) {
        if (parameter < 0)
            parameter += 65536;
        put(parameter >= 0 && parameter <= 0xFFFF ? static_cast<char32_t>(parameter) : 0xFFFD);
        fallbackToSkip_ = groups_.back().fallbackCount;
    }

    void colourComponent(std::string_view name, int parameter) {
        if (groups_.back().destination != Destination::ColourTable)
            return;
        const auto level = static_cast<std::uint8_t>(std::clamp(parameter, 0, 255));
        (name == "red"     ? colourEntry_.red
         : name == "green" ? colourEntry_.green
                           : colourEntry_.blue) = level;
        colourEntrySet_ = true;
    }

    void put(char32_t cp) {
        const GroupState& group = groups_.back();
        if (group.destination == Destination::ColourTable) {
            // Each entry ends with ";"; an entry without components is the automatic colour.
            if (cp == ';') {
                colours_.push_back(colourEntrySet_ ? std::optional<Rgb>(colourEntry_)
                                                   : std::nullopt);
                colourEntry_ = {};
                colourEntrySet_ = false;
            }
            return;
        }
        if (group.destination != Destination::Text)
            return;
        // Characters beyond U+FFFF come as two \uN, a surrogate pair.
        if (cp >= 0xD800 && cp < 0xDC00) {
            flushHighSurrogate();
            highSurrogate_ = cp;
            return;
        }
        if (cp >= 0xDC00 && cp < 0xE000) {
            cp = highSurrogate_ != 0 ? 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (cp - 0xDC00)
                                     : 0xFFFD;
            highSurrogate_ = 0;
        } else {
            flushHighSurrogate();
        }
        if ((cp < 0x20 && cp != '\t') || cp == 0x7F)
            return; // stray control bytes show nothing
        append(cp);
    }

    void flushHighSurrogate() {
        if (highSurrogate_ == 0)
            return;
        highSurrogate_ = 0;
        append(0xFFFD);
    }

    void append(char32_t cp) {
        const GroupState& group = groups_.back();
        CharacterFormat format;
        format.bold = group.bold;
        format.italic = group.italic;
        format.underline = group.underline;
        format.pointSize = group.halfPoints / 2.0;
        // \cf0 is the viewer's own colour even where a table names a first entry.
        if (group.colourIndex > 0 && static_cast<std::size_t>(group.colourIndex) < colours_.size())
            format.colour = colours_[static_cast<std::size_t>(group.colourIndex)];
        if (paragraph_.runs.empty() || paragraph_.runs.back().format != format)
            paragraph_.runs.push_back({{}, format});
        appendUtf8(paragraph_.runs.back().text, cp);
        lastTextParagraph_ = group.paragraph;
    }

    bool endParagraph() {
        const GroupState& group = groups_.back();
        if (group.destination != Destination::Text)
            return true;
        flushHighSurrogate();
        return finishParagraph(group.paragraph);
    }

    // The paragraph read so far, with the formatting given, goes into the cell being filled when
    // it lies in a table, else into the text after any table before it.
    bool finishParagraph(const ParagraphState& state) {
        if (++paragraphCount_ > kMaxRtfParagraphs)
            return fail("More than " + std::to_string(kMaxRtfParagraphs) + " paragraphs",
                        wordStart_);
        Paragraph paragraph = std::exchange(paragraph_, {});
        paragraph.alignment = state.alignment;
        paragraph.spaceBefore_twips = state.spaceBefore_twips;
        paragraph.spaceAfter_twips = state.spaceAfter_twips;
        paragraph.leftIndent_twips = state.leftIndent_twips;
        paragraph.rightIndent_twips = state.rightIndent_twips;
        paragraph.firstLineIndent_twips = state.firstLineIndent_twips;
        if (state.inTable) {
            pendingCell_.paragraphs.push_back(std::move(paragraph));
            return true;
        }
        // Cells a writer left without \row end before the text that follows them.
        if ((!pendingCell_.paragraphs.empty() || !pendingRow_.cells.empty()) && !finishRow())
            return false;
        closeTable();
        document_.blocks.emplace_back(std::move(paragraph));
        return true;
    }

    // \cell: the text since the last paragraph end is the cell's last paragraph; a cell with no
    // text at all still holds an empty one.
    bool finishCell() {
        flushHighSurrogate();
        if (!paragraph_.runs.empty() || pendingCell_.paragraphs.empty()) {
            ParagraphState state = groups_.back().paragraph;
            state.inTable = true;
            if (!finishParagraph(state))
                return false;
        }
        if (pendingRow_.cells.size() == kMaxRtfRowCells)
            return fail("More than " + std::to_string(kMaxRtfRowCells) + " cells in a row",
                        wordStart_);
        pendingRow_.cells.push_back(std::exchange(pendingCell_, {}));
        return true;
    }

    // \row: the cells since the last row, any text not closed by \cell as one more, become a row
    // of the table being read, or of a new one.
    bool finishRow() {
        if ((!paragraph_.runs.empty() || !pendingCell_.paragraphs.empty()) && !finishCell())
            return false;
        if (pendingRow_.cells.empty())
            return true;
        pendingRow_.cellRightEdges_twips = rowEdges_;
        pendingRow_.left_twips = rowLeft_;
        if (!tableOpen_) {
            document_.blocks.emplace_back(Table{});
            tableOpen_ = true;
            openTableColumns_ = 0;
        }
        Table& table = std::get<Table>(document_.blocks.back());
        openTableColumns_ = std::max(openTableColumns_, pendingRow_.cells.size());
        table.rows.push_back(std::exchange(pendingRow_, {}));
        if (closedTableCells_ + table.rows.size() * openTableColumns_ > kMaxRtfTableCells)
            return fail("Tables of more than " + std::to_string(kMaxRtfTableCells) + " cells",
                        wordStart_);
        return true;
    }

    void closeTable() {
        if (!tableOpen_)
            return;
        closedTableCells_ +=
            std::get<Table>(document_.blocks.back()).rows.size() * openTableColumns_;
        tableOpen_ = false;
    }

    RtfReadResult finish() {
        const int textWidth = paperWidth_twips_ - leftMargin_twips_ - rightMargin_twips_;
        if (textWidth > 0)
            document_.textWidth_twips = textWidth;
        return RtfReadResult{std::move(document_), {}};
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<GroupState> groups_; // innermost last
    bool finished_ = false;          // the document's own group has closed
    bool windows1250_ = false;       // else Windows-1252, RTF's \ansi
    int fallbackToSkip_ = 0;
    char32_t highSurrogate_ = 0;
    std::vector<std::optional<Rgb>> colours_;
    Rgb colourEntry_;
    bool colourEntrySet_ = false;
    RtfDocument document_;
    Paragraph paragraph_;              // runs only; the formatting comes at its end
    ParagraphState lastTextParagraph_; // in force at the last character read
    std::size_t paragraphCount_ = 0;
    // The table being read: the cell and row being filled, the current row definition, and
    // whether the last block is a table that the next row continues.
    TableCell pendingCell_;
    TableRow pendingRow_;
    std::vector<int> rowEdges_;
    int rowLeft_ = 0;
    bool tableOpen_ = false;
    std::size_t openTableColumns_ = 0;
    std::size_t closedTableCells_ = 0;
    int paperWidth_twips_ = 12240;
    int leftMargin_twips_ = 1800;
    int rightMargin_twips_ = 1800;
    std::size_t wordStart_ = 0; // where the control word (or the last "}") being carried out began
    std::string error_;
};

} // namespace

RtfReadResult readRtf(std::string_view bytes) {
    return RtfReader(bytes).read();
}

RtfFileResult readRtfFile(const std::filesystem::path& path, std::size_t maxBytes) {
    std::vector<std::uint8_t> bytes;
    if (const record::FileResult file = record::readDataFile(path, bytes, maxBytes); !file.ok)
        return {std::nullopt, file.message, {}};
    RtfReadResult read =
        readRtf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return {std::move(read.document), {}, std::move(read.error)};
}

} // namespace vm::data

#include "data/rtf_document.h"

#include "data/text_encoding.h"
#include "record/file_layer.h"

#include <algorithm>
#include <span>
#include <utility>

namespace vm::data {
namespace {

enum class Destination : std::uint8_t { Text, ColourTable, Skipped };

// What a group saves on "{" and restores on "}".
struct GroupState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 24;
    int colourIndex = 0;
    Alignment alignment = Alignment::Left;
    int fallbackCount = 1; // \ucN
    Destination destination = Destination::Text;
    std::size_t openedAt = 0;
};

// Parameters saturate here, so no digit string can overflow.
constexpr long long kParameterLimit = 1'000'000'000;
// A word processor's limits for a font size, in half-points (0.5 pt to 1638 pt).
constexpr int kSmallestHalfPoints = 1;
constexpr int kLargestHalfPoints = 3276;

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
        return RtfReadResult{std::move(document_), {}};
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
            closeGroup();
            return true;
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

    void closeGroup() {
        fallbackToSkip_ = 0;
        if (groups_.size() == 1) {
            flushHighSurrogate();
            if (!paragraph_.runs.empty())
                document_.paragraphs.push_back(std::move(paragraph_));
            finished_ = true;
        }
        groups_.pop_back();
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
                controlSymbol(c);
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
            controlWord(name, hasParameter, parameter);
        return true;
    }

    void controlSymbol(char c) {
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
            endParagraph(); // an escaped line end is a \par
            break;
        default:
            break; // \- (optional hyphen) and the symbols of indexes and formulas
        }
    }

    void controlWord(std::string_view name, bool hasParameter, int parameter) {
        GroupState& group = groups_.back();
        const bool on = !hasParameter || parameter != 0;
        if (name == "par" || name == "row") {
            endParagraph();
        } else if (name == "line") {
            put(0x2028);
        } else if (name == "tab" || name == "cell") {
            put('\t');
        } else if (name == "pard") {
            group.alignment = Alignment::Left;
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
            group.alignment = Alignment::Left;
        } else if (name == "qc") {
            group.alignment = Alignment::Centre;
        } else if (name == "qr") {
            group.alignment = Alignment::Right;
        } else if (name == "qj") {
            group.alignment = Alignment::Justify;
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
    }

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
        paragraph_.alignment = group.alignment;
    }

    void endParagraph() {
        const GroupState& group = groups_.back();
        if (group.destination != Destination::Text)
            return;
        flushHighSurrogate();
        // A paragraph takes the alignment in force at its \par.
        paragraph_.alignment = group.alignment;
        document_.paragraphs.push_back(std::exchange(paragraph_, {}));
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
    Paragraph paragraph_;
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

#pragma once
// A small, strict reader of the RTF help texts: paragraphs of formatted runs, nothing more.
//
// Read: groups with their formatting; \par \pard \plain \line \tab; \b \i \ul (and the \ul...
// variants) with their 0 forms and \ulnone; \fsN; \cfN through \colortbl; \qc \ql \qr \qj;
// \ansicpg1250 and \ansicpg1252 (any other code page reads as 1252); \'hh; \uN with \ucN
// fallback skipping; the control symbols \\ \{ \} \~ \- \_ \*; a few character words (\bullet,
// \emdash, quotes) and \cell / \row as a tab / a paragraph end.
// Skipped: fonts, styles, document info, pictures, objects, headers, footers, footnotes and every
// {\*\...} group; \binN data. Any other control word is ignored, as RTF allows.
//
// Every input gives either a document or an error naming the byte offset (from 0) of the fault,
// in one linear pass with bounded nesting, whatever the bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
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
    std::vector<TextRun> runs; // adjacent runs differ in format; none when the paragraph is empty
};

// One paragraph per \par, and a last one for any text after the last \par.
struct RtfDocument {
    std::vector<Paragraph> paragraphs;
};

struct RtfReadResult {
    std::optional<RtfDocument> document; // set on success
    std::string error;                   // set on failure
};

inline constexpr int kMaxRtfGroupDepth = 256;
inline constexpr std::size_t kMaxRtfBytes = 16u << 20; // help texts are a few kilobytes

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

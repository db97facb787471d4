#include "data/rtf_document.h"
#include "data/text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

using namespace std::string_view_literals;
using namespace vm::data;

namespace {

// A paragraph in one line of text: "=C " and the like for alignment, "[sb60 li720 fi-360] " for
// spacing and indents other than 0, and "{attributes|text}" for a run not in the default format
// (b, i, u, point size, #rrggbb).
std::string describe(const Paragraph& paragraph) {
    std::string out;
    if (paragraph.alignment != Alignment::Left)
        out += std::string("=") + " CRJ"[static_cast<int>(paragraph.alignment)] + ' ';
    std::string lengths;
    for (const auto& [name, twips] : {std::pair{" sb", paragraph.spaceBefore_twips},
                                      std::pair{" sa", paragraph.spaceAfter_twips},
                                      std::pair{" li", paragraph.leftIndent_twips},
                                      std::pair{" ri", paragraph.rightIndent_twips},
                                      std::pair{" fi", paragraph.firstLineIndent_twips}})
        lengths += twips != 0 ? name + std::to_string(twips) : "";
    out += lengths.empty() ? "" : "[" + lengths.substr(1) + "] ";
    for (const TextRun& run : paragraph.runs) {
        const CharacterFormat& f = run.format;
        std::ostringstream attributes;
        attributes << (f.bold ? "b" : "") << (f.italic ? "i" : "") << (f.underline ? "u" : "");
        if (f.pointSize != 12.0)
            attributes << f.pointSize;
        if (f.colour) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "#%02x%02x%02x", f.colour->red, f.colour->green,
                          f.colour->blue);
            attributes << hex;
        }
        out += attributes.str().empty() ? run.text : "{" + attributes.str() + "|" + run.text + "}";
    }
    return out;
}

// A document with a line per paragraph and per table, its rows parted by " / ": "| a | b ¶ c |"
// for a row whose second cell holds two paragraphs, then " @left:edge,edge" if it is defined.
std::string describe(const RtfDocument& document) {
    std::string out;
    for (const Block& block : document.blocks) {
        out += out.empty() ? "" : "\n";
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            out += describe(*paragraph);
            continue;
        }
        for (const TableRow& row : std::get<Table>(block).rows) {
            out += &row == &std::get<Table>(block).rows.front() ? "|" : " / |";
            for (const TableCell& cell : row.cells)
                for (const Paragraph& p : cell.paragraphs)
                    out += (&p == &cell.paragraphs.front() ? " " : " ¶ ") + describe(p) +
                           (&p == &cell.paragraphs.back() ? " |" : "");
            for (std::size_t k = 0; k < row.cellRightEdges_twips.size(); ++k)
                out += (k == 0 ? " @" + std::to_string(row.left_twips) + ":" : ",") +
                       std::to_string(row.cellRightEdges_twips[k]);
        }
    }
    return out;
}

struct ReadCase {
    std::string_view rtf;
    std::string_view expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << testing::PrintToString(c.rtf);
}

class WellFormedRtf : public testing::TestWithParam<ReadCase> {};

TEST_P(WellFormedRtf, ReadsAsExpected) {
    const RtfReadResult result = readRtf(GetParam().rtf);
    ASSERT_TRUE(result.document) << result.error;
    EXPECT_EQ(describe(*result.document), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WellFormedRtf,
    testing::Values(
        ReadCase{R"({\rtf1\ansi\ansicpg1250 \'b9\'e6\'ea\'b3\'f1\'f3\'9c\'9f\'bf})", "ąćęłńóśźż"},
        ReadCase{R"({\rtf1\ansi\ansicpg1250 \'a5\'c6\'ca\'a3\'d1\'d3\'8c\'8f\'AF})", "ĄĆĘŁŃÓŚŹŻ"},
        ReadCase{"{\\rtf1\\ansicpg1250 \xb3\\ansicpg1252 \xb3\\'9c\\ansicpg437 \\'9c}", "ł³œœ"},
        ReadCase{R"({\rtf1 a\u261?b\uc2\u321\'a3\'a3c\uc0\u322 d{\u260}e{\uc1\u-10179?\u-8704?}})",
                 "aąbŁcłdĄe😀"},
        ReadCase{R"({\rtf1 \u-99999 x\u99999?y\u-9000?\u50?})", "\uFFFD\uFFFDy\uFFFD2"},
        ReadCase{R"({\rtf1 a{\b b{\i c}d}e\b\i\ul f\plain g\ul h\ul0 i\uldb j\ulnone k\b1 l\b0 m})",
                 "a{b|b}{bi|c}{b|d}e{biu|f}g{u|h}i{u|j}k{b|l}m"},
        ReadCase{R"({\rtf1 one\par two\line three\tab four\par\par five})",
                 "one\ntwo\u2028three\tfour\n\nfive"},
        ReadCase{"{\\rtf1 a\r\nb\\\nc\\\\d\\{e\\}f\\~g\\-h\\_i\\foo12 j\\bar-3k\\emdash\\:}",
                 "ab\nc\\d{e}f\u00A0gh\u2011ijk\u2014"},
        ReadCase{R"({\rtf1{\colortbl\red9;\red255\green0\blue0;;\red0\green128\blue999;})"
                 R"(\cf1 r\cf3 g\cf0 a\cf2 b\cf9 c})",
                 "{#ff0000|r}{#0080ff|g}abc"},
        ReadCase{R"({\rtf1\fs20 s\fs99999999999999 h\fs-4 t\fs u\b\fs36 v})",
                 "{10|s}{1638|h}{0.5|t}u{b18|v}"},
        ReadCase{R"({\rtf1\qc c\par\pard r\qr\par\qj j\par\ql l\par{\qc m}})",
                 "=C c\n=R r\n=J j\nl\n=C m"},
        ReadCase{
            R"({\rtf1{\fonttbl{\f0 A;}}{\stylesheet{\s0 N;}}{\info{\title T}}{\*\generator G\par})"
            R"({\header H}{\footer F}{\pict\bin3 {}x}{\object o}{\*\unknown{\b y}}shown})",
            "shown"},
        ReadCase{"{\\rtf1 a}\r\n\0"sv, "a"}, ReadCase{"{\\rtf1\\bin-5 a\\bin2 }}b}", "ab"},
        // Spacing and indents in force at the paragraph's end, reset by \pard, kept by groups.
        ReadCase{R"({\rtf1\sb60\sa120\li720\ri-30\fi-360 a\par b\pard c\par{\li99 d\par}e})",
                 "[sb60 sa120 li720 ri-30 fi-360] a\nbc\n[li99] d\ne"},
        ReadCase{R"({\rtf1 x\sa180\par\li99999999\fi-99999999\sb-5\qc y})",
                 "[sa180] x\n=C [sa180 li31680 fi-31680] y"},
        // Rows (each defined anew, \par or \cell ending a cell's paragraphs) continue a table
        // until a paragraph outside it; an empty cell holds an empty paragraph.
        ReadCase{
            R"({\rtf1\trowd\trleft-9\cellx30\cellx60\intbl\qc a\cell\pard\intbl b\par c\cell\row)"
            R"(\trowd\intbl\cell\row\pard mid\par\intbl d\cell\row})",
            "| =C a | b ¶ c | @-9:30,60 / |  |\nmid\n| d |"},
        // What a writer leaves open is closed where the next thing begins: text before \row is a
        // last cell, cells without \row a row, an \intbl paragraph without \cell a cell.
        ReadCase{R"({\rtf1\intbl a\cell b\row\row})", "| a | b |"},
        ReadCase{R"({\rtf1\intbl a\cell\pard b\par\intbl c\par})", "| a |\nb\n| c |"},
        // A table inside a cell reads as text; a skipped group's row definition is not the row's.
        ReadCase{R"({\rtf1{\*\nesttableprops\trowd\cellx5\row}\intbl a\nestcell b\nestrow\cell})",
                 "| a\tb\u2028 |"}));

struct MalformedCase {
    std::string_view rtf;
    std::string_view error; // empty: the reader must still give a document
};

void PrintTo(const MalformedCase& c, std::ostream* out) {
    *out << testing::PrintToString(c.rtf);
}

class MalformedRtf : public testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedRtf, GivesTheErrorOrADocument) {
    const RtfReadResult result = readRtf(GetParam().rtf);
    EXPECT_EQ(result.error, GetParam().error);
    EXPECT_EQ(result.document.has_value(), GetParam().error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedRtf,
    testing::Values(
        MalformedCase{"", "Not an RTF file"}, MalformedCase{"plain text", "Not an RTF file"},
        MalformedCase{"{\\rtfx}", "Not an RTF file"},
        MalformedCase{"{\\rtf", "Unterminated group at byte 0"},
        MalformedCase{"{\\rtf1 {\\b abc", "Unterminated group at byte 7"},
        MalformedCase{"{\\rtf1 \\bin99 {}}", "Unterminated group at byte 0"},
        MalformedCase{"{\\rtf1 a}}", "Unbalanced } at byte 9"},
        MalformedCase{"{\\rtf1 a}b", "Data after the end of the document at byte 9"},
        MalformedCase{"{\\rtf1 a\\", "Backslash at the end of the input at byte 8"},
        MalformedCase{"{\\rtf1 \\'4", "Bad \\' escape at byte 7"},
        MalformedCase{"{\\rtf1 \\'zz}", "Bad \\' escape at byte 7"},
        MalformedCase{"{\\rtf1 \\\0\x01\x7f\xff\\*\\\xff}"sv, ""},
        MalformedCase{
            "{\\rtf1{\\colortbl\\red-7;\\blue99999999999}\\cf-1\\cf2147483648 \\uc-5\\u5 x}", ""}));

TEST(RtfReader, BoundsNestingAndSize) {
    const std::string deep = "{\\rtf1 " + std::string(100000, '{');
    EXPECT_EQ(readRtf(deep).error, "Groups nested deeper than 256 at byte 262");

    const std::string deepest = "{\\rtf1 " + std::string(255, '{') + "x" + std::string(256, '}');
    const RtfReadResult allowed = readRtf(deepest);
    ASSERT_TRUE(allowed.document) << allowed.error;
    EXPECT_EQ(describe(*allowed.document), "x");

    EXPECT_EQ(readRtf(std::string(kMaxRtfBytes + 1, ' ')).error, "RTF file larger than 16 MiB");
}

// Each limit names the control word that passed it: the 64th cell of a row, the 100001st
// paragraph, and the row that takes the tables past 10000 cells, counted as rows times the
// widest row (one row of 63 cells and 158 of one are 159 x 63; 158 rows pass).
TEST(RtfReader, BoundsParagraphsAndTableCells) {
    const auto rtf = [](std::string head, std::string_view piece, std::size_t times) {
        for (std::size_t i = 0; i < times; ++i)
            head += piece;
        return head + "}";
    };
    const std::string wideRow = rtf("{\\rtf1", "\\cell", 63).substr(0, 321) + "\\row";
    const std::pair<std::string, std::string> cases[] = {
        {rtf("{\\rtf1", "\\cell", 64), "More than 63 cells in a row at byte 321"},
        {rtf("{\\rtf1", "\\par", 100001), "More than 100000 paragraphs at byte 400006"},
        {rtf(wideRow, "\\cell\\row", 158), "Tables of more than 10000 cells at byte 1743"},
    };
    for (const auto& [input, error] : cases)
        EXPECT_EQ(readRtf(input).error, error);
    const RtfReadResult widest = readRtf(rtf(wideRow, "\\cell\\row", 157));
    ASSERT_TRUE(widest.document) << widest.error;
    EXPECT_EQ(std::get<Table>(widest.document->blocks.at(0)).rows.size(), 158u);
}

// One help text as two word processors save it (tests/data/rtf/README.md): letters, weights,
// spacing and indents, the text width (RTF's default, or the paper less its margins), a table.
TEST(RtfReader, ReadsWhatWordProcessorsWrite) {
    const struct {
        const char* file;
        int textWidth_twips;
        std::vector<std::string> lines;
    } fixtures[] = {
        {"help_table_pandoc.rtf",
         8640,
         {"[sa180] Zwykły akapit z {b|pogrubieniem} i {i|kursywą}: zażółć gęślą jaźń.",
          "[sa180 li720] Akapit wcięty z lewej strony.", "[li360 fi-360] •\tpierwszy punkt listy",
          "| Wskaźnik | Jednostka | Norma | @0:2880,5760,8640 / | FEV1 | l | 3,8 | "
          "@0:2880,5760,8640 / | PEF | l/s | {b|8,5} | @0:2880,5760,8640"}},
        {"help_table_writer.rtf",
         9360,
         {"[sb144 sa144 li720] Akapit wcięty z lewej strony.",
          "[li720 fi-360] {9|•\t}pierwszy punkt listy",
          "| [li43 ri43] {b|Wskaźnik} | [li43 ri43] {b|Jednostka} | [li43 ri43] {b|Norma} | "
          "@0:3120,6240,9360 / | [li43 ri43] FEV1 | [li43 ri43] l | [li43 ri43] 3,8 | "
          "@0:3120,6240,9360 / | [li43 ri43] PEF | [li43 ri43] l/s | [li43 ri43] {b|8,5} | "
          "@0:3120,6240,9360"}},
    };
    for (const auto& fixture : fixtures) {
        std::ifstream in(std::string(VM_RTF_FIXTURES "/") + fixture.file, std::ios::binary);
        const RtfReadResult read = readRtf(std::string(std::istreambuf_iterator<char>(in), {}));
        ASSERT_TRUE(read.document) << fixture.file << ": " << read.error;
        EXPECT_EQ(read.document->textWidth_twips, fixture.textWidth_twips) << fixture.file;
        const std::string text = "\n" + describe(*read.document) + "\n";
        for (const std::string& line : fixture.lines)
            EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << line << " in" << text;
    }
}

// Random streams of RTF's own tokens: every one reads to a document or an error, and a document's
// runs are valid UTF-8 without line ends.
TEST(RtfReader, RandomTokenStreamsGiveADocumentOrAnError) {
    const std::string_view tokens[] = {
        "{",      "}",          "\\",      "\\'",       "\\'e6",   "\\u",     "-",
        "9",      "0",          " ",       "\\uc",      "\\bin",   "\\par",   "\\line",
        "\\*",    "\\colortbl", ";",       "\\cf",      "\\fs",    "\\b",     "\\ansicpg1250",
        "\xb9",   "\r\n",       "\\pict",  "\\fonttbl", "x",       "\\red",   "\0"sv,
        "\\cell", "\\row",      "\\intbl", "\\pard",    "\\trowd", "\\cellx", "\\li"};
    std::mt19937 generator(20240611);
    for (int n = 0; n < 3000; ++n) {
        std::string rtf = "{\\rtf1 ";
        const int length = static_cast<int>(generator() % 60);
        for (int k = 0; k < length; ++k)
            rtf += tokens[generator() % std::size(tokens)];
        // Closing what is open lets most streams read to the end.
        rtf.append(std::max<std::ptrdiff_t>(0, std::ranges::count(rtf, '{') -
                                                   std::ranges::count(rtf, '}')),
                   '}');
        const RtfReadResult result = readRtf(rtf);
        ASSERT_NE(result.document.has_value(), !result.error.empty()) << rtf;
        if (!result.document)
            continue;
        forEachParagraph(*result.document, [&rtf](const Paragraph& paragraph) {
            for (const TextRun& run : paragraph.runs) {
                ASSERT_TRUE(isValidUtf8(run.text) && !run.text.empty() &&
                            run.text.find_first_of("\r\n") == std::string::npos)
                    << rtf;
            }
        });
    }
}

TEST(TextEncoding, CodePagesAgreeWithIconv) {
    for (const auto& [name, convert] :
         {std::pair{"CP1250", &windows1250ToUtf8}, std::pair{"CP1252", &windows1252ToUtf8}}) {
        iconv_t converter = iconv_open("UTF-8", name);
        ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1)) << name;
        for (int byte = 0; byte < 256; ++byte) {
            char in = static_cast<char>(byte);
            char out[8];
            char* inPointer = &in;
            char* outPointer = out;
            std::size_t inLeft = 1;
            std::size_t outLeft = sizeof out;
            // iconv refuses the bytes the code page leaves unassigned; they are ours to choose.
            if (iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) != std::size_t(-1)) {
                EXPECT_EQ(convert(std::string_view(&in, 1)), std::string(out, outPointer))
                    << name << byte;
            }
        }
        iconv_close(converter);
    }
}

TEST(TextEncoding, ValidatesUtf8AndDecodesTextFiles) {
    const std::pair<std::string_view, bool> samples[] = {{"", true},
                                                         {"abc", true},
                                                         {"\xC4\x85", true},
                                                         {"\xF0\x9F\x98\x80", true},
                                                         {"\xC0\xAF", false},
                                                         {"\xED\xA0\x80", false},
                                                         {"\xF4\x90\x80\x80", false},
                                                         {"\xE2\x82", false},
                                                         {"\x85", false}};
    for (const auto& [bytes, valid] : samples)
        EXPECT_EQ(isValidUtf8(bytes), valid) << bytes;

    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBFz\xC4\x85"), "zą");
    EXPECT_EQ(decodeTextFile("z\xB9\x9C"), "ząś");
}

} // namespace

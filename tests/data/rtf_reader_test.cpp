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
    std::ostringstream lengths;
    for (const auto& [name, twips] :
         {std::pair{"sb", paragraph.spaceBefore_twips}, std::pair{"sa", paragraph.spaceAfter_twips},
          std::pair{"li", paragraph.leftIndent_twips}, std::pair{"ri", paragraph.rightIndent_twips},
          std::pair{"fi", paragraph.firstLineIndent_twips}})
        if (twips != 0)
            lengths << (lengths.tellp() > 0 ? " " : "") << name << twips;
    if (!lengths.str().empty())
        out += "[" + lengths.str() + "] ";
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

// A document with a line per paragraph and per table, the table's rows parted by " / ": "| a | b ¶
// c |" for a row whose second cell holds two paragraphs, followed by " @left:edge,edge" when the
// row is defined.
std::string describe(const RtfDocument& document) {
    std::string out;
    const auto line = [&out](const std::string& text) { out += (out.empty() ? "" : "\n") + text; };
    for (const Block& block : document.blocks) {
        if (const auto* paragraph = std::get_if<Paragraph>(&block)) {
            line(describe(*paragraph));
            continue;
        }
        std::string table;
        for (const TableRow& row : std::get<Table>(block).rows) {
            std::string text = "|";
            for (const TableCell& cell : row.cells) {
                for (const Paragraph& paragraph : cell.paragraphs)
                    text += (&paragraph == &cell.paragraphs.front() ? " " : " ¶ ") +
                            describe(paragraph);
                text += " |";
            }
            const std::vector<int>& edges = row.cellRightEdges_twips;
            for (std::size_t k = 0; k < edges.size(); ++k)
                text += (k == 0 ? " @" + std::to_string(row.left_twips) + ":" : ",") +
                        std::to_string(edges[k]);
            table += (table.empty() ? "" : " / ") + text;
        }
        line(table);
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
        // A table as pandoc writes it: each row and each cell a group, \par inside the cells.
        ReadCase{
            R"({\rtf1 before\par{\trowd\trgaph120\cellx2880\cellx5760\trkeep\intbl)"
            R"({{\pard\intbl\sa20 A\par}\cell}{{\pard\intbl B\par}\cell}\intbl\row})"
            R"({\trowd\cellx2880\cellx5760\intbl{{\pard\intbl\li40 C\par}\cell})"
            R"({{\pard\intbl\b D\par}\cell}\intbl\row}{\pard after\par}})",
            "before\n| [sa20] A | B | @0:2880,5760 / | [li40] C | {b|D} | @0:2880,5760\nafter"},
        // As LibreOffice writes it: \cell ends the paragraph, the row is defined again before
        // each row, and \pard after \row leaves the table.
        ReadCase{R"({\rtf1\trowd\trleft-108\cellx3120\cellx6240\pard\plain\intbl\qc A\cell)"
                 R"(\pard\plain\intbl B\par b2\cell\row\pard\trowd\cellx3120\cellx6240\pard\intbl)"
                 R"( C\cell\pard\intbl\cell\row\pard after\par})",
                 "| =C A | B ¶ b2 | @-108:3120,6240 / | C |  | @0:3120,6240\nafter"},
        // A paragraph outside the table parts two tables; rows without one continue a table.
        ReadCase{R"({\rtf1\intbl a\cell\row\intbl b\cell\row\pard mid\par\intbl c\cell\row})",
                 "| a | / | b |\nmid\n| c |"},
        // What a writer leaves open is closed where the next thing begins: text before \row is a
        // last cell, cells without \row a row, an \intbl paragraph without \cell a cell.
        ReadCase{R"({\rtf1\intbl a\cell b\row})", "| a | b |"},
        ReadCase{R"({\rtf1\intbl a\cell b\cell})", "| a | b |"},
        ReadCase{R"({\rtf1\intbl a\cell\pard b\par})", "| a |\nb"},
        ReadCase{R"({\rtf1\intbl a\par\pard b\par})", "| a |\nb"},
        ReadCase{R"({\rtf1\intbl a\par})", "| a |"},
        ReadCase{R"({\rtf1 a\cell\row\row b})", "| a |\nb"},
        // A table inside a cell reads as text; a skipped group's row definition is not the row's.
        ReadCase{
            R"({\rtf1{\*\nesttableprops\trowd\cellx5\row}\intbl a\nestcell b\nestrow\cell\row})",
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

// Each limit names the control word that passed it: the 64th cell of a row, the 64th cell a row
// defines, the 100001st paragraph (the document's "}" for text after the last \par), and the
// row that takes the tables past 10000 cells, counted as rows times the widest row (one row of 63
// and 158 of one cell are 159 x 63).
TEST(RtfReader, BoundsParagraphsAndTableCells) {
    const auto repeated = [](std::string_view piece, std::size_t times) {
        std::string out;
        for (std::size_t i = 0; i < times; ++i)
            out += piece;
        return out;
    };
    const std::string head = "{\\rtf1";
    const struct {
        std::string rtf;
        std::size_t faultAt;
        const char* error;
    } cases[] = {
        {head + repeated("\\cell", 64) + "}", head.size() + 63 * 5, "More than 63 cells in a row"},
        {head + "\\trowd" + repeated("\\cellx1", 64) + "}", head.size() + 6 + 63 * 7,
         "More than 63 cells in a row"},
        {head + repeated("\\par", 100001) + "}", head.size() + 100000 * 4,
         "More than 100000 paragraphs"},
        {head + repeated("\\par", 100000) + " x}", head.size() + 100000 * 4 + 2,
         "More than 100000 paragraphs"},
        {head + repeated("\\cell", 63) + "\\row" + repeated("\\cell\\row", 158) + "}",
         head.size() + 63 * 5 + 4 + 157 * 9 + 5, "Tables of more than 10000 cells"},
        {head + repeated("\\cell\\row", 5000) + "\\par" + repeated("\\cell\\row", 5001) + "}",
         head.size() + 10000 * 9 + 4 + 5, "Tables of more than 10000 cells"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        EXPECT_EQ(readRtf(c.rtf).error,
                  c.error + std::string(" at byte ") + std::to_string(c.faultAt));
    }
    const std::string widest =
        head + repeated("\\cell", 63) + "\\row" + repeated("\\cell\\row", 157) + "}";
    const RtfReadResult allowed = readRtf(widest);
    ASSERT_TRUE(allowed.document) << allowed.error;
    EXPECT_EQ(std::get<Table>(allowed.document->blocks.at(0)).rows.size(), 158u);
}

// Tables are measured against the page's width between its margins, RTF's default unless the
// file gives its paper and margins; margins wider than the paper leave the default.
TEST(RtfReader, TextWidthFromPaperAndMargins) {
    const std::pair<std::string_view, int> cases[] = {
        {"{\\rtf1 x}", 8640},
        {"{\\rtf1\\paperw11906\\margl1134\\margr567 x}", 10205},
        {"{\\rtf1\\paperw100 x}", 8640},
        {"{\\rtf1{\\*\\pgdsctbl\\paperw5000}\\margl0\\margr0 x}", 12240},
    };
    for (const auto& [rtf, width] : cases) {
        const RtfReadResult read = readRtf(rtf);
        ASSERT_TRUE(read.document) << rtf;
        EXPECT_EQ(read.document->textWidth_twips, width) << rtf;
    }
}

// One help text as two word processors save it (tests/data/rtf/README.md): its letters, weights,
// spacing and indents, and its table of three rows and three columns.
TEST(RtfReader, ReadsWhatWordProcessorsWrite) {
    const struct {
        const char* file;
        int textWidth_twips;
        std::vector<std::string> lines;
    } fixtures[] = {
        {"help_table_pandoc.rtf",
         8640,
         {"[sa180] {b18|Opór dróg oddechowych}",
          "[sa180] Zwykły akapit z {b|pogrubieniem} i {i|kursywą}: zażółć gęślą jaźń.",
          "[sa180 li720] Akapit wcięty z lewej strony.", "[li360 fi-360] •\tpierwszy punkt listy",
          "[sa180 li360 fi-360] •\tdrugi punkt listy",
          "| Wskaźnik | Jednostka | Norma | @0:2880,5760,8640 / | FEV1 | l | 3,8 | "
          "@0:2880,5760,8640 / | PEF | l/s | {b|8,5} | @0:2880,5760,8640",
          "[sa180] Ostatni akapit po tabeli."}},
        {"help_table_writer.rtf",
         9360,
         {"[sb240 sa120] \t{b16|Opór dróg oddechowych}",
          "[sb86 sa86] Zwykły akapit z {b|pogrubieniem} i {i|kursywą}: zażółć gęślą jaźń.",
          "[sb144 sa144 li720] Akapit wcięty z lewej strony.",
          "[li720 fi-360] {9|•\t}pierwszy punkt listy",
          "| [li43 ri43] {b|Wskaźnik} | [li43 ri43] {b|Jednostka} | [li43 ri43] {b|Norma} | "
          "@0:3120,6240,9360 / | [li43 ri43] FEV1 | [li43 ri43] l | [li43 ri43] 3,8 | "
          "@0:3120,6240,9360 / | [li43 ri43] PEF | [li43 ri43] l/s | [li43 ri43] {b|8,5} | "
          "@0:3120,6240,9360",
          "[sb86 sa86] Ostatni akapit po tabeli."}},
    };
    for (const auto& fixture : fixtures) {
        SCOPED_TRACE(fixture.file);
        std::ifstream in(std::string(VM_RTF_FIXTURES "/") + fixture.file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        const RtfReadResult read = readRtf(bytes);
        ASSERT_TRUE(read.document) << read.error;
        EXPECT_EQ(read.document->textWidth_twips, fixture.textWidth_twips);
        const std::string text = describe(*read.document);
        for (const std::string& line : fixture.lines)
            EXPECT_NE(("\n" + text + "\n").find("\n" + line + "\n"), std::string::npos)
                << line << "\nnot in\n"
                << text;
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

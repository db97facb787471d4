#include "data/rtf_document.h"
#include "data/text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <sstream>

using namespace std::string_view_literals;
using namespace vm::data;

namespace {

// A document in one line of text: paragraphs on lines, "=C " and the like for alignment, and
// "{attributes|text}" for a run not in the default format (b, i, u, point size, #rrggbb).
std::string describe(const RtfDocument& document) {
    std::string out;
    for (const Paragraph& paragraph : document.paragraphs) {
        if (&paragraph != &document.paragraphs.front())
            out += '\n';
        if (paragraph.alignment != Alignment::Left)
            out += std::string("=") + " CRJ"[static_cast<int>(paragraph.alignment)] + ' ';
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
            out +=
                attributes.str().empty() ? run.text : "{" + attributes.str() + "|" + run.text + "}";
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
        ReadCase{"{\\rtf1 a}\r\n\0"sv, "a"}, ReadCase{"{\\rtf1\\bin-5 a\\bin2 }}b}", "ab"}));

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

// Random streams of RTF's own tokens: every one reads to a document or an error, and a document's
// runs are valid UTF-8 without line ends.
TEST(RtfReader, RandomTokenStreamsGiveADocumentOrAnError) {
    const std::string_view tokens[] = {
        "{",    "}",          "\\",     "\\'",       "\\'e6", "\\u",   "-",
        "9",    "0",          " ",      "\\uc",      "\\bin", "\\par", "\\line",
        "\\*",  "\\colortbl", ";",      "\\cf",      "\\fs",  "\\b",   "\\ansicpg1250",
        "\xb9", "\r\n",       "\\pict", "\\fonttbl", "x",     "\\red", "\0"sv};
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
        for (const Paragraph& paragraph : result.document->paragraphs) {
            for (const TextRun& run : paragraph.runs) {
                ASSERT_TRUE(isValidUtf8(run.text) && !run.text.empty() &&
                            run.text.find_first_of("\r\n") == std::string::npos)
                    << rtf;
            }
        }
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

// The figures the case texts quote, held to the model: each case's shipped file opened through the
// session as the window opens it, every figure read through the one reading and compared with its
// shown text at the shown precision, and no number of the model written outside a figure.

#include "case_sessions.h"
#include "session/case_figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vm::session;
using vm::test::kExeDir;

namespace {

CaseLibrary shippedLibrary() {
    CaseLibrary library;
    const auto read = loadCaseLibrary(kExeDir / kCaseLibraryFile, library);
    EXPECT_TRUE(read.ok) << read.message;
    return library;
}

TEST(CaseFigures, EveryFigureIsWhatItsCaseFileGivesThroughTheReading) {
    const CaseLibrary library = shippedLibrary();
    ASSERT_FALSE(library.cases.empty());
    for (const TeachingCase& c : library.cases) {
        SCOPED_TRACE(c.id);
        const auto session = vm::test::sessionFor(c.id);
        EXPECT_EQ(session->readingPatient().origin, PatientOrigin::stored);
        EXPECT_EQ(patientText(session->patient()), patientText(c.patient));
        EXPECT_GE(c.figures.size(), 5u) << "a case whose numbers are plain text would drift";
        for (const std::string& mismatch : mismatchedFigures(*session, c.figures))
            ADD_FAILURE() << mismatch;
    }
}

TEST(CaseFigures, NoNumberOfTheModelIsWrittenOutsideAFigure) {
    const CaseLibrary library = shippedLibrary();
    std::size_t plain = 0;
    for (const TeachingCase& c : library.cases) {
        plain += c.plainNumbers.size();
        for (const std::string& unmarked : unmarkedModelNumbers(c))
            ADD_FAILURE() << c.id << ", " << unmarked << " is neither a figure nor a fixed number";
    }
    EXPECT_GE(plain, 3 * library.cases.size()) << "the rows and thresholds the texts name";
}

// What a text may and may not write as plain numbers: the case's settings before "%", the rows,
// the fixed thresholds, and names with digits.
TEST(CaseFigures, PlainNumbersAreTheRowsTheSettingsAndTheFixedThresholds) {
    TeachingCase c;
    c.runs = {{{{false, 2, 2, 400.0}}, ""}, {{{false, 2, 2, 800.0}, {false, 2, 7, 120.0}}, ""}};
    const struct {
        std::string_view text;
        std::vector<std::string> refused;
    } cases[] = {
        {"PEF 57 % referencji, z = −1,95 w wierszu 3, FVC 3,42 l, FVC +1,76",
         {"57", "−1,95", "3,42", "+1,76"}},
        {"opór 400 i 800 %, podatność 120–800 %; wiersze 3, 2 i 1; 100 %", {}},
        {"PEF 400, 65 i 800 %", {"400", "65"}},
        {"FEV1, MEF25, FEF25–75, FEV1/FVC, • i •; poniżej −1,645; 10 % wartości", {}},
        {"o 200 ml, a nie 200 l; ATS/ERS 2019 i 2022; 50 i 25 % FVC, 25 % PEF", {"200", "25"}},
        {"−4 ciężki, −4 l, 4 wiersze", {"−4", "4"}},
    };
    for (const auto& [text, refused] : cases) {
        std::vector<std::string> found;
        for (const PlainNumber& number : plainNumbers(text, 1))
            if (!isAllowedPlainNumber(number, c))
                found.push_back(number.text);
        EXPECT_EQ(found, refused) << text;
    }
}

TEST(CaseFigures, ValuesAreWrittenAsTheTextsWriteThem) {
    const struct {
        double value;
        int decimals;
        bool plusSign;
        std::string_view text;
    } cases[] = {
        {-1.954, 2, false, "−1,95"}, {1.756, 2, true, "+1,76"},    {1.756, 2, false, "1,76"},
        {-0.004, 2, true, "0,00"},   {57.4, 0, false, "57"},       {-3.999, 0, false, "−4"},
        {0.0951, 3, false, "0,095"}, {1234.5, 1, false, "1234,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(figureText(c.value, c.decimals, c.plusSign), c.text) << c.value;
}

// What has no value says why, rather than giving a number.
TEST(CaseFigures, AFigureWithoutAValueSaysWhy) {
    // Row 2's blow ends before 6 s without a plateau: it has no FEV6.
    const TextWithFigures read = takeFigures("{2.fev6.value|3,2} {1.pef.ref|90}", 7);
    const std::vector<std::string> mismatches =
        mismatchedFigures(*vm::test::sessionFor("odwracalnosc_obturacji"), read.figures);
    ASSERT_EQ(mismatches.size(), 2u);
    EXPECT_NE(
        mismatches[0].find("line 7: {2.fev6.value|3,2} gives nothing: FEV6 of row 2 is empty"),
        std::string::npos)
        << mismatches[0];
    EXPECT_NE(mismatches[1].find("{1.pef.ref|90} gives 91"), std::string::npos) << mismatches[1];
}

} // namespace

// The figures the case texts quote, held to the model: each case's shipped simulation file opened
// through the session as the window opens it, every figure read through the one reading and
// compared with its shown text at the shown precision; and no number of the model quoted outside
// a figure.

#include "session/case_figures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace vm::session;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

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
        Session session(ProgramFolder{kExeDir});
        const ViewChanges opened =
            session.OpenSimulationFile(kExeDir / "simulations" / (c.id + ".spi"));
        ASSERT_FALSE(opened.message) << *opened.message;
        EXPECT_EQ(session.readingPatient().origin, PatientOrigin::stored);
        EXPECT_EQ(patientText(session.patient()), patientText(c.patient));
        // Every case quotes the model; a case whose numbers are all plain text would drift.
        EXPECT_GE(c.figures.size(), 5u);
        for (const std::string& mismatch : mismatchedFigures(session, c.figures))
            ADD_FAILURE() << mismatch;
    }
}

TEST(CaseFigures, ValuesAreWrittenAsTheTextsWriteThem) {
    const struct {
        double value;
        int decimals;
        bool plusSign;
        std::string_view text;
    } cases[] = {
        {-1.954, 2, false, "−1,95"}, {1.756, 2, true, "+1,76"}, {1.756, 2, false, "1,76"},
        {-0.004, 2, false, "0,00"},  {-0.004, 2, true, "0,00"}, {57.4, 0, false, "57"},
        {-3.999, 0, false, "−4"},    {0.0951, 3, false, "0,095"}, {1234.5, 1, false, "1234,5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(figureText(c.value, c.decimals, c.plusSign), c.text) << c.value;
}

// A figure of one kind read through another that must agree with it, over every case file and
// every index of the program's tables.
CaseFigure figureOf(int row, int fromRow, std::string_view index, std::string_view kind) {
    const std::string markup = "{" + std::to_string(row) +
                               (fromRow >= 0 ? "-" + std::to_string(fromRow) : "") + "." +
                               std::string(index) + "." + std::string(kind) + "|0}";
    TextWithFigures read = takeFigures(markup, 1);
    EXPECT_EQ(read.problem, "") << markup;
    return read.figures.empty() ? CaseFigure{} : read.figures[0];
}

double valueOf(const Session& session, int row, int fromRow, std::string_view index,
               std::string_view kind) {
    const FigureValue value = figureValue(session, figureOf(row, fromRow, index, kind));
    EXPECT_TRUE(value.ok()) << row << " " << index << " " << kind << ": " << value.problem;
    return value.value;
}

TEST(CaseFigures, KindsOfOneIndexAgreeWithOneAnother) {
    for (const TeachingCase& c : shippedLibrary().cases) {
        SCOPED_TRACE(c.id);
        Session session(ProgramFolder{kExeDir});
        ASSERT_FALSE(session.OpenSimulationFile(kExeDir / "simulations" / (c.id + ".spi")).message);
        // The reference is 100 % of itself in every index it has, and reads z = 0.
        for (const vm::record::RowIndex& index : vm::record::kRowIndices)
            if (index.comparison != vm::record::Comparison::none)
                EXPECT_NEAR(valueOf(session, 0, -1, index.jsonKey, "ref"), 100.0, 1e-9);
        for (const CurveIndexInfo& info : kCurveIndices)
            if ((session.curveIndices(0).*info.member).present())
                EXPECT_NEAR(valueOf(session, 0, -1, info.jsonKey, "ref"), 100.0, 1e-9);
        for (const PredictedIndex& index : kPredictedIndices)
            EXPECT_NEAR(valueOf(session, 0, -1, index.jsonKey, "z"), 0.0, 0.05);
        for (int row = 1; row <= 3; ++row) {
            // "% należnej" is the % of the reference of the reading's own FEV1.
            EXPECT_NEAR(valueOf(session, row, -1, "fev1", "percentPredicted"),
                        valueOf(session, row, -1, "fev1FromTimeZero", "ref"), 1e-6);
            const int from = row % 3 + 1;
            // A change read either way round, and through each of its kinds.
            EXPECT_NEAR(valueOf(session, row, from, "pef", "value"),
                        -valueOf(session, from, row, "pef", "value"), 1e-9);
            EXPECT_NEAR(valueOf(session, row, from, "fvc", "percentPredicted"),
                        valueOf(session, row, -1, "fvc", "percentPredicted") -
                            valueOf(session, from, -1, "fvc", "percentPredicted"),
                        1e-6);
            EXPECT_NEAR(valueOf(session, row, from, "fvc", "ref"),
                        valueOf(session, row, -1, "fvc", "ref") -
                            valueOf(session, from, -1, "fvc", "ref"),
                        1e-6);
            EXPECT_NEAR(valueOf(session, row, from, "tlc", "base"),
                        100.0 * (valueOf(session, row, -1, "tlc", "ref") /
                                     valueOf(session, from, -1, "tlc", "ref") -
                                 1.0),
                        1e-6);
            EXPECT_NEAR(valueOf(session, row, from, "fev1", "measured"),
                        valueOf(session, row, from, "fev1", "model") *
                            valueOf(session, row, -1, "fev1", "predicted") /
                            valueOf(session, 0, -1, "fev1", "model"),
                        1e-9);
        }
    }
}

// What has no value says why rather than giving a number.
TEST(CaseFigures, AFigureWithoutAValueSaysWhy) {
    Session session(ProgramFolder{kExeDir});
    ASSERT_FALSE(
        session.OpenSimulationFile(kExeDir / "simulations" / "odwracalnosc_obturacji.spi").message);
    // The blow of row 2 ends before 6 s without a plateau: it has no FEV6.
    const FigureValue fev6 = figureValue(session, figureOf(2, -1, "fev6", "value"));
    EXPECT_NE(fev6.problem.find("FEV6 of row 2 is empty"), std::string::npos) << fev6.problem;
    const std::vector<std::string> drifted =
        mismatchedFigures(session, {figureOf(2, -1, "fev6", "value"), figureOf(1, -1, "pef", "ref")});
    ASSERT_EQ(drifted.size(), 2u);
    EXPECT_NE(drifted[0].find("{2.fev6.value|0} gives nothing"), std::string::npos) << drifted[0];
    EXPECT_NE(drifted[1].find("{1.pef.ref|0} gives 91"), std::string::npos) << drifted[1];

    Session empty(ProgramFolder{kExeDir});
    empty.InitialiseModel();
    ASSERT_FALSE(empty.LoadStandardRecord().message);
    EXPECT_FALSE(figureValue(empty, figureOf(1, -1, "pef", "value")).ok());
}

// --- Numbers outside the figures ---

// The numbers the texts may quote as plain text: the fixed thresholds of the standards, the
// points of the FVC the flows are read at, the years that name the sources and a few quantities of
// the tests themselves, each with what is written after it ("" for no unit).
struct FixedNumber {
    std::string_view number;
    std::string_view follows;
};
constexpr FixedNumber kFixedNumbers[] = {
    {"−1,645", ""},   {"−1,65", ""},   {"−2,5", ""},    {"−4", ""},      {"0,70", ""},
    {"10", ""},       {"10", "%"},     {"12", "%"},     {"5", "%"},      {"80", "%"},
    {"200", "ml"},    {"25", "ml"},    {"0,150", "l"},  {"0,100", "l"},  {"15", "s"},
    {"6", "s"},       {"400", "µg"},   {"0,025", "l/s"}, {"75", "% FVC"}, {"50", "% FVC"},
    {"25", "% FVC"},  {"1972", ""},    {"2005", ""},    {"2019", ""},    {"2022", ""},
};

// The words that are units when they follow a number.
const std::vector<std::string_view> kUnits = {"%", "ml", "l", "l/s", "s", "µg", "cm", "kg", "lat"};

const std::vector<std::string_view> kSeparators = {", ", " i ", "–", " do ", " a ", " oraz "};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number starting at `at` (digits, a decimal comma with digits), or its length 0.
std::size_t numberLength(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    if (end + 1 < text.size() && text[end] == ',' && isDigit(text[end + 1])) {
        end += 1;
        while (end < text.size() && isDigit(text[end]))
            ++end;
    }
    return end - at;
}

// What follows a number after at most one space.
std::string_view followingText(std::string_view text, std::size_t at) {
    if (text.substr(at).starts_with(" "))
        ++at;
    else if (text.substr(at).starts_with("\u00a0"))
        at += 2;
    return text.substr(std::min(at, text.size()));
}

// The unit written after a number: the word after it when that is a unit, else "".
std::string_view unitAfter(std::string_view text, std::size_t at) {
    text = followingText(text, at);
    at = 0;
    std::size_t end = at;
    while (end < text.size()) {
        if (isLetter(text[end]) || text[end] == '/' || text[end] == '%')
            ++end;
        else if (text.substr(end).starts_with("µ"))
            end += 2;
        else
            break;
    }
    const std::string_view word = text.substr(0, end);
    return std::ranges::find(kUnits, word) != kUnits.end() ? word : std::string_view();
}

// What a plain number of a text is, when it is not a figure of the model.
struct PlainNumber {
    std::string text; // with its sign
    std::string unit;                // the unit written after the list it stands in
    std::string after;               // what follows that list
    bool rowNumber;                  // a record row the text points at
    std::vector<std::string> listed; // it and the numbers listed after it up to that unit
};

// The plain numbers of a text whose figures are taken out.
std::vector<PlainNumber> plainNumbers(std::string_view text) {
    std::vector<PlainNumber> out;
    std::size_t k = 0;
    while (k < text.size()) {
        if (isLetter(text[k])) {
            // A name with digits, FEV1, MEF25 or FEF25–75, is not a number.
            while (k < text.size() && (isLetter(text[k]) || isDigit(text[k]) || text[k] == '%'))
                ++k;
            if (text.substr(k).starts_with("–") && k + 3 < text.size() && isDigit(text[k + 3]))
                for (k += 3; k < text.size() && isDigit(text[k]);)
                    ++k;
            continue;
        }
        if (!isDigit(text[k])) {
            ++k;
            continue;
        }
        std::size_t start = k;
        if (start >= 1 && text[start - 1] == '+')
            start -= 1;
        else if (start >= 3 && text.substr(start - 3, 3) == "−")
            start -= 3;
        PlainNumber number;
        k += numberLength(text, k);
        number.text = text.substr(start, k - start);
        const std::string_view before = text.substr(start >= 24 ? start - 24 : 0,
                                                    std::min<std::size_t>(start, 24));
        number.rowNumber = number.text.size() == 1 && number.text[0] <= '3' &&
                           before.find("wiersz") != std::string_view::npos;
        // The numbers listed up to the unit they share: "400, 600 i 800 %", "120–150 %".
        number.listed.push_back(number.text);
        std::size_t end = k;
        for (bool more = true; more;) {
            more = false;
            for (const std::string_view separator : kSeparators)
                if (text.substr(end).starts_with(separator) &&
                    end + separator.size() < text.size() &&
                    isDigit(text[end + separator.size()])) {
                    const std::size_t at = end + separator.size();
                    const std::size_t length = numberLength(text, at);
                    number.listed.emplace_back(text.substr(at, length));
                    end = at + length;
                    more = true;
                }
        }
        number.unit = unitAfter(text, end);
        number.after = followingText(text, end).substr(0, 16);
        out.push_back(std::move(number));
    }
    return out;
}

std::string withoutFigures(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '{') {
            k = text.find('}', k);
            out += "•";
            if (k == std::string_view::npos)
                break;
            continue;
        }
        out += text[k];
    }
    return out;
}

std::vector<std::string> settingPercents(const TeachingCase& c) {
    std::vector<std::string> out;
    const auto add = [&out](double percent) {
        std::ostringstream text;
        text << percent;
        out.push_back(text.str());
    };
    for (const CaseRun& run : c.runs)
        for (const CaseSetting& setting : run.settings)
            add(setting.percent);
    for (const QuizRange& range : c.quiz) {
        add(range.from.percent);
        add(range.to);
    }
    add(100.0); // every setting a case does not name
    return out;
}

// Whether a plain number may stand in a question, answer or explanation of the case.
bool allowedPlain(const PlainNumber& number, const std::vector<std::string>& settings) {
    if (number.rowNumber)
        return true;
    if (number.unit == "%" && std::ranges::all_of(number.listed, [&](const std::string& n) {
            return std::ranges::find(settings, n) != settings.end();
        }))
        return true;
    return std::ranges::any_of(kFixedNumbers, [&](const FixedNumber& fixed) {
        return fixed.number == number.text &&
               (fixed.follows.empty() ? number.unit.empty()
                                      : number.after.starts_with(fixed.follows));
    });
}

// The library's question, answer and explanation texts as written, figures still in place, each
// with its continued lines and the case and line it starts on.
struct WrittenText {
    std::string caseId;
    std::size_t line;
    std::string text;
};

std::vector<WrittenText> writtenTexts() {
    std::ifstream file(kExeDir / kCaseLibraryFile);
    std::vector<WrittenText> out;
    std::string line, caseId;
    bool checked = false;
    for (std::size_t number = 1; std::getline(file, line); ++number) {
        if (line.starts_with("  ") && checked) {
            out.back().text += " " + line.substr(line.find_first_not_of(' '));
            continue;
        }
        const auto colon = line.find(':');
        const std::string key = line.starts_with("#") ? "" : line.substr(0, colon);
        if (key == "case")
            caseId = line.substr(line.find_first_not_of(' ', colon + 1));
        checked = key == "question" || key == "answer" || key == "explanation";
        if (checked)
            out.push_back({caseId, number, line.substr(colon + 1)});
    }
    return out;
}

TEST(CaseFigures, NoNumberOfTheModelIsQuotedOutsideAFigure) {
    const CaseLibrary library = shippedLibrary();
    const std::vector<WrittenText> texts = writtenTexts();
    ASSERT_GT(texts.size(), 7 * library.cases.size()) << "three questions, answers, explanation";
    for (const WrittenText& written : texts) {
        const TeachingCase* c = library.find(written.caseId);
        ASSERT_NE(c, nullptr) << written.caseId;
        const std::vector<std::string> settings = settingPercents(*c);
        for (const PlainNumber& number : plainNumbers(withoutFigures(written.text)))
            EXPECT_TRUE(allowedPlain(number, settings))
                << "line " << written.line << " (" << written.caseId << "): \"" << number.text
                << (number.unit.empty() ? "" : " ") << number.unit
                << "\" is neither a figure nor a fixed number: " << written.text;
    }
}

// The scanner itself: what it must take for a model's number and what it must let pass.
TEST(CaseFigures, PlainNumbersAreFoundWithTheirUnits) {
    const std::vector<std::string> settings = {"400", "600", "800", "120", "150"};
    const struct {
        std::string_view text;
        std::vector<std::string_view> refused;
    } cases[] = {
        {"PEF 57 % referencji", {"57"}},
        {"z = −1,95 w wierszu 3", {"−1,95"}},
        {"FVC 3,42 l", {"3,42"}},
        {"opór 400, 600 i 800 %, podatność 120–150 %", {}},
        {"PEF 400, 65 i 800 %", {"400", "65"}},
        {"FEV1, MEF25, FEF25–75 i FEV1/FVC", {}},
        {"w wierszach 3, 2 i 1, poniżej −1,645; 10 % wartości należnej", {}},
        {"o 200 ml, a nie 200 l; ATS/ERS 2019 i 2022", {"200"}},
        {"przy 50 i 25 % FVC, a nie 25 % PEF; −4 ciężki, −4 l", {"25", "−4"}},
        {"wiersz 3 ma z = +1,76", {"+1,76"}},
        {"{1.fev1.z|−2,67}", {}},
    };
    for (const auto& [text, refused] : cases) {
        std::vector<std::string> found;
        for (const PlainNumber& number : plainNumbers(withoutFigures(text)))
            if (!allowedPlain(number, settings))
                found.push_back(number.text);
        EXPECT_EQ(found, std::vector<std::string>(refused.begin(), refused.end())) << text;
    }
}

} // namespace

// The case library's strict reader: a small library read field by field, the shipped one whole,
// and hostile texts refused with the line and what is wrong, leaving the library as it was.

#include "session/case_library.h"
#include "session/session.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace vm::session;

namespace {

const std::string kQuestions = "question: Q1?\nanswer: A1.\nquestion: Q2?\nanswer: A2.\n"
                               "question: Q3?\nanswer: A3.\n";

std::string oneCase(const std::string& extra = "", const std::string& runs = "run: cm=90\n") {
    return "case: c1\ntitle: Tytuł\npatient: male 60 170\npattern: mixed\nstory: Historia\n"
           "  dalej.\n" +
           runs + "compare: 0 1\n" + kQuestions + "explanation: E.\n" + extra;
}

TEST(CaseLibrary, ReadsEveryFieldOfACase) {
    CaseLibrary library;
    const auto read =
        parseCaseLibrary("\xEF\xBB\xBF# komentarz\r\n" +
                             oneCase("quiz: right.rCentral=700..2000 global.2=80..50\n",
                                     "run: rIntermediate=400 | sama obturacja\n"
                                     "run: lobe3.ccc=150 global.3=800 left.rCentral=12.5\n"),
                         library);
    ASSERT_TRUE(read.ok) << read.message;
    ASSERT_EQ(library.cases.size(), 1u);
    const TeachingCase& c = library.cases[0];
    EXPECT_EQ(c.story, "Historia dalej.");
    EXPECT_EQ(c.patient.sex, vm::reference::Sex::male);
    EXPECT_EQ(c.pattern, CasePattern::mixed);
    ASSERT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.runs[0].label, "sama obturacja");
    EXPECT_EQ(c.rowOfRun(0), 2);
    const std::vector<CaseSetting> second{{false, vm::record::LungPart::lobe3, 5, 150.0},
                                          {true, 2, 3, 800.0},
                                          {false, vm::record::LungPart::leftLung, 0, 12.5}};
    EXPECT_EQ(c.runs[1].settings, second);
    EXPECT_EQ(c.questions[2].answer, "A3.");
    ASSERT_EQ(c.quiz.size(), 2u);
    EXPECT_EQ(settingName(c.quiz[0].from), "right.rCentral");
    EXPECT_EQ(c.quiz[1].to, 50.0);
    EXPECT_EQ(patientText(c.patient), "mężczyzna, 60 lat, 170 cm");
}

// A figure leaves its shown number in the text every consumer reads, and keeps what it is.
TEST(CaseLibrary, TakesFiguresOutOfTheTextsKeepingWhatEachIs) {
    CaseLibrary library;
    const auto read = parseCaseLibrary(
        oneCase("question: Q4 {1.fvc.percentPredicted|82}?\nanswer: z = {1.fev1.z|−1,75},\n"
                "  MEF25 {1.mef25.ref|42} % i {1-0.fev1FromTimeZero.base|+21} %.\n"),
        library);
    ASSERT_TRUE(read.ok) << read.message;
    const TeachingCase& c = library.cases[0];
    EXPECT_EQ(c.questions[3].question, "Q4 82?");
    EXPECT_EQ(c.questions[3].answer, "z = −1,75, MEF25 42 % i +21 %.");
    using S = FigureSource;
    using K = FigureKind;
    const std::vector<std::tuple<int, int, S, std::string, K, std::string, std::size_t, int, bool>>
        expected = {{1, -1, S::reading, "fvc", K::percentPredicted, "82", 16, 0, false},
                    {1, -1, S::reading, "fev1", K::zScore, "−1,75", 17, 2, false},
                    {1, -1, S::stored, "mef25", K::ofReference, "42", 18, 0, false},
                    {1, 0, S::curve, "fev1FromTimeZero", K::ofBaseline, "+21", 18, 0, true}};
    std::vector<std::tuple<int, int, S, std::string, K, std::string, std::size_t, int, bool>> read_;
    for (const CaseFigure& f : c.figures)
        read_.emplace_back(f.row, f.fromRow, f.source, f.index, f.kind, f.shown, f.line,
                           f.decimals(), f.signShown());
    EXPECT_EQ(read_, expected);
}

TEST(CaseLibrary, RefusesHostileTextsNamingTheLine) {
    const std::string tooLong(kMaxTextBytes + 1, 'x');
    const struct {
        std::string text;
        std::string message;
    } hostile[] = {
        {"", "no case"},
        {"title: x\n", "line 1: \"title\" before"},
        {"case: A\n", "line 1: a case id"},
        {oneCase() + oneCase(), "line 16: a second case \"c1\""},
        {"case: c1\n\xC3\x28\n", "not UTF-8"},
        {"case: c1\ntitle:\tx\n", "line 2: a control character"},
        {"case: c1\n  dalej\n", "line 2: a continued line"},
        {"case: c1\nkolor: x\n", "line 2: unknown key"},
        {"case: c1\nbrak dwukropka\n", "line 2: expected"},
        {"case: c1\ntitle: " + tooLong + "\n", "longer than"},
        {oneCase("title: x\n"), "a second \"title\""},
        {oneCase("", "run: cm=5\n"), "needs a percentage"},
        {oneCase("", "run: cm=nan\n"), "needs a percentage"},
        {oneCase("", "run: cm=1e400\n"), "needs a percentage"},
        {oneCase("", "run: cm\n"), "needs a percentage"},
        {oneCase("", "run: global.4=90\n"), "unknown setting \"global.4\""},
        {oneCase("", "run: .cm=90\n"), "unknown setting"},
        {oneCase("", "run: cm=90 cm=80\n"), "twice"},
        {oneCase("", "run: cm=90\nrun: cm=90\nrun: cm=90\nrun: cm=90\n"), "more than 3 runs"},
        {oneCase("", ""), "no run in case"},
        {oneCase("quiz: cm=90\n"), "NAME=FROM..TO"},
        {oneCase("quiz: cm=90..9999\n"), "percentages"},
        {oneCase("question: Q4?\nquestion: Q5?\n"), "a question without its answer"},
        {oneCase("answer: A?\n"), "an answer without its question"},
        {oneCase("question: Q4?\n"), "the last question without its answer"},
        {oneCase("question: a\nanswer: b\nquestion: c\nanswer: d\nquestion: e\nanswer: f\n"),
         "more than 5 questions"},
        {"case: c1\ntitle: T\npatient: male 2 170\n", "The age 2 years is outside"},
        {"case: c1\ntitle: T\npatient: robot 40 170\n", "female|male"},
        {"case: c1\ncompare: 0 9\n", "0..3"},
        {"case: c1\npattern: asthma\n", "unknown pattern"},
        {"case: c1\ntitle: T\npatient: female 40 160\npattern: normal\nstory: S\nrun: cm=90\n"
         "compare: 0 2\n" +
             kQuestions + "explanation: E\n",
         "only 1 runs"},
        {std::string(kCaseLibraryMaxBytes + 1, '#'), "larger than"},
        // Figures: each names its row, index and kind and shows a number as the texts write it.
        {oneCase("question: Q4?\nanswer: z = {1.fev1.z|−1,2\n"), "line 17: a figure without its"},
        {oneCase("question: Q4?\nanswer: {1.fev1.z|{1}\n"), "line 17: a figure without its"},
        {oneCase("question: Q4?\nanswer: a } alone\n"), "line 17: a } without its {"},
        {oneCase("question: Q4?\nanswer: {1.fev1.z}\n"), "is {ROW.INDEX.KIND|SHOWN}"},
        {oneCase("question: Q4?\nanswer: {1.fev1|2}\n"), "is {ROW.INDEX.KIND|SHOWN}"},
        {oneCase("question: Q4?\nanswer: {4.fev1.z|1}\n"), "row is 0..3"},
        {oneCase("question: Q4?\nanswer: {1-1.fev1.value|1}\n"), "row is 0..3"},
        {oneCase("question: Q4?\nanswer: {1.fev1.zz|1}\n"), "unknown kind of figure \"zz\""},
        {oneCase("question: Q4?\nanswer: {1.pef.z|1}\n"), "no index \"pef\" for \"z\""},
        {oneCase("question: Q4?\nanswer: {1.fev7.value|1}\n"), "no index \"fev7\""},
        {oneCase("question: Q4?\nanswer: {1.fev1.base|1}\n"), "a change between two rows"},
        {oneCase("question: Q4?\nanswer: {1-0.fev1.z|1}\n"), "has no change"},
        {oneCase("question: Q4?\nanswer: {1.fev1.z|-1,2}\n"), "shows a number like"},
        {oneCase("question: Q4?\nanswer: {1.fev1.z|1.2}\n"), "shows a number like"},
        {oneCase("question: Q4?\nanswer: {1.fev1.z|}\n"), "shows a number like"},
        {oneCase("question: Q4?\nanswer: {2.fev1.z|1}\n"), "line 17 names row 2, but only 1"},
        {oneCase("question: Q4?\nanswer: A\n  {1.fev1.z|−1,2\n"), "line 18: a figure without"},
        {"case: c1\ntitle: {1.fev1.z|1}\n", "line 2: braces stand only for a figure"},
        {oneCase("", "run: cm=90 | {1.fev1.z|1}\n"), "line 7: braces stand only"},
    };
    for (const auto& [text, message] : hostile) {
        SCOPED_TRACE(text.substr(0, 60));
        CaseLibrary library;
        library.cases.emplace_back().id = "kept";
        const auto read = parseCaseLibrary(text, library);
        EXPECT_FALSE(read.ok);
        EXPECT_NE(read.message.find(message), std::string::npos) << read.message;
        ASSERT_EQ(library.cases.size(), 1u);
        EXPECT_EQ(library.cases[0].id, "kept");
    }
}

// The library the program ships: every case whole, with its simulation file beside it, which
// reads its results for the case's patient.
TEST(CaseLibrary, TheShippedLibraryHoldsElevenCasesOrMoreEachWithItsFile) {
    const std::filesystem::path exeDir = VM_RUNTIME_DIR;
    CaseLibrary library;
    const auto read = loadCaseLibrary(exeDir / kCaseLibraryFile, library);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_GE(library.cases.size(), 11u);
    for (const TeachingCase& c : library.cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(c.runs.size(), kMaxRuns) << "the row grid's three results";
        Session session{ProgramFolder{exeDir}};
        ASSERT_FALSE(session.OpenSimulationFile(exeDir / "simulations" / (c.id + ".spi")).message);
        EXPECT_EQ(session.readingPatient().origin, PatientOrigin::stored);
        EXPECT_EQ(patientOption(session.patient()), patientOption(c.patient));
    }
    TempFolder folder;
    writeFileBytes(folder / "big.txt", std::string(kCaseLibraryMaxBytes + 1, '#'));
    EXPECT_FALSE(loadCaseLibrary(folder / "big.txt", library).ok);
    EXPECT_FALSE(loadCaseLibrary(folder / "missing.txt", library).ok);
}

} // namespace

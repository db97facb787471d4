// The one reading of a result: the reference reads as anyone's predicted values, a result as its
// share of the reference times them; the quiz's key and a file the quiz wrote read the same;
// the patient in Polish.

#include "session/result_reading.h"
#include "session/session.h"
#include "session/unknown_patient.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vm::record;
using namespace vm::reference;
using namespace vm::session;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

// Across the equations' range, at their edges too: the reference is z = 0 and 100 % for FEV1, FVC
// and FEV1/FVC, and a narrowed result's "% należnej" is its share of the reference's value.
TEST(ResultReading, TheReferenceIsThePredictedValueOfEveryPatient) {
    Session session{ProgramFolder{kExeDir}};
    session.InitialiseModel();
    ASSERT_FALSE(session.LoadStandardRecord().message);
    session.SetPartSetting(LungPart::bothLungs, SettingColumn::rIntermediate, 400.0);
    session.StartSimulation({});
    const IndexValues result = session.indices(workingRow);
    const IndexValues reference = session.indices(referenceRow);
    const auto ratio = [&](std::size_t index) {
        return result[index].value / reference[index].value;
    };
    const std::size_t fev1 = indexNamed("fev1FromTimeZero");
    const std::size_t fvc = indexNamed("fvc");
    const double share[] = {ratio(fev1), ratio(fvc), ratio(fev1) / ratio(fvc)};
    for (const Sex sex : {Sex::female, Sex::male})
        for (const double age : {3.0, 6.5, 18.0, 40.0, 66.25, 95.0})
            for (const double height : {100.0, 152.5, 200.0, 250.0}) {
                SCOPED_TRACE(patientOption({sex, age, height}));
                ASSERT_FALSE(session.SetPatient({sex, age, height}).message);
                const ResultReading ofReference = session.readResult(referenceRow);
                const ResultReading ofResult = session.readResult(workingRow);
                ASSERT_TRUE(ofReference.ok() && ofResult.ok()) << ofResult.problem;
                for (std::size_t k = 0; k < kPredictedIndices.size(); ++k) {
                    EXPECT_NEAR(ofReference.indices[k].zScore, 0.0, 1e-9);
                    EXPECT_NEAR(ofReference.indices[k].percentPredicted, 100.0, 1e-9);
                    EXPECT_NEAR(ofResult.indices[k].percentPredicted, 100.0 * share[k], 1e-9);
                    EXPECT_NEAR(ofResult.indices[k].measured,
                                share[k] * ofResult.indices[k].predicted, 1e-9);
                }
                EXPECT_EQ(ofReference.reading.pattern, SpirometryPattern::normal);
            }
}

// The quiz's key, and the file it writes opened by another session, give one patient, pattern
// and severity: what "Interpretacja" shows for the file is the key.
TEST(ResultReading, AQuizFileReadsAsItsKeyForFortySeeds) {
    CaseLibrary library;
    ASSERT_TRUE(loadCaseLibrary(kExeDir / kCaseLibraryFile, library).ok);
    TempFolder folder;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        Session session{ProgramFolder{kExeDir}};
        session.InitialiseModel();
        ASSERT_FALSE(session.UseReferenceFrom(session.folder().standardRecord()).message);
        UnknownPatientQuiz quiz(session);
        ASSERT_EQ(quiz.Draw(library, seed), "");
        session.StartSimulation({});
        ASSERT_EQ(quiz.ReadResult(), "");
        const auto file = folder / "quiz.spi";
        ASSERT_FALSE(session.WriteRecordTo(file).message);

        Session opened{ProgramFolder{kExeDir}};
        ASSERT_FALSE(opened.OpenSimulationFile(file).message);
        EXPECT_EQ(opened.readingPatient().origin, PatientOrigin::stored);
        EXPECT_EQ(patientOption(opened.patient()),
                  patientOption(quiz.draw().teachingCase->patient));
        const ResultReading read = opened.readResult(workingRow);
        EXPECT_EQ(read.reading.pattern, quiz.key()->reading.reading.pattern);
        EXPECT_EQ(read.reading.severity, quiz.key()->severity);
        EXPECT_EQ(read.indices[0].zScore, quiz.key()->reading.indices[0].zScore);
    }
}

TEST(ResultReading, ThePatientInPolish) {
    const struct {
        Patient patient;
        const char* text;
    } cases[] = {
        {{Sex::female, 40, 165}, "kobieta, 40 lat, 165 cm"},
        {{Sex::male, 22, 181.5}, "mężczyzna, 22 lata, 181,5 cm"},
        {{Sex::female, 3, 100}, "kobieta, 3 lata, 100 cm"},
        {{Sex::male, 12, 150}, "mężczyzna, 12 lat, 150 cm"},
        {{Sex::male, 14, 160}, "mężczyzna, 14 lat, 160 cm"},
        {{Sex::female, 44, 170}, "kobieta, 44 lata, 170 cm"},
        {{Sex::female, 40.5, 165.5}, "kobieta, 40,5 roku, 165,5 cm"},
        {{Sex::male, 95, 250}, "mężczyzna, 95 lat, 250 cm"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(patientText(c.patient), c.text);
    EXPECT_EQ(polishYears(1), "1 rok");
    EXPECT_EQ(polishYears(112), "112 lat");
    EXPECT_EQ(polishYears(122), "122 lata");
}

} // namespace

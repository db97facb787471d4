// The unknown patient: the draw every machine makes for a seed, the answer key of each quiz case
// at both ends of its range read by the ATS/ERS 2022 rules, and a whole quiz on a session.

#include "reference/gli_global_2022.h"
#include "session/hidden_settings.h"
#include "session/unknown_patient.h"

#include <gtest/gtest.h>

#include <set>

using namespace vm::record;
using namespace vm::reference;
using namespace vm::session;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;

CaseLibrary shippedLibrary() {
    CaseLibrary library;
    EXPECT_TRUE(loadCaseLibrary(kExeDir / kCaseLibraryFile, library).ok);
    return library;
}

// A session on the standard reference with the model settled, as the runner's quiz starts.
struct Runner {
    Session session{ProgramFolder{kExeDir}};
    Runner() {
        session.InitialiseModel();
        EXPECT_FALSE(session.UseReferenceFrom(session.folder().standardRecord()).message);
    }
    double ofReference(RowField field) const {
        return session.record().field(workingRow, field) /
               session.record().field(referenceRow, field);
    }
};

// The standard fixes std::mt19937's numbers: seeded 5489 it gives 3499211612, then 581869302.
// Of six quiz cases the first picks 3499211612 % 6 = 2, the second the level 581869302 % 5 = 2,
// the middle of each range, rounded half away from zero.
TEST(UnknownPatient, ASeedDrawsWhatTheEnginesStandardNumbersSay) {
    CaseLibrary library;
    for (int k = 0; k < 7; ++k) {
        TeachingCase& c = library.cases.emplace_back();
        c.id = "c" + std::to_string(k);
        if (k != 1)
            c.quiz = {{{false, LungPart::bothLungs, SettingColumn::cm, 60.0}, 150.0},
                      {{true, LungPart::bothLungs, GlobalItem::inspiratoryEffort, 75.0}, 50.0}};
    }
    const auto draw = drawUnknownPatient(library, 5489);
    ASSERT_TRUE(draw);
    EXPECT_EQ(draw->teachingCase->id, "c3");
    EXPECT_EQ(draw->level, 2);
    ASSERT_EQ(draw->settings.size(), 2u);
    EXPECT_EQ(draw->settings[0].percent, 105.0);
    EXPECT_EQ(draw->settings[1].percent, 63.0);
    EXPECT_FALSE(drawUnknownPatient(CaseLibrary{}, 1));
}

TEST(UnknownPatient, TwentySeedsDrawFiveCasesOrMoreTheSameEachTime) {
    const CaseLibrary library = shippedLibrary();
    std::set<std::string> drawn;
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        const auto first = drawUnknownPatient(library, seed);
        const auto again = drawUnknownPatient(library, seed);
        ASSERT_TRUE(first && again);
        EXPECT_EQ(first->teachingCase, again->teachingCase);
        EXPECT_EQ(first->settings, again->settings);
        drawn.insert(first->teachingCase->id);
    }
    EXPECT_GE(drawn.size(), 5u);
}

// Each quiz case at the mildest and the most severe end of its range: a valid run whose reading
// for the case's patient by the 2022 rules is the pattern the key names, graded at the severe end
// where the pattern is graded.
TEST(UnknownPatient, EveryQuizRangeShowsItsPatternAtBothEnds) {
    const CaseLibrary library = shippedLibrary();
    for (const TeachingCase* c : quizCases(library)) {
        for (const bool severest : {false, true}) {
            SCOPED_TRACE(c->id + (severest ? " most severe" : " mildest"));
            Runner r;
            for (const QuizRange& range : c->quiz) {
                CaseSetting s = range.from;
                s.percent = severest ? range.to : s.percent;
                if (s.global)
                    r.session.SetGlobalSetting(s.index, s.percent);
                else
                    r.session.SetPartSetting(LungPart(s.part), SettingColumn(s.index), s.percent);
            }
            r.session.SetPatient(c->patient);
            r.session.StartSimulation({});
            const auto key = readQuizKey(*c, r.session.readHiddenResult(workingRow));
            ASSERT_TRUE(key);
            const SpirometryPattern read = key->reading.reading.pattern;
            const double tlc = r.ofReference(RowField::tlc);
            const double frc = r.ofReference(RowField::frc);
            switch (c->pattern) {
            case CasePattern::obstruction:
                EXPECT_EQ(read, SpirometryPattern::obstruction);
                break;
            case CasePattern::restriction:
                EXPECT_TRUE(read == SpirometryPattern::nonSpecific && tlc < 0.8);
                break;
            case CasePattern::mixed:
                EXPECT_TRUE(read == SpirometryPattern::obstructionWithLowFvc && tlc < 0.8);
                break;
            case CasePattern::upperAirway:
                EXPECT_TRUE(read == SpirometryPattern::normal &&
                            r.ofReference(RowField::pef) < 0.6);
                break;
            case CasePattern::normal:
                EXPECT_EQ(read, SpirometryPattern::normal);
                break;
            case CasePattern::poorTechnique: // healthy lungs, a test that is not their measure
                EXPECT_TRUE(std::abs(frc - 1.0) < 0.01 && r.ofReference(RowField::pef) < 0.85);
                break;
            }
            const bool graded = c->pattern == CasePattern::obstruction ||
                                c->pattern == CasePattern::restriction ||
                                c->pattern == CasePattern::mixed;
            if (severest && graded)
                EXPECT_NE(key->severity, Severity::none) << keyText(*key);
            EXPECT_EQ(key->severity, key->reading.reading.severity);
        }
    }
}

TEST(UnknownPatient, AQuizHidesThePatientKeepsTheStudentsSettingsAndCountsTheAnswers) {
    const CaseLibrary library = shippedLibrary();
    Runner r;
    r.session.SetPartSetting(LungPart::bothLungs, SettingColumn::cm, 90.0);
    const RecordState before = r.session.state();
    UnknownPatientQuiz quiz(r.session);
    ASSERT_EQ(quiz.Draw(library, 7), "");
    EXPECT_EQ(r.session.hiddenSettingsRow(), workingRow);
    r.session.StartSimulation({});
    ASSERT_EQ(quiz.ReadResult(), "");
    EXPECT_EQ(r.session.state().currentPartSettings, before.currentPartSettings);
    EXPECT_EQ(r.session.state().currentGlobalSettings, before.currentGlobalSettings);
    for (const CaseSetting& s : quiz.draw().settings)
        EXPECT_EQ(s.global ? r.session.record().globalSetting(workingRow, s.index)
                           : r.session.record().partSetting(workingRow, s.part, s.index),
                  s.percent);
    vm::data::TextGrid grid(11, 5);
    r.session.FillGridRow(grid, 1, workingRow, ',');
    EXPECT_EQ(grid.cell(0, 1), "   ?");
    EXPECT_TRUE(findHiddenSettings(r.session).empty()) << "the notice gives nothing away";

    const QuizKey key = *quiz.key();
    const std::string right = quiz.Answer(key.pattern, key.severity);
    EXPECT_NE(right.find("Rozpoznanie: dobrze. Stopień: dobrze."), std::string::npos) << right;
    EXPECT_NE(right.find(settingText(quiz.draw().settings[0])), std::string::npos);
    const auto other = CasePattern((static_cast<int>(key.pattern) + 1) % kCasePatternCount);
    EXPECT_NE(quiz.Answer(other, key.severity).find("Rozpoznanie: źle. Stopień: dobrze."),
              std::string::npos);
    EXPECT_EQ(quiz.score().answered, 2);
    EXPECT_EQ(quiz.score().patternsRight, 1);
    EXPECT_EQ(quiz.score().severitiesRight, 2);
    EXPECT_TRUE(quiz.Reveal().resultLines);
    EXPECT_EQ(r.session.hiddenSettingsRow(), -1);
}

} // namespace

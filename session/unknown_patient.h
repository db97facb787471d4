#pragma once
// The unknown-patient quiz: a case of the library and a severity within the case's range are
// drawn, run as the newest result with its settings hidden, and the student names the pattern and
// its severity. The answer key reads the result against the case's patient, the reference standing
// for the patient's predicted values, by the ATS/ERS 2022 rules on the GLI Global 2022 equations.
// The same seed draws the same patient on every machine, so a teacher can give a class one number.

#include "reference/gli_spline_table.h"
#include "reference/spirometry_reading.h"
#include "session/case_library.h"
#include "session/session.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm::session {

using reference::Severity;

// The severities a case's range is cut into, mildest first.
inline constexpr int kQuizLevels = 5;

struct QuizDraw {
    const TeachingCase* teachingCase = nullptr;
    int level = 0;                     // 0 .. kQuizLevels - 1
    std::vector<CaseSetting> settings; // all others at 100 %
};

// The cases the quiz draws from: those with a quiz range, in the library's order.
std::vector<const TeachingCase*> quizCases(const CaseLibrary& library);

// std::mt19937's numbers are fixed by the standard; the standard library's distributions are not,
// so the draw makes its own. None when no case has a quiz range.
std::optional<QuizDraw> drawUnknownPatient(const CaseLibrary& library, std::uint32_t seed);

struct QuizKey {
    CasePattern pattern = CasePattern::normal;
    Severity severity = Severity::none; // none: the pattern is not graded, or FEV1 is normal
    bool gradedByFvc = false;           // a restriction is graded by the FVC, the others by FEV1
    reference::SpirometryZScores z;     // for the case's patient
};

// The key of the result in record row `row`: its FEV1, FVC and FEV1/FVC as fractions of the
// reference's, taken as fractions of the patient's predicted values. A row without a valid run
// gives none.
std::optional<QuizKey> readQuizKey(const TeachingCase& teachingCase,
                                   const record::SimulationRecord& record, int row,
                                   const reference::GliSplineTable& table);

std::string_view severityText(Severity severity); // "nie dotyczy", "łagodny" ...
// "obturacja, umiarkowany (FEV1 z = −2,80)"
std::string keyText(const QuizKey& key);

struct QuizScore {
    int answered = 0;
    int patternsRight = 0;
    int severitiesRight = 0;
};

// One quiz after another on a session, with the score of them all.
class UnknownPatientQuiz {
  public:
    explicit UnknownPatientQuiz(Session& session);
    ~UnknownPatientQuiz();

    // Draws for seed and makes the patient's settings current, keeping the student's: the next
    // START runs the patient into record row 1, whose settings stay hidden. Empty on success,
    // else why there is no patient.
    std::string Draw(const CaseLibrary& library, std::uint32_t seed);
    // After START: the student's settings current again and the key read from row 1. Empty on
    // success, else why there is no key.
    std::string ReadResult();
    // The student's answer against the key, counted in the score; the text says what was right,
    // explains the case and reveals the patient's settings.
    std::string Answer(CasePattern pattern, Severity severity);
    // The patient's settings shown again in the row grid.
    ViewChanges Reveal();

    bool drawn() const { return draw_.teachingCase != nullptr; }
    const QuizDraw& draw() const { return draw_; }
    const std::optional<QuizKey>& key() const { return key_; }
    const QuizScore& score() const { return score_; }
    std::uint32_t seed() const { return seed_; }

  private:
    Session& session_;
    std::unique_ptr<reference::GliSplineTable> table_; // read at the first key
    QuizDraw draw_;
    std::uint32_t seed_ = 0;
    std::optional<QuizKey> key_;
    record::RecordState saved_; // the student's own settings while the patient runs
    QuizScore score_;
};

} // namespace vm::session

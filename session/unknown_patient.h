#pragma once
// The unknown-patient quiz: a case of the library and a severity within the case's range are
// drawn, run as the newest result with its settings hidden, and the student names the pattern and
// its severity. The patient is the case's, and the key is the program's one reading of the result
// for that patient (session/result_reading.h), so "Interpretacja" and the report say the same once
// the student has answered.
// The same seed draws the same patient on every machine, so a teacher can give a class one number.

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
    CasePattern pattern = CasePattern::normal; // the case's, which the student names
    Severity severity = Severity::none;        // the reading's, by the FEV1 z-score
    ResultReading reading;                     // for the case's patient
};

// The key of a result read for the case's patient; none when the reading could not be made.
std::optional<QuizKey> readQuizKey(const TeachingCase& teachingCase, const ResultReading& reading);

std::string_view severityText(Severity severity); // "nie dotyczy", "łagodny" ...
// "obturacja, umiarkowany (FEV1 z = −2,80)"
std::string keyText(const QuizKey& key);

struct QuizScore {
    int answered = 0; // skipped ones included
    int skipped = 0;
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
    // The question closed unanswered: counted as skipped, and the key shown as after an answer.
    std::string Skip();
    // The patient's settings shown again in the row grid.
    ViewChanges Reveal();

    bool drawn() const { return draw_.teachingCase != nullptr; }
    const QuizDraw& draw() const { return draw_; }
    const std::optional<QuizKey>& key() const { return key_; }
    const QuizScore& score() const { return score_; }
    std::uint32_t seed() const { return seed_; }

  private:
    std::string keyAndCase(const std::string& verdict) const;

    Session& session_;
    QuizDraw draw_;
    std::uint32_t seed_ = 0;
    std::optional<QuizKey> key_;
    record::RecordState saved_; // the student's own settings while the patient runs
    QuizScore score_;
};

} // namespace vm::session

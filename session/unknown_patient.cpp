#include "session/unknown_patient.h"

#include "reference/gli_global_2022.h"
#include "session/hidden_settings.h"
#include "session/results_table.h"

#include <cmath>
#include <random>

using namespace vm::record;
using namespace vm::reference;

namespace vm::session {

namespace {

// 0 .. count - 1, each equally likely: the engine's numbers past the last whole multiple of
// count are drawn again.
std::uint32_t below(std::mt19937& engine, std::uint32_t count) {
    constexpr std::uint64_t kRange = std::uint64_t{1} << 32;
    const std::uint64_t accepted = kRange - kRange % count;
    for (;;) {
        const std::uint64_t x = engine();
        if (x < accepted)
            return static_cast<std::uint32_t>(x % count);
    }
}

std::string zText(double z) {
    // The minus sign a reader expects rather than a hyphen.
    const std::string digits = formatNumber(std::abs(z), 3, 2, ',');
    return (z < 0 ? "−" : "") + digits;
}

std::string rightOrWrong(bool right) {
    return right ? "dobrze" : "źle";
}

} // namespace

std::vector<const TeachingCase*> quizCases(const CaseLibrary& library) {
    std::vector<const TeachingCase*> pool;
    for (const TeachingCase& c : library.cases)
        if (!c.quiz.empty())
            pool.push_back(&c);
    return pool;
}

std::optional<QuizDraw> drawUnknownPatient(const CaseLibrary& library, std::uint32_t seed) {
    const std::vector<const TeachingCase*> pool = quizCases(library);
    if (pool.empty())
        return std::nullopt;
    std::mt19937 engine(seed);
    QuizDraw draw;
    draw.teachingCase = pool[below(engine, static_cast<std::uint32_t>(pool.size()))];
    draw.level = static_cast<int>(below(engine, kQuizLevels));
    const double t = static_cast<double>(draw.level) / (kQuizLevels - 1);
    for (const QuizRange& range : draw.teachingCase->quiz) {
        CaseSetting setting = range.from;
        setting.percent = static_cast<double>(
            std::lround(range.from.percent + (range.to - range.from.percent) * t));
        draw.settings.push_back(setting);
    }
    return draw;
}

std::optional<QuizKey> readQuizKey(const TeachingCase& teachingCase, const ResultReading& reading) {
    if (!reading.ok())
        return std::nullopt;
    return QuizKey{teachingCase.pattern, reading.reading.severity, reading};
}

std::string_view severityText(Severity severity) {
    return severity == Severity::none ? "nie dotyczy" : reference::polishGradeText(severity);
}

std::string keyText(const QuizKey& key) {
    return std::string(patternText(key.pattern)) +
           ", stopień: " + std::string(severityText(key.severity)) +
           " (FEV1 z = " + zText(key.reading.indices[0].zScore) +
           "; FEV1/FVC z = " + zText(key.reading.indices[2].zScore) +
           "); odczyt: " + key.reading.readingText;
}

UnknownPatientQuiz::UnknownPatientQuiz(Session& session) : session_(session) {}

UnknownPatientQuiz::~UnknownPatientQuiz() = default;

std::string UnknownPatientQuiz::Draw(const CaseLibrary& library, std::uint32_t seed) {
    const std::optional<QuizDraw> drawn = drawUnknownPatient(library, seed);
    if (!drawn)
        return "Biblioteka przypadków nie ma przypadku do losowania.";
    draw_ = *drawn;
    seed_ = seed;
    key_.reset();
    saved_ = session_.state();
    for (int p = 0; p < layout::kParts; ++p)
        for (int c = 0; c < layout::kSettingColumns; ++c)
            session_.SetPartSetting(LungPart(p), SettingColumn(c), 100.0);
    for (int i = 0; i < layout::kGlobalItems; ++i)
        session_.SetGlobalSetting(i, 100.0);
    for (const CaseSetting& s : draw_.settings) {
        if (s.global)
            session_.SetGlobalSetting(s.index, s.percent);
        else
            session_.SetPartSetting(LungPart(s.part), SettingColumn(s.index), s.percent);
    }
    session_.SetPatient(draw_.teachingCase->patient, PatientOrigin::drawn);
    session_.HideRowSettings(workingRow);
    return {};
}

std::string UnknownPatientQuiz::ReadResult() {
    for (int p = 0; p < layout::kParts; ++p)
        for (int c = 0; c < layout::kSettingColumns; ++c)
            session_.SetPartSetting(LungPart(p), SettingColumn(c),
                                    saved_.currentPartSettings[p][c]);
    for (int i = 0; i < layout::kGlobalItems; ++i)
        session_.SetGlobalSetting(i, saved_.currentGlobalSettings[i]);
    const ResultReading reading = session_.readHiddenResult(workingRow);
    key_ = readQuizKey(*draw_.teachingCase, reading);
    if (!key_)
        return "Wynik nieznanego pacjenta nie daje się odczytać: " + reading.problem;
    return {};
}

std::string UnknownPatientQuiz::Answer(CasePattern pattern, Severity severity) {
    const bool patternRight = key_ && pattern == key_->pattern;
    const bool severityRight = key_ && severity == key_->severity;
    score_.answered += 1;
    score_.patternsRight += patternRight ? 1 : 0;
    score_.severitiesRight += severityRight ? 1 : 0;
    return keyAndCase("Rozpoznanie: " + rightOrWrong(patternRight) +
                      ". Stopień: " + rightOrWrong(severityRight) + ".");
}

std::string UnknownPatientQuiz::Skip() {
    score_.answered += 1;
    score_.skipped += 1;
    return keyAndCase("Pytanie pominięte.");
}

std::string UnknownPatientQuiz::keyAndCase(const std::string& verdict) const {
    const TeachingCase& c = *draw_.teachingCase;
    std::string settings;
    for (const CaseSetting& s : draw_.settings)
        settings += (settings.empty() ? "" : "; ") + settingText(s);
    return verdict + "\n\nKlucz: " + (key_ ? keyText(*key_) : "brak") + ".\n\nPrzypadek „" +
           c.title + "” (" + patientText(c.patient) + "). " + c.explanation +
           "\n\nNastawy pacjenta: " + settings + ".\n\nWynik w tej sesji: rozpoznanie " +
           std::to_string(score_.patternsRight) + " z " + std::to_string(score_.answered) +
           ", stopień " + std::to_string(score_.severitiesRight) + " z " +
           std::to_string(score_.answered) +
           (score_.skipped > 0 ? " (pominięte: " + std::to_string(score_.skipped) + ")" : "") + ".";
}

ViewChanges UnknownPatientQuiz::Reveal() {
    session_.HideRowSettings(-1);
    ViewChanges changes;
    changes.resultLines = true;
    return changes;
}

} // namespace vm::session

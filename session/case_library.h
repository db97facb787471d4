#pragma once
// The library of teaching cases: for each case a patient with a short story, the runs its
// simulation file holds, the rows to compare, the questions with their answers and an
// explanation, and for the unknown-patient quiz the range its settings are drawn from. It is one
// UTF-8 text file beside simulations/ ("cases/teaching-cases.txt"), read by the window and the
// runner alike; the build makes each case's simulation file from it.
//
// The file is a list of "key: value" lines; a line starting with two spaces continues the text
// before it, "#" starts a comment line. "case: ID" opens a case, followed by its title, patient
// ("female|male AGE HEIGHT", years and cm), pattern, story, one to three run lines (the settings
// as the runner names them, NAME=PCT, optionally "| a label"), compare (the record rows to look
// at), three to five question and answer pairs, the explanation and, where the case is drawn in
// the quiz, "quiz: NAME=FROM..TO ...".

#include "record/file_layer.h"
#include "record/vocabulary.h"
#include "reference/patient.h"
#include "session/result_reading.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::session {

inline constexpr std::string_view kCaseLibraryFile = "cases/teaching-cases.txt";
// The shipped library is tens of kilobytes; anything far larger is not a case library.
inline constexpr std::uintmax_t kCaseLibraryMaxBytes = 1u << 20;
inline constexpr std::size_t kMaxCases = 100;
inline constexpr std::size_t kMaxTextBytes = 4000; // one text after its continuation lines
inline constexpr std::size_t kMaxRuns = 3;         // the results the row grid shows
inline constexpr std::size_t kFewestQuestions = 3;
inline constexpr std::size_t kMostQuestions = 5;

// What a reader of the result should call it; the quiz's choices.
enum class CasePattern { normal, obstruction, restriction, mixed, upperAirway, poorTechnique };
inline constexpr int kCasePatternCount = 6;

// One setting a case changes: a column of a lung part, or one of the global items the model
// reads, in percent of the reference.
struct CaseSetting {
    bool global = false;
    int part = record::kEditedPart; // for a column
    int index = 0;                  // the column or the item
    double percent = 100.0;
    bool operator==(const CaseSetting&) const = default;
};

struct CaseRun {
    std::vector<CaseSetting> settings; // all others at 100 %
    std::string label;                 // what the run stands for, may be empty
};

struct CaseQuestion {
    std::string question;
    std::string answer;
};

// A setting the quiz draws between two values, both ends included.
struct QuizRange {
    CaseSetting from; // its percent is the mildest value
    double to = 100.0;
};

struct TeachingCase {
    std::string id; // also the simulation file's name, simulations/ID.spi
    std::string title;
    reference::Patient patient;
    CasePattern pattern = CasePattern::normal;
    std::string story;
    std::vector<CaseRun> runs;    // in the order START runs them: the last one ends up in row 1
    std::vector<int> compareRows; // record rows, 0 the reference
    std::vector<CaseQuestion> questions;
    std::string explanation;
    std::vector<QuizRange> quiz; // empty: never drawn as the unknown patient

    // The record row run k (0-based) ends up in once every run is done.
    int rowOfRun(std::size_t k) const { return static_cast<int>(runs.size() - k); }
};

struct CaseLibrary {
    std::vector<TeachingCase> cases;
    const TeachingCase* find(std::string_view id) const;
};

// Parses the library's text strictly: valid UTF-8, no control characters but line ends, known
// keys in their places, every value in range. On failure the message names the line and what is
// wrong, and the library is left as it was.
record::FileResult parseCaseLibrary(std::string_view text, CaseLibrary& library);

// Reads and parses the file; an oversized or unreadable file gets the file layer's message.
record::FileResult loadCaseLibrary(const std::filesystem::path& path, CaseLibrary& library);

// The runner's name of a case setting: "rIntermediate", "right.rCentral", "global.2".
std::string settingName(const CaseSetting& setting);
// A runner's name as a case setting (without its value); none for a name the model does not read.
std::optional<CaseSetting> settingNamed(std::string_view name);

// The program's Polish words and the JSON keys.
std::string_view patternText(CasePattern pattern);
std::string_view patternKey(CasePattern pattern);

} // namespace vm::session

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
//
// A number the model gives is written in a story, question, answer or explanation as a figure,
// {ROW.INDEX.KIND|SHOWN}: "{3.fev1PctFvc.z|−1,95}" shows "−1,95" and says that it is the z-score
// of FEV1/FVC in record row 3. ROW is 0..3, or "N-M" for the change from row M to row N; INDEX
// and KIND are the runner's JSON names (see kFigureKinds). Every consumer gets the shown text;
// the figures are kept so that a test can hold each one to the model (session/case_figures.h).
// Braces stand for nothing else in the file.

#include "record/file_layer.h"
#include "record/vocabulary.h"
#include "reference/patient.h"
#include "session/result_reading.h"

#include <array>
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

// What a figure quotes of its index, by the runner's JSON names.
enum class FigureKind {
    value,            // the index in its unit
    ofReference,      // "ref": % of the reference row's value, the results table's "%"
    ofBaseline,       // "base": a change as % of the value it starts from
    model,            // the reading's FEV1, FVC or FEV1/FVC: the model's own value
    measured,         // scaled to the patient, the interpretation's "Pacjent"
    predicted,        // the patient's predicted value
    lln,              // lower limit of normal
    uln,              // upper limit of normal
    zScore,           // "z"
    percentPredicted, // "% należnej"; of a change, the change as % of the predicted value
};

// Where a figure's index comes from: the row's stored indices (record/vocabulary.h), the indices
// read from its curves (model/curve_indices.h) or the reading for the patient (FEV1, FVC,
// FEV1/FVC, session/result_reading.h).
enum class FigureSource { stored, curve, reading };

struct FigureKindInfo {
    FigureKind kind;
    std::string_view key;
    bool ofReading; // reads the reading's FEV1, FVC or FEV1/FVC; else a stored or curve index
    bool ofOneRow;  // may quote a single row
    bool ofChange;  // may quote the change between two rows
};

inline constexpr std::array<FigureKindInfo, 10> kFigureKinds{{
    {FigureKind::value, "value", false, true, true},
    {FigureKind::ofReference, "ref", false, true, true},
    {FigureKind::ofBaseline, "base", false, false, true},
    {FigureKind::model, "model", true, true, true},
    {FigureKind::measured, "measured", true, true, true},
    {FigureKind::predicted, "predicted", true, true, false},
    {FigureKind::lln, "lln", true, true, false},
    {FigureKind::uln, "uln", true, true, false},
    {FigureKind::zScore, "z", true, true, false},
    {FigureKind::percentPredicted, "percentPredicted", true, true, true},
}};

// A number of the model quoted in a text, as written in the library.
struct CaseFigure {
    int row = 1;
    int fromRow = -1; // the change from this row to `row`; -1 for the row's own value
    FigureSource source = FigureSource::stored;
    std::size_t slot = 0; // its line in record::kIndices or kPredictedIndices
    std::string index;    // the JSON key written
    FigureKind kind = FigureKind::value;
    std::string shown;    // as the text shows it: "−1,95", "+1,76", "13"
    std::size_t line = 0; // the library's line it stands on
    std::string markup;   // the whole figure as written, for messages

    int decimals() const;   // the digits after the decimal comma of `shown`
    bool signShown() const; // `shown` carries a "+" of a positive number
};

// The figures of one line's text, taken out: the shown text, or what is wrong with a figure.
struct TextWithFigures {
    std::string text;
    std::string unmarked; // the text with "•" where each figure stands
    std::vector<CaseFigure> figures;
    std::string problem;
};
TextWithFigures takeFigures(std::string_view text, std::size_t line);

// A number written as plain text, outside the figures: a record row, a setting of the case, a
// fixed threshold of the standards, or a number of the model that should have been a figure
// (session/case_figures.h tells which).
struct PlainNumber {
    std::size_t line = 0;            // where its text starts in the library
    std::string text;                // with its sign: "57", "−1,645"
    std::string unit;                // the unit written after it, or after the list it is in
    std::string after;               // the start of the text that follows that list
    bool rowNumber = false;          // 0..3 after "wiersz…"
    std::vector<std::string> listed; // it and the numbers listed after it up to that unit
};
// The plain numbers of a text, names such as FEV1, MEF25 or FEF25–75 left out.
std::vector<PlainNumber> plainNumbers(std::string_view unmarked, std::size_t line);

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
    std::vector<QuizRange> quiz;     // empty: never drawn as the unknown patient
    std::vector<CaseFigure> figures; // every model figure its texts quote, in the file's order
    std::vector<PlainNumber> plainNumbers; // of its questions, answers and explanation

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

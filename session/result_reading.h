#pragma once
// A result read as a spirometer's report reads it: FEV1, FVC and FEV1/FVC against the patient's
// GLI Global 2022 reference values (predicted, LLN, ULN, z-score, % predicted) and the ATS/ERS
// 2022 reading beside the fixed 0.70 ratio's. This is the program's one reading: the window, the
// report, the runner, the Python module, the quiz key and the case sheets all take it from here.
//
// The model stands for the patient's own lungs. Its reference row is what the model calls normal
// for anyone, so a result is scaled to the patient index by index: the row's value over the
// reference's, times the patient's predicted value. The reference thus reads z = 0 for every
// patient, and "% należnej" is the results table's "%" of the reference. The ratio is scaled by its
// own predicted value (the row's FEV1/FVC over the reference's): the quotient of the scaled FEV1
// and FVC would put the reference up to 0.2 z off its centre for an adult and further for a
// child, as the three equations are fitted apart.
//
// The values are a spirometer's: FEV1 timed from the back-extrapolated time zero and the FVC the
// blow exhales (model/curve_indices.h), not the results table's FEV1 and FVCEX.

#include "model/curve_indices.h"
#include "model/spirogram.h"
#include "record/simulation_record.h"
#include "reference/gli_global_2022.h"
#include "reference/spirometry_reading.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace vm::session {

using model::IndexValue;
using model::IndexValues;
using model::missingReasonText;
using model::Spirogram;
using model::SpirogramPoint;
using reference::Patient;
using reference::ReferenceIndex;
using reference::Sex;

// Where the patient a result is read for comes from.
enum class PatientOrigin {
    standard,   // none was given: the program's default patient
    entered,    // typed into "Pacjent", or the runner's --patient
    stored,     // read from the simulation file (a case's or the quiz's file stores its own)
    drawn,      // the unknown patient's, drawn by the quiz
    unreadable, // the file stores a patient that cannot be read; nothing is read for it
};

struct ReadingPatient {
    Patient patient{};
    PatientOrigin origin = PatientOrigin::standard;
    std::string problem{}; // why a stored patient cannot be read
};

// One of FEV1, FVC and FEV1/FVC against its reference values. The ratio is in percent here, as
// the results table shows it.
struct PredictedIndex {
    ReferenceIndex index = ReferenceIndex::fev1;
    std::string_view jsonKey;       // "fev1", "fvc", "fev1PctFvc"
    std::string_view name;          // "FEV1", "FVC", "FEV1/FVC"
    std::string_view unit;          // "l" or "%"
    double model = std::nan("");    // the model's own value, as a spirometer reads the blow
    double measured = std::nan(""); // the value scaled to the patient, what the reading reads
    double predicted = std::nan("");
    double lln = std::nan("");
    double uln = std::nan("");
    double zScore = std::nan("");
    double percentPredicted = std::nan("");
};

// FEV1, FVC and FEV1/FVC in the order a reading lists them, their values unset.
inline constexpr std::array<PredictedIndex, 3> kPredictedIndices{{
    {ReferenceIndex::fev1, "fev1", "FEV1", "l"},
    {ReferenceIndex::fvc, "fvc", "FVC", "l"},
    {ReferenceIndex::fev1Fvc, "fev1PctFvc", "FEV1/FVC", "%"},
}};

struct ResultReading {
    ReadingPatient patient;
    // Why the row cannot be read against the equations (no valid result, a patient outside
    // them or unreadable, the equations' table missing); empty when it can.
    std::string problem;
    // The row is the unknown patient's, not to be read before the student has answered.
    bool hidden = false;
    std::array<PredictedIndex, 3> indices = kPredictedIndices; // the model's values when known
    reference::SpirometryReading reading;
    std::string readingText;    // the ATS/ERS 2022 reading, in Polish
    std::string fixedRatioText; // the 0.70 rule's verdict where it differs, in Polish; else empty
    bool ok() const { return problem.empty(); }
};

// Record row `row` read for the patient beside the reference row. table is null when the
// equations' table could not be read, tableProblem then says why.
ResultReading readResult(const record::SimulationRecord& record, int row,
                         const ReadingPatient& patient, const reference::GliSplineTable* table,
                         std::string_view tableProblem);

// The text when a hidden row's reading is asked for.
inline constexpr std::string_view kHiddenReading =
    "the unknown patient's result is read once the student has answered";

// A patient as the runner writes one ("female,40,165") and reads it back; empty when the text
// is not one. Whether the equations apply is asked of patientProblem.
std::optional<Patient> parsePatient(std::string_view text);
std::string patientOption(const Patient& patient);
// Empty when the reference equations apply to the patient, else why not.
std::string patientProblem(const Patient& patient);

// The patient in the program's words: "kobieta, 40 lat, 165 cm", "mężczyzna, 22 lata, 181,5 cm".
std::string patientText(const Patient& patient, char decimalSeparator = ',');
// "40 lat", "1 rok", "22 lata", "40,5 roku".
std::string polishYears(double age_years, char decimalSeparator = ',');
// Where the patient comes from, in Polish ("zapisany w pliku"); and as the runner's JSON names it.
std::string_view patientOriginText(PatientOrigin origin);
std::string_view patientOriginKey(PatientOrigin origin);

} // namespace vm::session

#pragma once
// A result read as a spirometer's report reads it: FEV1, FVC and FEV1/FVC against the patient's
// GLI Global 2022 reference values (predicted, LLN, ULN, z-score, % predicted), the ATS/ERS 2022
// reading beside the fixed 0.70 ratio's, the indices read from the row's stored curves and the
// spirogram. The session makes these for its window and its runner from its record and patient.

#include "model/curve_indices.h"
#include "model/spirogram.h"
#include "reference/gli_global_2022.h"
#include "reference/spirometry_reading.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace vm::session {

using model::CurveIndex;
using model::CurveIndexInfo;
using model::CurveIndices;
using model::kCurveIndices;
using model::missingReasonText;
using model::Spirogram;
using model::SpirogramPoint;
using reference::Patient;
using reference::ReferenceIndex;
using reference::Sex;

// One of FEV1, FVC and FEV1/FVC against its reference values. The ratio is in percent here, as
// the results table shows it.
struct PredictedIndex {
    ReferenceIndex index = ReferenceIndex::fev1;
    std::string_view jsonKey; // "fev1", "fvc", "fev1PctFvc"
    std::string_view name;    // "FEV1", "FVC", "FEV1/FVC"
    std::string_view unit;    // "l" or "%"
    double measured = 0.0;
    double predicted = 0.0;
    double lln = 0.0;
    double uln = 0.0;
    double zScore = 0.0;
    double percentPredicted = 0.0;
};

// FEV1, FVC and FEV1/FVC in the order a reading lists them, their values unset.
inline constexpr std::array<PredictedIndex, 3> kPredictedIndices{{
    {ReferenceIndex::fev1, "fev1", "FEV1", "l"},
    {ReferenceIndex::fvc, "fvc", "FVC", "l"},
    {ReferenceIndex::fev1Fvc, "fev1PctFvc", "FEV1/FVC", "%"},
}};

struct ResultReading {
    // Why the row cannot be read against the equations (no valid result, a patient outside
    // them, the equations' table missing); empty when it can.
    std::string problem;
    std::array<PredictedIndex, 3> indices = kPredictedIndices; // the measured values always
    reference::SpirometryReading reading;
    std::string readingText;    // the ATS/ERS 2022 reading, in Polish
    std::string fixedRatioText; // the 0.70 rule's verdict where it differs, in Polish; else empty
    bool ok() const { return problem.empty(); }
};

// A patient as the runner writes one ("female,40,165") and reads it back; empty when the text
// is not one. Whether the equations apply is asked of patientProblem.
std::optional<Patient> parsePatient(std::string_view text);
std::string patientOption(const Patient& patient);
// Empty when the reference equations apply to the patient, else why not.
std::string patientProblem(const Patient& patient);

} // namespace vm::session

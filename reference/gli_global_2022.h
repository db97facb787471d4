#pragma once
// The GLI Global 2022 (race-neutral) reference equations for FEV1, FVC and FEV1/FVC, ages 3 to
// 95 years: the predicted value, the limits of normal and where a measured value lies among them.
// Each index has a median M, a coefficient of variation S and a skewness L (the LMS model):
//     M = exp(a0 + a1 ln h + a2 ln a + Mspline(a))
//     S = exp(p0 + p1 ln a + Sspline(a))
//     L = q0 + q1 ln a
// with h the height in cm and a the age in years; z = ((x/M)^L - 1) / (L S).

#include "reference/gli_spline_table.h"
#include "reference/outcome.h"
#include "reference/patient.h"

#include <string>

namespace vm::reference {

// Where the equations apply; outside, a patient is refused rather than extrapolated.
inline constexpr double kYoungestAge_years = kFirstTabulatedAge_years;
inline constexpr double kOldestAge_years = kLastTabulatedAge_years;
inline constexpr double kShortestHeight_cm = 100.0;
inline constexpr double kTallestHeight_cm = 250.0;

// The 5th and 95th centiles lie this many standard deviations from the median.
inline constexpr double kLimitOfNormal_z = 1.645;

struct Lms {
    double l = 1.0; // skewness
    double m = 0.0; // median, the predicted value
    double s = 0.0; // coefficient of variation
};

struct ReferenceValues {
    Lms lms;
    double predicted = 0.0; // M
    double lln = 0.0;       // lower limit of normal, the 5th centile
    double uln = 0.0;       // upper limit of normal, the 95th centile
};

// A measured value set among the patient's reference values.
struct IndexReading {
    ReferenceValues reference;
    double measured = 0.0;
    double zScore = 0.0;
    double percentPredicted = 0.0;
};

// Empty when the equations apply to the patient, else why not, in words for the user.
std::string patientOutsideEquations(const Patient& patient);

Outcome<ReferenceValues> referenceValues(const GliSplineTable& table, const Patient& patient,
                                         ReferenceIndex index);

// The z-score of a measured value; a value that is not positive and finite has none.
Outcome<double> zScore(const Lms& lms, double measured, ReferenceIndex index);

// The measured value as a percentage of the predicted one.
double percentPredicted(const ReferenceValues& reference, double measured);

// All of the above at once, for one index of one result.
Outcome<IndexReading> readIndex(const GliSplineTable& table, const Patient& patient,
                                ReferenceIndex index, double measured);

} // namespace vm::reference

#include "reference/gli_global_2022.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vm::reference {

namespace {

struct Coefficients {
    double a0, a1, a2; // median
    double p0, p1;     // coefficient of variation
    double q0, q1;     // skewness
};

// Bowerman et al., Am J Respir Crit Care Med 2023;207:768-774, by sex and index.
constexpr std::array<std::array<Coefficients, kReferenceIndexCount>, 2> kCoefficients{{
    {{
        {-11.399108, 2.462664, -0.011394, -2.256278, 0.080729, 1.22703, 0.0},
        {-12.629131, 2.727421, 0.009174, -2.195595, 0.068466, 0.9346, 0.0},
        {1.022608, -0.218592, -0.027586, -2.882025, 0.068889, 3.8243, -0.3328},
    }},
    {{
        {-10.901689, 2.385928, -0.076386, -2.364047, 0.129402, 1.21388, 0.0},
        {-12.055901, 2.621579, -0.035975, -2.310148, 0.120428, 0.899, 0.0},
        {0.9189568, -0.1840671, -0.0461306, -3.171582, 0.144358, 6.6490, -0.9920},
    }},
}};
static_assert(static_cast<int>(Sex::male) == 0 && static_cast<int>(ReferenceIndex::fev1) == 0);

// Below this |L| the Box-Cox power is replaced by its limit, the logarithm.
constexpr double kLogarithmicSkewness = 1e-9;

std::string number(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

std::string_view unitOf(ReferenceIndex index) {
    return index == ReferenceIndex::fev1Fvc ? "" : " l";
}

// The value at `z` standard deviations from the median, or NaN where the distribution has none.
double centile(const Lms& lms, double z) {
    if (std::fabs(lms.l) < kLogarithmicSkewness)
        return lms.m * std::exp(z * lms.s);
    const double base = 1.0 + z * lms.l * lms.s;
    return base > 0 ? lms.m * std::pow(base, 1.0 / lms.l) : std::nan("");
}

} // namespace

std::string patientOutsideEquations(const Patient& patient) {
    const double age = patient.age_years;
    const double height = patient.height_cm;
    if (!(age >= kYoungestAge_years && age <= kOldestAge_years))
        return "The age " + number(age) + " years is outside " + number(kYoungestAge_years) + "-" +
               number(kOldestAge_years) + " years, where the GLI Global 2022 equations apply.";
    if (!(height >= kShortestHeight_cm && height <= kTallestHeight_cm))
        return "The height " + number(height) + " cm is outside " + number(kShortestHeight_cm) +
               "-" + number(kTallestHeight_cm) +
               " cm, where the GLI Global 2022 equations are used.";
    return {};
}

Outcome<ReferenceValues> referenceValues(const GliSplineTable& table, const Patient& patient,
                                         ReferenceIndex index) {
    if (std::string why = patientOutsideEquations(patient); !why.empty())
        return Outcome<ReferenceValues>::failure(std::move(why));
    const Coefficients& c =
        kCoefficients[static_cast<std::size_t>(patient.sex)][static_cast<std::size_t>(index)];
    const double lnAge = std::log(patient.age_years);
    const SplineTerms spline = table.at(patient.sex, index, patient.age_years);
    ReferenceValues values;
    values.lms.l = c.q0 + c.q1 * lnAge;
    values.lms.m = std::exp(c.a0 + c.a1 * std::log(patient.height_cm) + c.a2 * lnAge + spline.m);
    values.lms.s = std::exp(c.p0 + c.p1 * lnAge + spline.s);
    values.predicted = values.lms.m;
    values.lln = centile(values.lms, -kLimitOfNormal_z);
    values.uln = centile(values.lms, kLimitOfNormal_z);
    if (!std::isfinite(values.lln) || !std::isfinite(values.uln))
        return Outcome<ReferenceValues>::failure(
            "The reference table gives no limits of normal for " + std::string(indexName(index)) +
            " at this age.");
    return Outcome<ReferenceValues>::success(values);
}

Outcome<double> zScore(const Lms& lms, double measured, ReferenceIndex index) {
    if (!(measured > 0) || !std::isfinite(measured))
        return Outcome<double>::failure("A measured " + std::string(indexName(index)) + " of " +
                                        number(measured) + std::string(unitOf(index)) +
                                        " has no z-score: the equations need a positive value.");
    const double ratio = measured / lms.m;
    if (std::fabs(lms.l) < kLogarithmicSkewness)
        return Outcome<double>::success(std::log(ratio) / lms.s);
    return Outcome<double>::success((std::pow(ratio, lms.l) - 1.0) / (lms.l * lms.s));
}

double percentPredicted(const ReferenceValues& reference, double measured) {
    return 100.0 * measured / reference.predicted;
}

Outcome<IndexReading> readIndex(const GliSplineTable& table, const Patient& patient,
                                ReferenceIndex index, double measured) {
    Outcome<ReferenceValues> reference = referenceValues(table, patient, index);
    if (!reference.ok())
        return Outcome<IndexReading>::failure(std::move(reference.message));
    Outcome<double> z = zScore(reference.value->lms, measured, index);
    if (!z.ok())
        return Outcome<IndexReading>::failure(std::move(z.message));
    IndexReading reading;
    reading.reference = *reference.value;
    reading.measured = measured;
    reading.zScore = *z.value;
    reading.percentPredicted = percentPredicted(reading.reference, measured);
    return Outcome<IndexReading>::success(reading);
}

} // namespace vm::reference

#pragma once
// The reading of a spirometry by the ATS/ERS 2022 interpretive rules, from the z-scores of FEV1,
// FVC and FEV1/FVC against the GLI Global 2022 equations, beside the reading by the fixed
// FEV1/FVC < 0.70 rule. Each reading has a Polish text for the program and an English key for
// the runner's JSON.

#include "reference/outcome.h"

#include <string>
#include <string_view>

namespace vm::reference {

// Below the lower limit of normal, the 5th centile.
inline constexpr double kAbnormal_z = -1.645;
// Severity bands of the impairment's z-score: mild down to -2.5, moderate down to -4.
inline constexpr double kModerate_z = -2.5;
inline constexpr double kSevere_z = -4.0;
// The fixed rule's threshold of FEV1/FVC (a fraction).
inline constexpr double kFixedRatio = 0.70;

enum class SpirometryPattern {
    normal,
    obstruction,           // FEV1/FVC low, FVC normal
    obstructionWithLowFvc, // FEV1/FVC and FVC low; mixed only if TLC is low too
    nonSpecific,           // FEV1/FVC normal, FVC low: restriction only if TLC is low
    lowFev1PreservedRatio, // FEV1/FVC and FVC normal, FEV1 low (PRISm)
};

// Every pattern is graded by the FEV1 z-score; a pattern with a normal FEV1 is not graded.
enum class Severity { none, mild, moderate, severe };

// How the fixed ratio's verdict stands to the lower limit of normal's.
enum class FixedRatioVerdict {
    agrees,
    overcalls, // FEV1/FVC < 0.70 but above the LLN: typical of older people
    misses,    // FEV1/FVC below the LLN but not below 0.70: typical of younger people
};

struct SpirometryZScores {
    double fev1 = 0.0;
    double fvc = 0.0;
    double fev1Fvc = 0.0;
};

struct SpirometryReading {
    SpirometryPattern pattern = SpirometryPattern::normal;
    Severity severity = Severity::none;
    bool fixedRatioObstruction = false; // measured FEV1/FVC < 0.70
    FixedRatioVerdict fixedRatio = FixedRatioVerdict::agrees;
};

// measuredFev1Fvc is the ratio as a fraction. Refused when any input is not finite.
Outcome<SpirometryReading> readSpirometry(const SpirometryZScores& z, double measuredFev1Fvc);

Severity severityOf(double z);

// English keys for JSON.
std::string_view patternKey(SpirometryPattern pattern);
std::string_view severityKey(Severity severity);
std::string_view fixedRatioKey(FixedRatioVerdict verdict);

// The program's Polish texts: the reading with its severity, and the fixed ratio's verdict.
std::string polishReadingText(const SpirometryReading& reading);
std::string_view polishFixedRatioText(const SpirometryReading& reading);
// The grade as "stopień" takes it ("łagodny", ...); empty for none.
std::string_view polishGradeText(Severity severity);

} // namespace vm::reference

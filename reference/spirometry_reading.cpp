#include "reference/spirometry_reading.h"

#include <cmath>

namespace vm::reference {

Severity severityOf(double z) {
    if (z >= kAbnormal_z)
        return Severity::none;
    if (z >= kModerate_z)
        return Severity::mild;
    if (z >= kSevere_z)
        return Severity::moderate;
    return Severity::severe;
}

Outcome<SpirometryReading> readSpirometry(const SpirometryZScores& z, double measuredFev1Fvc) {
    if (!std::isfinite(z.fev1) || !std::isfinite(z.fvc) || !std::isfinite(z.fev1Fvc) ||
        !std::isfinite(measuredFev1Fvc))
        return Outcome<SpirometryReading>::failure(
            "The result has no z-score for FEV1, FVC or FEV1/FVC to read.");
    const bool obstruction = z.fev1Fvc < kAbnormal_z;
    const bool lowFvc = z.fvc < kAbnormal_z;
    const bool lowFev1 = z.fev1 < kAbnormal_z;
    SpirometryReading reading;
    if (obstruction) {
        reading.pattern =
            lowFvc ? SpirometryPattern::obstructionWithLowFvc : SpirometryPattern::obstruction;
        reading.severity = severityOf(z.fev1);
    } else if (lowFvc) {
        reading.pattern = SpirometryPattern::nonSpecific;
        reading.severity = severityOf(z.fev1);
    } else if (lowFev1) {
        reading.pattern = SpirometryPattern::lowFev1PreservedRatio;
        reading.severity = severityOf(z.fev1);
    }
    reading.fixedRatioObstruction = measuredFev1Fvc < kFixedRatio;
    if (reading.fixedRatioObstruction && !obstruction)
        reading.fixedRatio = FixedRatioVerdict::overcalls;
    else if (!reading.fixedRatioObstruction && obstruction)
        reading.fixedRatio = FixedRatioVerdict::misses;
    return Outcome<SpirometryReading>::success(reading);
}

std::string_view patternKey(SpirometryPattern pattern) {
    switch (pattern) {
    case SpirometryPattern::normal:
        return "normal";
    case SpirometryPattern::obstruction:
        return "obstruction";
    case SpirometryPattern::obstructionWithLowFvc:
        return "obstructionWithLowFvc";
    case SpirometryPattern::nonSpecific:
        return "nonSpecific";
    case SpirometryPattern::lowFev1PreservedRatio:
        return "lowFev1PreservedRatio";
    }
    return "";
}

std::string_view severityKey(Severity severity) {
    switch (severity) {
    case Severity::none:
        return "none";
    case Severity::mild:
        return "mild";
    case Severity::moderate:
        return "moderate";
    case Severity::severe:
        return "severe";
    }
    return "";
}

std::string_view fixedRatioKey(FixedRatioVerdict verdict) {
    switch (verdict) {
    case FixedRatioVerdict::agrees:
        return "agrees";
    case FixedRatioVerdict::overcalls:
        return "overcalls";
    case FixedRatioVerdict::misses:
        return "misses";
    }
    return "";
}

namespace {

// "Obturacja" is feminine; the grade of a PRISm pattern goes with "stopień ciężkości".
std::string_view feminineGrade(Severity severity) {
    switch (severity) {
    case Severity::mild:
        return "łagodna";
    case Severity::moderate:
        return "umiarkowana";
    case Severity::severe:
        return "ciężka";
    case Severity::none:
        break;
    }
    return "";
}

std::string obstructionText(Severity severity) {
    if (severity == Severity::none)
        return "Obturacja przy FEV1 w granicach normy";
    return "Obturacja " + std::string(feminineGrade(severity));
}

} // namespace

std::string_view polishGradeText(Severity severity) {
    switch (severity) {
    case Severity::mild:
        return "łagodny";
    case Severity::moderate:
        return "umiarkowany";
    case Severity::severe:
        return "ciężki";
    case Severity::none:
        break;
    }
    return "";
}

std::string polishReadingText(const SpirometryReading& reading) {
    const std::string grade =
        "; stopień ciężkości: " + std::string(polishGradeText(reading.severity));
    switch (reading.pattern) {
    case SpirometryPattern::normal:
        return "Prawidłowy wynik spirometrii";
    case SpirometryPattern::obstruction:
        return obstructionText(reading.severity);
    case SpirometryPattern::obstructionWithLowFvc:
        return obstructionText(reading.severity) +
               " z obniżoną FVC; zaburzenia mieszane można rozpoznać dopiero przy TLC poniżej "
               "dolnej granicy normy";
    case SpirometryPattern::nonSpecific:
        // Without a grade the FEV1 is normal: only the FVC is low.
        return std::string(reading.severity == Severity::none
                               ? "Obniżona FVC przy prawidłowym FEV1 i FEV1/FVC"
                               : "Obniżone FEV1 i FVC przy prawidłowym FEV1/FVC") +
               ": wzorzec nieswoisty; restrykcję rozpoznaje się dopiero przy TLC poniżej dolnej "
               "granicy normy" +
               (reading.severity == Severity::none ? std::string() : grade);
    case SpirometryPattern::lowFev1PreservedRatio:
        return "FEV1 poniżej dolnej granicy normy przy prawidłowym FEV1/FVC i prawidłowej FVC "
               "(PRISm)" +
               grade;
    }
    return {};
}

std::string_view polishFixedRatioText(const SpirometryReading& reading) {
    switch (reading.fixedRatio) {
    case FixedRatioVerdict::agrees:
        return reading.fixedRatioObstruction
                   ? "Stałe kryterium FEV1/FVC < 0,70 również wskazuje na obturację"
                   : "Stałe kryterium FEV1/FVC < 0,70 również nie wskazuje na obturację";
    case FixedRatioVerdict::overcalls:
        return "FEV1/FVC poniżej 0,70, lecz powyżej dolnej granicy normy: stałe kryterium "
               "prowadzi tu do nadrozpoznania obturacji, co zdarza się zwłaszcza u osób starszych";
    case FixedRatioVerdict::misses:
        return "FEV1/FVC poniżej dolnej granicy normy, choć nie mniejszy niż 0,70: stałe "
               "kryterium przeoczyłoby tę obturację, co zdarza się zwłaszcza u osób młodszych";
    }
    return {};
}

} // namespace vm::reference

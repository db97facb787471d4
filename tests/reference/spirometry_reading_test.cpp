// The ATS/ERS 2022 reading of made-up z-scores, its bands' edges and its disagreements with the
// fixed 0.70 ratio, then of real people through the equations.

#include "reference/gli_global_2022.h"
#include "reference/spirometry_reading.h"
#include "shipped_table.h"

#include "../model/standard_indices.h"

#include <cmath>

using namespace vm::reference;

namespace {

using P = SpirometryPattern;
using S = Severity;
using F = FixedRatioVerdict;

struct Case {
    const char* what;
    SpirometryZScores z; // FEV1, FVC, FEV1/FVC
    double ratio;
    P pattern;
    S severity;
    F fixedRatio;
    const char* text; // how the Polish reading begins
};

const Case kCases[] = {
    {"normal", {-0.3, -0.3, 0.04}, 0.83, P::normal, S::none, F::agrees, "Prawidłowy wynik"},
    {"every z on the LLN is still normal",
     {-1.645, -1.645, -1.645},
     0.75,
     P::normal,
     S::none,
     F::agrees,
     "Prawidłowy wynik"},
    {"mild obstruction",
     {-2.0, -0.5, -2.2},
     0.62,
     P::obstruction,
     S::mild,
     F::agrees,
     "Obturacja łagodna"},
    {"FEV1 on -2.5 is mild",
     {-2.5, -1.0, -3.0},
     0.55,
     P::obstruction,
     S::mild,
     F::agrees,
     "Obturacja łagodna"},
    {"just below -2.5 is moderate",
     {-2.51, -1.0, -3.0},
     0.55,
     P::obstruction,
     S::moderate,
     F::agrees,
     "Obturacja umiarkowana"},
    {"FEV1 on -4 is moderate",
     {-4.0, -1.2, -4.5},
     0.45,
     P::obstruction,
     S::moderate,
     F::agrees,
     "Obturacja umiarkowana"},
    {"below -4 is severe",
     {-4.01, -1.2, -4.5},
     0.45,
     P::obstruction,
     S::severe,
     F::agrees,
     "Obturacja ciężka"},
    {"obstruction with a normal FEV1 is not graded",
     {-1.0, 0.2, -1.9},
     0.66,
     P::obstruction,
     S::none,
     F::agrees,
     "Obturacja przy FEV1 w granicach normy"},
    {"obstruction with a low FVC",
     {-3.0, -2.0, -2.0},
     0.60,
     P::obstructionWithLowFvc,
     S::moderate,
     F::agrees,
     "Obturacja umiarkowana z obniżoną FVC"},
    // Graded by the FVC: by the FEV1 it would be mild.
    {"possible restriction",
     {-2.2, -2.7, 0.5},
     0.85,
     P::possibleRestriction,
     S::moderate,
     F::agrees,
     "Obniżona FVC przy prawidłowym FEV1/FVC (PRISm)"},
    {"low FEV1 alone",
     {-1.8, -1.2, -1.0},
     0.75,
     P::lowFev1PreservedRatio,
     S::mild,
     F::agrees,
     "FEV1 poniżej dolnej granicy normy"},
    {"0.70 overcalls an older person",
     {-1.0, -0.3, -1.56},
     0.66,
     P::normal,
     S::none,
     F::overcalls,
     "Prawidłowy wynik"},
    {"0.70 misses a young person",
     {-0.3, 0.9, -1.75},
     0.74,
     P::obstruction,
     S::none,
     F::misses,
     "Obturacja przy FEV1"},
};

TEST(SpirometryReading, MadeUpZScores) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const Outcome<SpirometryReading> read = readSpirometry(c.z, c.ratio);
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(read.value->pattern, c.pattern);
        EXPECT_EQ(read.value->severity, c.severity);
        EXPECT_EQ(read.value->fixedRatio, c.fixedRatio);
        EXPECT_EQ(read.value->fixedRatioObstruction, c.ratio < 0.70);
        EXPECT_EQ(polishReadingText(*read.value).rfind(c.text, 0), 0u)
            << polishReadingText(*read.value);
    }
    EXPECT_FALSE(readSpirometry({NAN, 0, 0}, 0.8).ok());
    EXPECT_FALSE(readSpirometry({0, 0, 0}, INFINITY).ok());
}

// FEV1 and FVC measured in litres, read for the person through the equations.
TEST(SpirometryReading, RealPeopleAgainstTheFixedRatio) {
    const struct {
        const char* what;
        Patient patient;
        double fev1, fvc;
        P pattern;
        F fixedRatio;
        const char* patternKey;
        const char* fixedRatioKey;
    } people[] = {
        {"the standard result for the default patient",
         {},
         standard_indices::fev1,
         standard_indices::fvcex,
         P::normal,
         F::agrees,
         "normal",
         "agrees"},
        // FEV1/FVC 0.661 against her LLN of 0.652.
        {"a woman of 75",
         {Sex::female, 75, 160},
         1.6,
         2.42,
         P::normal,
         F::overcalls,
         "normal",
         "overcalls"},
        // FEV1/FVC 0.740 against his LLN of 0.748.
        {"a man of 20",
         {Sex::male, 20, 180},
         4.3,
         5.81,
         P::obstruction,
         F::misses,
         "obstruction",
         "misses"},
    };
    for (const auto& p : people) {
        SCOPED_TRACE(p.what);
        const auto z = [&](ReferenceIndex index, double measured) {
            return readIndex(shippedTable(), p.patient, index, measured).value->zScore;
        };
        const double ratio = p.fev1 / p.fvc;
        const SpirometryReading read =
            *readSpirometry({z(ReferenceIndex::fev1, p.fev1), z(ReferenceIndex::fvc, p.fvc),
                             z(ReferenceIndex::fev1Fvc, ratio)},
                            ratio)
                 .value;
        EXPECT_EQ(read.pattern, p.pattern);
        EXPECT_EQ(read.fixedRatio, p.fixedRatio);
        EXPECT_EQ(patternKey(read.pattern), p.patternKey);
        EXPECT_EQ(fixedRatioKey(read.fixedRatio), p.fixedRatioKey);
        EXPECT_FALSE(polishFixedRatioText(read).empty());
    }
}

} // namespace

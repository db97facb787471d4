// The ATS/ERS 2022 reading of z-scores, its bands' edges and its disagreements with the fixed
// 0.70 ratio; the real people's z-scores are from the GLI Global 2022 equations.

#include "reference/spirometry_reading.h"
#include <gtest/gtest.h>

#include <cmath>

using namespace vm::reference;

namespace {

using P = SpirometryPattern;
using S = Severity;
using F = FixedRatioVerdict;

struct Case {
    double zFev1, zFvc, zRatio, ratio;
    P pattern;
    S severity;
    F fixedRatio;
    const char* text; // how the Polish reading begins
};

const Case kCases[] = {
    // The standard result for the default patient.
    {-0.290, -0.294, 0.036, 0.830, P::normal, S::none, F::agrees, "Prawidłowy wynik"},
    // On the LLN is still normal.
    {-1.645, -1.645, -1.645, 0.75, P::normal, S::none, F::agrees, "Prawidłowy wynik"},
    // The obstruction's grades and their edges, -2.5 mild and -4 moderate.
    {-2.5, -1.0, -3.0, 0.55, P::obstruction, S::mild, F::agrees, "Obturacja łagodna"},
    {-2.51, -1.0, -3.0, 0.55, P::obstruction, S::moderate, F::agrees, "Obturacja umiarkowana"},
    {-4.0, -1.2, -4.5, 0.45, P::obstruction, S::moderate, F::agrees, "Obturacja umiarkowana"},
    {-4.01, -1.2, -4.5, 0.45, P::obstruction, S::severe, F::agrees, "Obturacja ciężka"},
    {-1.0, 0.2, -1.9, 0.66, P::obstruction, S::none, F::agrees, "Obturacja przy FEV1 w granicach"},
    {-3.0, -2.0, -2.0, 0.60, P::obstructionWithLowFvc, S::moderate, F::agrees,
     "Obturacja umiarkowana z obniżoną FVC"},
    // Low FEV1 and FVC with a normal ratio is non-specific, graded by the FEV1 (by the FVC it
    // would be moderate); a low FVC alone is not graded.
    {-2.2, -2.7, 0.5, 0.85, P::nonSpecific, S::mild, F::agrees,
     "Obniżone FEV1 i FVC przy prawidłowym FEV1/FVC: wzorzec nieswoisty"},
    {-1.0, -1.9, 0.9, 0.86, P::nonSpecific, S::none, F::agrees,
     "Obniżona FVC przy prawidłowym FEV1 i FEV1/FVC: wzorzec nieswoisty"},
    {-1.8, -1.2, -1.0, 0.75, P::lowFev1PreservedRatio, S::mild, F::agrees,
     "FEV1 poniżej dolnej granicy normy"},
    // 0.70 overcalls a woman of 75 y, 160 cm, FEV1 1.6 l, FVC 2.42 l (her LLN of FEV1/FVC 0.652),
    // and misses a man of 20 y, 180 cm, FEV1 4.3 l, FVC 5.81 l (his LLN 0.748).
    {-0.992, -0.257, -1.550, 0.661, P::normal, S::none, F::overcalls, "Prawidłowy wynik"},
    {-0.332, 0.890, -1.745, 0.740, P::obstruction, S::none, F::misses, "Obturacja przy FEV1"},
};

TEST(SpirometryReading, MadeUpZScores) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.zFev1 << ", " << c.zFvc << ", " << c.zRatio);
        const Outcome<SpirometryReading> read =
            readSpirometry({c.zFev1, c.zFvc, c.zRatio}, c.ratio);
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

} // namespace

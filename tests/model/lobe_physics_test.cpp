// The batched lobe functions on either arm against the lobes' physics stated one lobe at a time:
// the tissue, whole solver calls (outcomes, collapsed flags and iteration counts exactly, values
// within what the fitted arctangent and cube root may move them) and the Euler step.

#include "model/lobe_physics.h"

#include "model/model_initialisation.h"
#include "model/simd/batch_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vm::model;

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
const double nan = std::nan("");

// Equal, within the tolerance, or both NaN.
::testing::AssertionResult near(double batched, double plain, double tolerance) {
    if (batched == plain || std::fabs(batched - plain) <= tolerance ||
        (std::isnan(batched) && std::isnan(plain)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << batched << " against " << plain << " within " << tolerance;
}

// Each case in each lobe in turn, case 0 in the others, on either arm.
template <typename Case, int N, typename Check>
void forEachPlacement(const Case (&cases)[N], Check check) {
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (int c = 0; c < N; ++c)
            for (int at = 0; at < kLobeCount; ++at) {
                SCOPED_TRACE(::testing::Message()
                             << "case " << c << " in lobe " << at << " on arm " << arm);
                Case lobes[kLobeCount];
                for (int k = 0; k < kLobeCount; ++k)
                    lobes[k] = cases[k == at ? c : 0];
                check(lobes, at);
            }
    }
    usePortableMathOnly(false);
}

// Worked by hand: no recoil at 17 % of the largest volume, 1/scale at 67 % (tan π/4); Boyle's law.
TEST(LobePhysics, TissueLawsAtPointsWorkedByHand) {
    EXPECT_NEAR(elasticRecoilAt(0.17 * 1.24, 1.24, 2.0), 0.0, 1e-15);
    EXPECT_NEAR(elasticRecoilAt(0.67 * 1.24, 1.24, 2.0), 0.5, 1e-15);
    EXPECT_DOUBLE_EQ(alveolarPressureAt(100.0, 0.01, 0.5), 2.0);
}

TEST(LobePhysics, PeripheralResistanceAtTheMinimalVolumeIsLargeButFinite) {
    const double minVolume = 0.36 * 0.2;
    const double atMinimum = peripheralResistanceAt(500, minVolume, minVolume);
    EXPECT_TRUE(std::isfinite(atMinimum));
    EXPECT_GT(atMinimum, 1e9);
    EXPECT_EQ(atMinimum, peripheralResistanceAt(500, minVolume + 0.0001, minVolume));
    EXPECT_EQ(atMinimum, peripheralResistanceAt(500, 0.0, minVolume));
    // At 0.5 l: cube roots 0.7937 and 0.4160, so 1/(500 * 0.3777^4) = 0.0981.
    EXPECT_NEAR(peripheralResistanceAt(500, 0.5, minVolume), 0.0981, 0.0005);
}

TEST(LobePhysics, BatchedTissueFollowsEachLobesLaws) {
    struct Tissue {
        double volume, maxVolume, elasticScale, gasCompression, minVolume, conductance;
    };
    const Tissue cases[] = {
        {0.6, 1.24, 1.0, 0.01, 0.072, 500.0},
        {1.23, 1.24, 0.8, -0.02, 0.072, 125.0},      // near the largest volume
        {0.17 * 1.24, 1.24, 1.0, 0.0, 0.072, 500.0}, // no recoil
        {0.07205, 1.24, 1.2, 0.001, 0.072, 500.0},   // below the peripheral law's floor
        {0.0723, 1.24, 1.0, 0.001, 0.072, 2000.0},   // just above it
        {1e308, 1.24, 1.0, 1.0, 0.072, 500.0},       // beyond the fitted functions' reach
        {nan, 1.24, 1.0, 0.01, 0.072, 500.0},
    };
    forEachPlacement(cases, [](const Tissue(&lobes)[kLobeCount], int at) {
        LobeTissueColumns columns;
        for (int k = 0; k < kLobeCount; ++k) {
            const Tissue& l = lobes[k];
            columns.volume[k] = l.volume;
            columns.inverseMaxVolume[k] = 1.0 / l.maxVolume;
            columns.inverseElasticScale[k] = 1.0 / l.elasticScale;
            columns.gasCompression[k] = l.gasCompression;
            columns.minVolume[k] = l.minVolume;
            columns.minVolumeRoot[k] = std::cbrt(l.minVolume);
            columns.conductance[k] = l.conductance;
        }
        columns.atmosphericPressure = 100.0;
        LobeTissue tissue;
        takeLobeTissue(columns, tissue);
        const Tissue& l = lobes[at];
        // V·(1/Vmax) is within two roundings of V/Vmax, which moves tan by 1 + tan² times as
        // much; the tangent is within 2 ulp, 1/scale one more.
        const double q = l.volume / l.maxVolume;
        const double tangent = elasticRecoilAt(l.volume, l.maxVolume, 1.0);
        EXPECT_TRUE(near(tissue.elasticRecoil[at],
                         elasticRecoilAt(l.volume, l.maxVolume, l.elasticScale),
                         8 * kEpsilon * ((1 + q) * (1 + tangent * tangent) + std::fabs(tangent)) /
                             l.elasticScale));
        EXPECT_TRUE(near(tissue.alveolarPressure[at],
                         alveolarPressureAt(100.0, l.gasCompression, l.volume), 0.0));
        // The cube root within 4 ulp, taken fourth power of after ∛Vmin is subtracted.
        const double root = std::cbrt(openPeripheralVolume(l.volume, l.minVolume));
        const double relative =
            4 * 4 * kEpsilon * root / (root - std::cbrt(l.minVolume)) + 8 * kEpsilon;
        const double G = peripheralConductanceAt(l.conductance, l.volume, l.minVolume);
        EXPECT_TRUE(near(tissue.peripheralConductance[at], G, relative * G));
        EXPECT_TRUE(near(tissue.peripheralResistance[at], 1 / G, relative / G));
    });
}

struct Lobe {
    double alveolarPressure, peripheralResistance, intermediateResistance, wallStiffness,
        pleuralOffset;
};

struct Call {
    const char* name;
    Lobe lobes[kLobeCount];
    double x, probeX, pcLeft, pcRight;
};

// Flows and effective resistances marked, so that a write shows.
ModelState modelWith(const Lobe (&lobes)[kLobeCount]) {
    ModelState m;
    setReferenceState(m);
    for (int k = 0; k < kLobeCount; ++k) {
        m.state.alveolarPressure[k] = lobes[k].alveolarPressure;
        m.state.peripheralResistance[k] = lobes[k].peripheralResistance;
        m.parameters.intermediateResistance[k].setBoth(lobes[k].intermediateResistance);
        m.parameters.wallStiffness[k].setBoth(lobes[k].wallStiffness);
        m.parameters.pleuralOffset[k].setBoth(lobes[k].pleuralOffset);
        m.state.lobeFlow[k] = 7.0;
        m.state.intermediateEffResistance[k] = 5.0;
        m.state.flowLimited[k] = 9;
    }
    return m;
}

// What a call leaves, batched against plain. The fitted arctangent moves a residual by at most
// ΔF = 1.1e-13·π/2·u/R2, a root by ΔF/|F′| with |F′| ≥ 1/R1 + (1/R2)·y²/(1 + y²), and so a flow
// (z − m)/R1 by at most ΔF/(1 + (R1/R2)·y²/(1 + y²)): below 6e-13 l/s for every lobe here, u/R2
// being at most 3.5 where R1/R2 is not large. An effective resistance (f − m)/Q − R1 moves by
// (its value + R1)·ΔQ/Q.
void expectSameEffects(const ModelState& batched, const LobeValues& batchedProbe,
                       const ModelState& plain, const LobeValues& plainProbe) {
    constexpr double kFlowTolerance = 1e-12;
    EXPECT_EQ(batched.state.solverFailed, plain.state.solverFailed);
    EXPECT_EQ(batched.work.solverIterationTotal, plain.work.solverIterationTotal);
    for (int k = 0; k < kLobeCount; ++k) {
        SCOPED_TRACE(k);
        const IntegratedState& b = batched.state;
        const IntegratedState& p = plain.state;
        EXPECT_EQ(b.flowLimited[k], p.flowLimited[k]);
        EXPECT_TRUE(near(b.lobeFlow[k], p.lobeFlow[k], kFlowTolerance));
        EXPECT_TRUE(near(batchedProbe[k], plainProbe[k], kFlowTolerance));
        const double R = p.intermediateEffResistance[k];
        const double R1 = plain.state.peripheralResistance[k];
        EXPECT_TRUE(near(b.intermediateEffResistance[k], R,
                         std::fabs(R + R1) * 2 * kFlowTolerance / std::fabs(p.lobeFlow[k])));
    }
}

TEST(LobePhysics, BatchedCallsDoWhatTheLobesSearchedInTurnDo) {
    const Lobe a{1.5, 0.2, 0.3, 0.4, -0.1}, b{0.9, 0.5, 0.2, 0.7, 0.05},
        c{1.2, 0.15, 0.6, 0.3, -0.1}, d{-0.3, 0.3, 0.25, 0.5, 0.0}, e{2.1, 0.4, 0.35, 0.9, 0.1};
    const double minVolume = 0.36 * 0.2;
    const Lobe emptied{1.2, peripheralResistanceAt(500, minVolume, minVolume), 0.6, 0.3, -0.1};
    const Lobe slow{-1.5491898464901197, 0.31461738724973143, 1.1699586064575553e-06,
                    0.05491175370276561, 0.78434012712800738};
    const Lobe other{0.0, 1.0, 1.0, 1.0, slow.pleuralOffset};
    const double inf = INFINITY;
    const Call calls[] = {
        {"open and collapsed", {a, b, c, d, e}, 0.2, 0.25, 0.3, -0.4},
        {"all open", {a, b, c, d, e}, -0.6, -0.55, 0.3, 0.4},
        {"inspiration", {a, b, c, d, e}, -1.2, -1.15, 0.1, 0.2},
        {"downstream at the collapse pressure", {a, b, c, d, e}, 0.0, 0.05, 0.05, -0.1},
        {"a lobe at its minimal volume", {a, b, emptied, d, e}, 0.2, 0.25, 0.3, -0.4},
        {"three slow collapsed lobes pass the shared cap",
         {slow, slow, slow, other, other},
         -1.5557875072066796,
         -1.50,
         -1.5171271843392742,
         -1.5171271843392742},
        {"unbracketed", {a, {1.5, -1.0, 0.3, 0.4, -0.1}, c, d, e}, 0.0, 0.05, -0.5, -0.5},
        {"collapsed, a root at the alveoli",
         {a, {-0.09, -1.0, 0.3, 0.4, -0.1}, c, d, e},
         0.0,
         0.05,
         -0.5,
         -0.5},
        {"collapsed, a root at the collapse pressure",
         {a, b, {0.9, -1e5, 0.3, 0.4, -0.1}, d, e},
         0.0,
         0.05,
         -0.5,
         -0.5},
        {"no conductance", {a, b, c, {1.0, inf, inf, 0.5, 0.0}, e}, 0.2, 0.25, 0.3, 0.4},
        {"NaN", {a, b, c, d, {nan, 0.4, 0.35, 0.9, 0.1}}, 0.2, 0.25, 0.3, 0.4},
    };
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (const Call& call : calls) {
            SCOPED_TRACE(::testing::Message() << call.name << " on arm " << arm);
            const ModelState start = modelWith(call.lobes);
            const LobeAirways airways = collectLobeAirways(start);
            ModelState batched = start, plain = start;
            LobeValues batchedProbe{}, plainProbe{};
            EXPECT_EQ(solveLobeFlows(batched, airways, call.x, call.pcLeft, call.pcRight,
                                     SolverMode::commit, batchedProbe),
                      solveLobesInTurn(plain, airways, call.x, call.pcLeft, call.pcRight,
                                       SolverMode::commit, plainProbe));
            expectSameEffects(batched, batchedProbe, plain, plainProbe);
            // The commit and probe calls side by side, against one after the other.
            batched = plain = start;
            SolverOutcome outcome = solveLobesInTurn(plain, airways, call.x, call.pcLeft,
                                                     call.pcRight, SolverMode::commit, plainProbe);
            if (!plain.state.solverFailed)
                outcome = solveLobesInTurn(plain, airways, call.probeX, call.pcLeft, call.pcRight,
                                           SolverMode::probe, plainProbe);
            EXPECT_EQ(solveLobeFlowsWithProbe(batched, airways, call.x, call.probeX, call.pcLeft,
                                              call.pcRight, batchedProbe),
                      outcome);
            expectSameEffects(batched, batchedProbe, plain, plainProbe);
        }
    }
    usePortableMathOnly(false);
}

TEST(LobePhysics, BatchedStepFollowsEachLobesStep) {
    // Drive, tissue conductance, flow, recoil, R1, R2, gas compression, volume; at 0.3 kPa over
    // a fifteenth of a millisecond the volume rate is drive − 7.5.
    const LobeBeforeStep cases[] = {
        {0.8, 25.0, -1.2, 1.0, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25.0, -1.2, 1.0, 0.1, 0.3, 2.0, 0.6},
        {0.8, 25.0, -1.2, 1.0, 0.1, 0.3, 0.01, 6.0005},
        {0.8, 25.0, -1.2, 1.0, 0.1, 0.3, 0.01, 0.0104},
        {0.8, 25.0, 40.5, 1.0, 0.1, 0.3, 0.01, 0.6},
        {48.0, 25.0, -1.2, 1.0, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25.0, -1.2, 10.0, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25.0, -1.2, 0.009, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25.0, -1.2, 1.0, INFINITY, 0.3, 0.01, 0.6},
        {0.8, 25.0, -1.2, 1.0, 0.1, -INFINITY, 0.01, 0.6},
        {0.8, 25.0, -1.2, 1.0, 0.1, 0.3, 0.01, nan},
    };
    const double P = 0.3, dt = 0.001 / 15;
    forEachPlacement(cases, [&](const LobeBeforeStep(&lobes)[kLobeCount], int at) {
        double columns[8][kLobeCount], rate[kLobeCount];
        for (int k = 0; k < kLobeCount; ++k) {
            const LobeBeforeStep& l = lobes[k];
            const double fields[8] = {l.tissueDrive_lps,      l.tissueConductance,
                                      l.airwayFlow_lps,       l.elasticRecoil_kPa,
                                      l.peripheralResistance, l.effectiveIntermediateResistance,
                                      l.gasCompression_l,     l.volume_l};
            for (int f = 0; f < 8; ++f)
                columns[f][k] = fields[f];
        }
        const bool plausible =
            advanceLobes({columns[0], columns[1], columns[2], columns[3], columns[4], columns[5],
                          rate, columns[6], columns[7], P, dt});
        const LobeAfterStep plain = advanceLobe(lobes[at], P, dt);
        EXPECT_TRUE(near(rate[at], plain.volumeRate_lps, 0.0));
        EXPECT_TRUE(near(columns[6][at], plain.gasCompression_l, 0.0));
        EXPECT_TRUE(near(columns[7][at], plain.volume_l, 0.0));
        EXPECT_EQ(plausible, lobeStaysPlausible(lobes[at], plain) &&
                                 lobeStaysPlausible(cases[0], advanceLobe(cases[0], P, dt)));
    });
}

} // namespace

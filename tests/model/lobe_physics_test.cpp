// The lobes' tissue and Euler step, batched on either arm, against the laws stated one lobe at a
// time (the searches are held to them in flow_limitation_solver_test.cpp).

#include "model/lobe_physics.h"

#include "model/simd/batch_math.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

using namespace vm::model;

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();
const double nan = std::nan("");

// Equal, within the tolerance, or both NaN.
::testing::AssertionResult near(double batched, double plain, double tolerance) {
    if (batched == plain || std::fabs(batched - plain) <= tolerance ||
        (std::isnan(batched) && std::isnan(plain)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << batched << " against " << plain;
}

// Every case in every lobe in turn, case 0 in the others (lobe 4 has lanes of its own), on
// either arm; check(lobes, at, c) gets the fields by lobe, and case c's own.
template <std::size_t Fields, std::size_t N, typename Check>
void forEachPlacement(const std::array<double, Fields> (&cases)[N], Check check) {
    for (int arm = 0; arm < 2; ++arm) {
        usePortableMathOnly(arm == 1);
        for (std::size_t c = 0; c < N; ++c)
            for (int at = 0; at < kLobeCount; ++at) {
                SCOPED_TRACE(::testing::Message() << c << " in lobe " << at << ", arm " << arm);
                double lobes[Fields][kLobeCount];
                for (int k = 0; k < kLobeCount; ++k)
                    for (std::size_t f = 0; f < Fields; ++f)
                        lobes[f][k] = cases[k == at ? c : 0][f];
                check(lobes, at, cases[c]);
            }
    }
    usePortableMathOnly(false);
}

TEST(LobePhysics, BatchedTissueFollowsEachLobesLaws) {
    // Volume, largest volume, elastic scale, gas compression, minimal volume, conductance.
    const std::array<double, 6> cases[] = {
        {0.6, 1.24, 1.0, 0.01, 0.072, 500.0},
        {1.23, 1.24, 0.8, -0.02, 0.072, 125.0},      // near the largest volume
        {0.17 * 1.24, 1.24, 1.0, 0.0, 0.072, 500.0}, // no recoil
        {0.07205, 1.24, 1.2, 0.001, 0.072, 500.0},   // below the peripheral law's floor
        {0.0723, 1.24, 1.0, 0.001, 0.072, 2000.0},   // just above it
        {1e308, 1.24, 1.0, 1.0, 0.072, 500.0},       // beyond the fitted functions' reach
        {nan, 1.24, 1.0, 0.01, 0.072, 500.0},
    };
    forEachPlacement(cases, [](const double(&l)[6][kLobeCount], int at, const auto& c) {
        LobeTissueColumns columns;
        columns.atmosphericPressure = 100.0;
        for (int k = 0; k < kLobeCount; ++k) {
            columns.volume[k] = l[0][k];
            columns.inverseMaxVolume[k] = 1.0 / l[1][k];
            columns.inverseElasticScale[k] = 1.0 / l[2][k];
            columns.gasCompression[k] = l[3][k];
            columns.minVolume[k] = l[4][k];
            columns.minVolumeRoot[k] = std::cbrt(l[4][k]);
            columns.conductance[k] = l[5][k];
        }
        LobeTissue tissue;
        takeLobeTissue(columns, tissue);
        const double V = c[0], Vmax = c[1], scale = c[2], Vmin = c[4];
        // V·(1/Vmax) is within two roundings of V/Vmax, which moves the tangent by 1 + tan² times
        // as much; the tangent is within 2 ulp and 1/scale one more.
        const double q = V / Vmax, tangent = elasticRecoilAt(V, Vmax, 1.0);
        EXPECT_TRUE(
            near(tissue.elasticRecoil[at], elasticRecoilAt(V, Vmax, scale),
                 8 * kEpsilon * ((1 + q) * (1 + tangent * tangent) + std::fabs(tangent)) / scale));
        EXPECT_TRUE(near(tissue.alveolarPressure[at], alveolarPressureAt(100.0, c[3], V), 0));
        // The cube root within 4 ulp, raised to the fourth power after ∛Vmin is taken away.
        const double root = std::cbrt(openPeripheralVolume(V, Vmin));
        const double relative = 4 * 4 * kEpsilon * root / (root - std::cbrt(Vmin)) + 8 * kEpsilon;
        const double G = peripheralConductanceAt(c[5], V, Vmin);
        EXPECT_TRUE(near(tissue.peripheralConductance[at], G, relative * G));
        EXPECT_TRUE(near(tissue.peripheralResistance[at], 1 / G, relative / G));
    });
}

TEST(LobePhysics, BatchedStepFollowsEachLobesStep) {
    // Drive, tissue conductance, flow, recoil, R1, R2, gas compression, volume; at 0.3 kPa over
    // a fifteenth of a millisecond the volume rate is drive − 7.5, each case past one bound.
    const std::array<double, 8> cases[] = {
        {0.8, 25, -1.2, 1, 0.1, 0.3, 0.01, 0.6},      {0.8, 25, -1.2, 1, 0.1, 0.3, 2, 0.6},
        {0.8, 25, -1.2, 1, 0.1, 0.3, 0.01, 6.0005},   {0.8, 25, -1.2, 1, 0.1, 0.3, 0.01, 0.0104},
        {0.8, 25, 40.5, 1, 0.1, 0.3, 0.01, 0.6},      {48, 25, -1.2, 1, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25, -1.2, 10, 0.1, 0.3, 0.01, 0.6},     {0.8, 25, -1.2, 0.009, 0.1, 0.3, 0.01, 0.6},
        {0.8, 25, -1.2, 1, INFINITY, 0.3, 0.01, 0.6}, {0.8, 25, -1.2, 1, 0.1, -INFINITY, 0.01, 0.6},
        {0.8, 25, -1.2, 1, 0.1, 0.3, 0.01, nan},
    };
    const double P = 0.3, dt = 0.001 / 15;
    const auto plainStep = [&](const std::array<double, 8>& f) {
        const LobeBeforeStep before{f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]};
        const LobeAfterStep after = advanceLobe(before, P, dt);
        return std::pair{after, lobeStaysPlausible(before, after)};
    };
    forEachPlacement(cases, [&](double(&l)[8][kLobeCount], int at, const auto& c) {
        double rate[kLobeCount];
        const bool plausible =
            advanceLobes({l[0], l[1], l[2], l[3], l[4], l[5], rate, l[6], l[7], P, dt});
        const auto [after, lobePlausible] = plainStep(c);
        EXPECT_TRUE(near(rate[at], after.volumeRate_lps, 0));
        EXPECT_TRUE(near(l[6][at], after.gasCompression_l, 0));
        EXPECT_TRUE(near(l[7][at], after.volume_l, 0));
        EXPECT_EQ(plausible, lobePlausible && plainStep(cases[0]).second);
    });
}

} // namespace

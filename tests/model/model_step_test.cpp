// The model step: pressure-volume laws, ramping and the plausibility limits.

#include "model/lobe_physics.h"
#include "model/model_initialisation.h"
#include "model/model_step.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vm::model;

namespace {

ModelState referenceModel() {
    ModelState m;
    setReferenceState(m);
    return m;
}

// Constant 4.6867, scale 10/3, minimal volume 1.5 at the reference.
TEST(ModelStep, ChestWallLawSwitchesToTheLinearBranchAtItsLimit) {
    const ModelState m = referenceModel();
    struct Case {
        double volume, pressure;
    };
    const Case cases[] = {
        {1.0001 * 1.5, -100 * 1.50015 * 4.686690374525147 * 0.3}, // linear: -210.9
        {1.0, -100 * 1.0 * 4.686690374525147 * 0.3},              // linear: -140.6
        {3.0, (3.0 - 4.686690374525147) * 0.3},                   // sqrt(3/1.5 - 1) = 1
        {7.5, (7.5 - 4.686690374525147 / 2) * 0.3},               // sqrt(7.5/1.5 - 1) = 2
    };
    for (const Case& c : cases)
        EXPECT_NEAR(chestWallPressureAt(m, c.volume), c.pressure, 1e-9);
}

TEST(ModelStep, PeripheralResistanceAtTheMinimalVolumeIsLargeButFinite) {
    const double minVolume = 0.36 * 0.2;
    const double atMinimum = peripheralResistanceAt(500, minVolume, minVolume);
    EXPECT_TRUE(std::isfinite(atMinimum));
    EXPECT_GT(atMinimum, 1e9);
    EXPECT_EQ(atMinimum, peripheralResistanceAt(500, minVolume + 0.0001, minVolume));
    EXPECT_EQ(atMinimum, peripheralResistanceAt(500, 0.0, minVolume));
    // At 0.5 l: cube roots 0.7937 and 0.4160, so 1/(500 * 0.3777^4) = 0.0981.
    EXPECT_NEAR(peripheralResistanceAt(500, 0.5, minVolume), 0.0981, 0.0005);
}

TEST(ModelStep, EmptyCentralCompartmentStaysFinite) {
    // rho raised to 0.001: (1 - 1000) * 0.999 * 0.032 / 0.0032 = -9980.01; V' = 0.001.
    EXPECT_NEAR(centralTransmuralPressure(0.0, 0.032, 0.0032, 0.0, 0.0, 10.0, 0.4), -9980.01, 1e-6);
    // With a net inflow of 1 l/s: 0.05 * 1 * (0.032 + 0.001) * (0.4 + 0.1) / 0.001 = 0.825.
    EXPECT_NEAR(centralTransmuralPressure(0.0, 0.032, 0.0032, 1.5, 0.5, 10.0, 0.4),
                -9980.01 + 0.825, 1e-6);
    // At its reference volume the compartment is unstressed.
    EXPECT_EQ(centralTransmuralPressure(0.032, 0.032, 0.0032, 0.0, 0.0, 10.0, 0.1), 0.0);
}

TEST(ModelStep, MusclePressureReachesItsTargetInEveryStep) {
    ModelState m = referenceModel();
    m.parameters.musclePressure.target = -1.0;
    const double before = m.state.modelTime;
    ModelStep(m, IntegrationState::substeps8);
    EXPECT_EQ(m.parameters.musclePressure.current, -1.0);
    EXPECT_NEAR(m.state.modelTime - before, 0.001, 1e-15);
    EXPECT_EQ(m.work.substepTotal, 8);
}

// A geometry target that would put the lobe beyond its maximal volume is held back, and the
// geometry group stays active until the target can be taken.
TEST(ModelStep, GeometryRampWaitsForTheLobeVolume) {
    ModelState m = referenceModel();
    m.progress.ramp = {
        .airways = true, .chestTissue = true, .geometry = true, .active = true, .countdown = 100};
    m.parameters.lobeMaxVolume[0].target = 0.1; // far below lobe 1's 0.6 l
    m.parameters.wallStiffness[0].target = 0.6;
    ModelStep(m, IntegrationState::substeps2);
    ASSERT_EQ(m.state.solverFailed, 0);
    EXPECT_TRUE(m.progress.ramp.geometry);
    EXPECT_FALSE(m.progress.ramp.airways);
    EXPECT_FALSE(m.progress.ramp.chestTissue);
    EXPECT_NEAR(m.parameters.lobeMaxVolume[0].current, m.state.lobeVolume[0] + 0.01, 1e-12);
    EXPECT_EQ(m.parameters.wallStiffness[0].current, 0.6);
}

// The minimal volumes' cube roots kept from the step before follow a minimal volume that moved.
TEST(ModelStep, KeptMinimalVolumeRootsFollowTheMinimalVolume) {
    ModelState kept = referenceModel();
    ModelStep(kept, IntegrationState::substeps2);
    kept.parameters.lobeMinVolume[2].setBoth(0.5 * kept.parameters.lobeMinVolume[2].current);
    ModelState fresh = kept;
    fresh.derived = DerivedCache{};
    ModelStep(kept, IntegrationState::substeps2);
    ModelStep(fresh, IntegrationState::substeps2);
    ASSERT_EQ(kept.state.solverFailed, 0);
    EXPECT_EQ(kept.state.peripheralResistance, fresh.state.peripheralResistance);
}

// Ramping as a whole lasts at least 101 steps after the groups have settled.
TEST(ModelStep, RampingEndsAfterTheCountdown) {
    ModelState m = referenceModel();
    m.progress.ramp = {
        .airways = true, .chestTissue = true, .geometry = true, .active = true, .countdown = 100};
    for (int step = 1; step <= 100; ++step)
        ModelStep(m, IntegrationState::substeps2);
    EXPECT_TRUE(m.progress.ramp.active);
    EXPECT_FALSE(m.progress.ramp.geometry);
    ModelStep(m, IntegrationState::substeps2);
    EXPECT_FALSE(m.progress.ramp.active);
    EXPECT_EQ(m.state.solverFailed, 0);
}

// An implausible or non-finite state fails the step instead of going on with it.
TEST(ModelStep, ImplausibleStateFailsTheStep) {
    struct Case {
        const char* name;
        void (*spoil)(ModelState&);
    };
    const Case cases[] = {
        {"mouth flow 200 l/s", [](ModelState& m) { m.state.mouthFlow = 200; }},
        {"mouth flow NaN",
         [](ModelState& m) { m.state.mouthFlow = std::numeric_limits<double>::quiet_NaN(); }},
        {"lung volume 25 l", [](ModelState& m) { m.state.lungVolume = 25; }},
        {"lobe compressed by 3 l", [](ModelState& m) { m.state.gasCompression[2] = 3; }},
        {"lobe 7 l", [](ModelState& m) { m.state.lobeVolume[4] = 7; }},
        {"lobe recoil too small", [](ModelState& m) { m.state.lobeVolume[0] = 0.21; }},
        {"infinite compliance scale",
         [](ModelState& m) {
             m.parameters.lobeElasticScale[1].setBoth(std::numeric_limits<double>::infinity());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModelState m = referenceModel();
        c.spoil(m);
        ModelStep(m, IntegrationState::substeps2);
        EXPECT_EQ(m.state.solverFailed, 1);
        EXPECT_EQ(m.work.substepTotal, 1); // stopped in the first substep
    }
}

} // namespace

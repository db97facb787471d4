// Settings conversion: percent settings of the reference and working rows into model targets.

#include "model/lobe_physics.h"
#include "model/model_initialisation.h"
#include "model/settings_conversion.h"
#include "record/record_state.h"
#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vm::record;
using namespace vm::model;

namespace {

using enum LungPart;
using enum SettingColumn;
using enum GlobalItem;

// A record whose rows 0 and 1 hold every part and global setting at 100.
SimulationRecord recordAtHundred() {
    SimulationRecord record;
    resetAllRowPartSettings(record);
    for (int row : {referenceRow, workingRow})
        for (int i = 0; i < layout::kGlobalItems; ++i)
            record.setGlobalSetting(row, i, 100);
    return record;
}

Parameters converted(const SimulationRecord& record) {
    ModelState model;
    setReferenceState(model);
    convertSettingsToTargets(model.parameters, record);
    return model.parameters;
}

TEST(SettingsConversion, AtHundredGivesTheReferenceValuesButHalfTheCentralVolume) {
    const Parameters m = converted(recordAtHundred());
    const double fraction[5] = {0.2, 0.25, 0.15, 0.2, 0.2};
    EXPECT_DOUBLE_EQ(m.tracheaTurbulentCoefficient.target, 0.0454575);
    for (int side = 0; side < 2; ++side) {
        EXPECT_DOUBLE_EQ(m.bronchusCoefficient[side].target, 0.00057);
        EXPECT_DOUBLE_EQ(m.centralCompliance[side].target, 0.0032);
        EXPECT_DOUBLE_EQ(m.centralReferenceVolume[side].target, 0.016);
    }
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_DOUBLE_EQ(m.intermediateResistance[k].target, 0.0567 / fraction[k]);
        EXPECT_DOUBLE_EQ(m.wallStiffness[k].target, 0.4);
        EXPECT_DOUBLE_EQ(m.peripheralConductance[k].target, 500);
        EXPECT_DOUBLE_EQ(m.lobeMinVolume[k].target, 0.36 * fraction[k]);
        EXPECT_DOUBLE_EQ(m.lobeMaxVolume[k].target, 6.2 * fraction[k]);
        EXPECT_DOUBLE_EQ(m.lobeElasticScale[k].target, 1.0);
        EXPECT_DOUBLE_EQ(m.tissueResistance[k].target, 0.04 / fraction[k]);
    }
    const double pleuralOffset[5] = {-0.1, 0.05, -0.1, 0.0, 0.1};
    for (int k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(m.pleuralOffset[k].current, pleuralOffset[k]);
        EXPECT_DOUBLE_EQ(m.pleuralOffset[k].target, pleuralOffset[k]);
    }
    EXPECT_NEAR(m.relativeLungSize, 1.0, 1e-12);
    EXPECT_NEAR(m.chestWallMinVolume.target, 1.5, 1e-12);
    EXPECT_NEAR(m.chestWallScale.target, 10.0 / 3.0, 1e-12);
    EXPECT_NEAR(m.chestWallConstant.target, 1.722 / (0.3 * std::sqrt(1.5)), 1e-12);
    EXPECT_DOUBLE_EQ(m.expiratoryPressure, 3.54);
    EXPECT_DOUBLE_EQ(m.inspiratoryPressure, -2.5);
    EXPECT_DOUBLE_EQ(m.effortRiseRate, 68.04);
    EXPECT_DOUBLE_EQ(m.endFlowThreshold, 0.025);
    EXPECT_DOUBLE_EQ(m.effortRiseTime, 6.04 / 68.04);
}

// A factor is reference% x working% / 10000, so a result keeps its absolute setting when the
// reference changes.
TEST(SettingsConversion, FactorIsTheProductOfReferenceAndWorkingRow) {
    struct Case {
        float reference, working, factor;
    };
    const Case cases[] = {{200, 50, 1.0f}, {100, 100, 1.0f}, {50, 50, 0.25f}, {100, 300, 3.0f}};
    for (const Case& c : cases) {
        SimulationRecord record = recordAtHundred();
        record.setPartSetting(referenceRow, bothLungs, rIntermediate, c.reference);
        record.setPartSetting(workingRow, bothLungs, rIntermediate, c.working);
        EXPECT_DOUBLE_EQ(partSettingFactor(record, bothLungs, rIntermediate), c.factor);
        const Parameters m = converted(record);
        EXPECT_DOUBLE_EQ(m.intermediateResistance[0].target, 0.0567 / 0.2 * c.factor);
    }
}

TEST(SettingsConversion, PeripheralFactorTwoGivesFourTimesTheResistance) {
    SimulationRecord record = recordAtHundred();
    record.setPartSetting(workingRow, bothLungs, rPeripheral, 200);
    const Parameters m = converted(record);
    for (int k = 0; k < 5; ++k) {
        EXPECT_DOUBLE_EQ(m.peripheralConductance[k].target, 125);
        const double minVolume = 0.36 * 0.2;
        const double normal = peripheralResistanceAt(500, 0.5, minVolume);
        EXPECT_DOUBLE_EQ(peripheralResistanceAt(m.peripheralConductance[k].target, 0.5, minVolume),
                         4 * normal);
    }
}

// The whole lungs, the lobe's own lung and the lobe itself multiply; the other lung is untouched.
TEST(SettingsConversion, LobeSettingsCombineBothLungsTheirLungAndTheLobe) {
    SimulationRecord record = recordAtHundred();
    record.setPartSetting(workingRow, bothLungs, stiffness, 150);
    record.setPartSetting(workingRow, rightLung, stiffness, 200);
    record.setPartSetting(workingRow, lobe3, stiffness, 50);
    const Parameters m = converted(record);
    const double expected[5] = {0.4 * 1.5, 0.4 * 1.5, 0.4 * 1.5 * 2 * 0.5, 0.4 * 1.5 * 2,
                                0.4 * 1.5 * 2};
    for (int k = 0; k < 5; ++k)
        EXPECT_DOUBLE_EQ(m.wallStiffness[k].target, expected[k]);
}

TEST(SettingsConversion, CentralResistanceSquaresForTheBronchiOnly) {
    SimulationRecord record = recordAtHundred();
    record.setPartSetting(workingRow, leftLung, rCentral, 200);
    record.setPartSetting(workingRow, bothLungs, rCentral, 300); // the trachea
    const Parameters m = converted(record);
    EXPECT_DOUBLE_EQ(m.bronchusCoefficient[0].target, 0.00057 * 4);
    EXPECT_DOUBLE_EQ(m.bronchusCoefficient[1].target, 0.00057);
    EXPECT_DOUBLE_EQ(m.tracheaTurbulentCoefficient.target, 0.0454575 * 3);
}

// Lung size scales a lung's lobes and the chest wall by the relative size Σ; a lobe's own size
// setting has no effect.
TEST(SettingsConversion, LungSizeScalesLungAndChestWall) {
    SimulationRecord record = recordAtHundred();
    record.setPartSetting(workingRow, leftLung, lungSize, 50); // half size
    record.setPartSetting(workingRow, lobe5, lungSize, 300);   // the lobe's own size: ignored
    const Parameters m = converted(record);
    const double sigma = (0.2 + 0.25) * 0.5 + (0.15 + 0.2 + 0.2); // 0.775
    EXPECT_NEAR(m.relativeLungSize, sigma, 1e-12);
    EXPECT_NEAR(m.chestWallMinVolume.target, 1.5 * sigma, 1e-12);
    EXPECT_DOUBLE_EQ(m.lobeMaxVolume[0].target, 6.2 * 0.2 * 0.5);
    EXPECT_DOUBLE_EQ(m.lobeMaxVolume[4].target, 6.2 * 0.2);
}

TEST(SettingsConversion, GlobalSettingsScaleTheEffortAndTheEndOfTest) {
    SimulationRecord record = recordAtHundred();
    record.setGlobalSetting(workingRow, expirationDepth, 50);
    record.setGlobalSetting(workingRow, effortRiseSpeed, 200);
    record.setGlobalSetting(referenceRow, inspiratoryEffort, 40);
    record.setGlobalSetting(workingRow, endFlowThreshold, 400);
    const Parameters m = converted(record);
    EXPECT_DOUBLE_EQ(m.expiratoryPressure, 1.77);
    EXPECT_DOUBLE_EQ(m.effortRiseRate, 136.08);
    EXPECT_DOUBLE_EQ(m.inspiratoryPressure, -1.0);
    EXPECT_DOUBLE_EQ(m.endFlowThreshold, 0.1);
    EXPECT_DOUBLE_EQ(m.effortRiseTime, 2.77 / 136.08);
}

} // namespace

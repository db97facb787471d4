// Model initialisation: the reference state, settled under the inspiratory muscle pressure.

#include "model/model_initialisation.h"
#include "record/record_state.h"
#include "record/vocabulary.h"

#include <gtest/gtest.h>

using namespace vm::record;
using namespace vm::model;

namespace {

// Settling runs whole 1-ms steps of 15 substeps until the model's time passes 2.5 s.
TEST(ModelInitialisation, SettlesForAbout2500StepsUnderFullInspiratoryPressure) {
    SimulationRecord record;
    ModelState m;
    InitialiseModel(m, record, true);
    EXPECT_EQ(m.state.solverFailed, 0);
    EXPECT_GT(m.state.modelTime, 2.5);
    EXPECT_LE(m.state.modelTime, 2.5 + 0.001 + 1e-9);
    EXPECT_EQ(m.work.substepTotal % 15, 0);
    EXPECT_NEAR(m.work.substepTotal / 15, 2501, 1);
    EXPECT_NEAR(m.parameters.musclePressure.current, -2.5, 1e-4);
    // Breathing in against the lungs' and chest wall's recoil: well above the resting 3.13 l,
    // below the 6.2 l at which the lobes' recoil diverges.
    EXPECT_GT(m.state.lungVolume, 4.0);
    EXPECT_LT(m.state.lungVolume, 6.2);
    EXPECT_FALSE(m.progress.ramp.active);
    // Nothing has run yet: no pleural offsets.
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(m.parameters.pleuralOffset[k].current, 0.0);
}

TEST(ModelInitialisation, ResetsEveryRowsPartSettingsOnlyWhenAsked) {
    for (bool reset : {true, false}) {
        SCOPED_TRACE(reset);
        SimulationRecord record;
        for (int row = 0; row < 5; ++row) {
            record.setPartSetting(row, LungPart::lobe1, SettingColumn::rPeripheral, 40.0f + row);
            record.setGlobalSetting(row, GlobalItem::expirationDepth, 70.0f);
        }
        ModelState m;
        InitialiseModel(m, record, reset);
        for (int row = 0; row < 5; ++row) {
            EXPECT_EQ(record.partSetting(row, LungPart::lobe1, SettingColumn::rPeripheral),
                      reset ? 100.0f : 40.0f + row);
            EXPECT_EQ(record.partSetting(row, LungPart::leftLung, SettingColumn::rCentral),
                      reset ? 100.0f : 0.0f);
            EXPECT_EQ(record.globalSetting(row, GlobalItem::expirationDepth), 70.0f);
        }
    }
}

} // namespace

#include "model/settings_conversion.h"

using namespace vm::record;

namespace vm::model {

namespace {

enum Column { rCentral, vdc, rIntermediate, stiffness, rPeripheral, ccc, lungSize, cm };
constexpr int kLeftLung = 0;
constexpr int kRightLung = 1;
constexpr int kBothLungs = 2;

int LungOfLobe(int lobe) {
    return lobe < kLeftLobeCount ? kLeftLung : kRightLung;
}

// S_k(c): the whole lungs, the lobe's lung and the lobe itself.
double LobeFactor(const SimulationRecord& record, int lobe, int column) {
    return PartSettingFactor(record, kBothLungs, column) *
           PartSettingFactor(record, LungOfLobe(lobe), column) *
           PartSettingFactor(record, 3 + lobe, column);
}

// The lobe parts' own lung-size settings are stored but do not scale a lobe.
double LobeSizeFactor(const SimulationRecord& record, int lobe) {
    return PartSettingFactor(record, kBothLungs, lungSize) *
           PartSettingFactor(record, LungOfLobe(lobe), lungSize);
}

} // namespace

double PartSettingFactor(const SimulationRecord& record, int part, int column) {
    return record.partSetting(referenceRow, part, column) / 100.0 *
           (record.partSetting(workingRow, part, column) / 100.0);
}

bool SettingIsRead(int part, int column) {
    return !(part >= 3 && column == lungSize);
}

double GlobalSettingFactor(const SimulationRecord& record, int item) {
    return record.globalSetting(referenceRow, item) / 100.0 *
           (record.globalSetting(workingRow, item) / 100.0);
}

void ConvertSettingsToTargets(Parameters& model, const SimulationRecord& record) {
    using namespace reference;
    const double leftR = PartSettingFactor(record, kLeftLung, rCentral);
    const double rightR = PartSettingFactor(record, kRightLung, rCentral);
    model.tracheaTurbulentCoefficient.target =
        kTracheaTurbulentCoefficient * PartSettingFactor(record, kBothLungs, rCentral);
    model.bronchusCoefficient[0].target = kBronchusCoefficient * leftR * leftR;
    model.bronchusCoefficient[1].target = kBronchusCoefficient * rightR * rightR;

    const double bothVdc = PartSettingFactor(record, kBothLungs, vdc);
    for (int side = 0; side < 2; ++side) {
        const double f = PartSettingFactor(record, side, vdc) * bothVdc;
        model.centralCompliance[side].target = kCentralCompliance * f;
        // Half the initialised volume: the compartment starts a run stretched.
        model.centralReferenceVolume[side].target = kCentralReferenceVolume_l * 0.5 * f;
    }

    double sizeSum = 0.0;
    for (int k = 0; k < kLobeCount; ++k) {
        const double fraction = lobeFraction[k];
        const double peripheral = LobeFactor(record, k, rPeripheral);
        model.intermediateResistance[k].target =
            kIntermediateResistance / fraction * LobeFactor(record, k, rIntermediate);
        model.wallStiffness[k].target = kWallStiffness_kPa * LobeFactor(record, k, stiffness);
        model.peripheralConductance[k].target = kPeripheralConductance / (peripheral * peripheral);
        model.lobeMinVolume[k].target = kLobeMinVolume_l * fraction * LobeFactor(record, k, ccc);
        model.lobeMaxVolume[k].target = kLobeMaxVolume_l * fraction * LobeSizeFactor(record, k);
        model.lobeElasticScale[k].target = kLobeElasticScale * LobeFactor(record, k, cm);
        model.tissueResistance[k].target = kTissueResistance / fraction;
        model.pleuralOffset[k].setBoth(runPleuralOffset[k]);
        sizeSum += fraction * LobeSizeFactor(record, k);
    }
    model.relativeLungSize = sizeSum;
    model.chestWallConstant.target = kChestWallConstant * sizeSum;
    model.chestWallScale.target = kChestWallScale * sizeSum;
    model.chestWallMinVolume.target = kChestWallMinVolume_l * sizeSum;

    model.expiratoryPressure = kExpiratoryPressure_kPa * GlobalSettingFactor(record, 0);
    model.effortRiseRate = kEffortRiseRate_kPaps * GlobalSettingFactor(record, 1);
    model.inspiratoryPressure = kInspiratoryPressure_kPa * GlobalSettingFactor(record, 2);
    model.endFlowThreshold = kEndFlowThreshold_lps * GlobalSettingFactor(record, 3);
    model.effortRiseTime =
        (model.expiratoryPressure - model.inspiratoryPressure) / model.effortRiseRate;
}

} // namespace vm::model

#include "model/settings_conversion.h"

#include "record/vocabulary.h"

using namespace vm::record;

namespace vm::model {

namespace {

using enum LungPart;
using enum SettingColumn;

// Lobes count from 0 here.
LungPart LungOfLobe(int lobe) {
    return lobe < kLeftLobeCount ? leftLung : rightLung;
}

// S_k(c): the whole lungs, the lobe's lung and the lobe itself.
double LobeFactor(const SimulationRecord& record, int lobe, SettingColumn column) {
    return PartSettingFactor(record, bothLungs, column) *
           PartSettingFactor(record, LungOfLobe(lobe), column) *
           PartSettingFactor(record, lobePart(lobe + 1), column);
}

// The lobe parts' own lung-size settings are stored but do not scale a lobe.
double LobeSizeFactor(const SimulationRecord& record, int lobe) {
    return PartSettingFactor(record, bothLungs, lungSize) *
           PartSettingFactor(record, LungOfLobe(lobe), lungSize);
}

} // namespace

double PartSettingFactor(const SimulationRecord& record, int part, int column) {
    return record.partSetting(referenceRow, part, column) / 100.0 *
           (record.partSetting(workingRow, part, column) / 100.0);
}

bool SettingIsRead(int part, int column) {
    return !(part >= lobe1 && column == lungSize);
}

double GlobalSettingFactor(const SimulationRecord& record, int item) {
    return record.globalSetting(referenceRow, item) / 100.0 *
           (record.globalSetting(workingRow, item) / 100.0);
}

void ConvertSettingsToTargets(Parameters& model, const SimulationRecord& record) {
    using namespace reference;
    const double leftR = PartSettingFactor(record, leftLung, rCentral);
    const double rightR = PartSettingFactor(record, rightLung, rCentral);
    model.tracheaTurbulentCoefficient.target =
        kTracheaTurbulentCoefficient * PartSettingFactor(record, bothLungs, rCentral);
    model.bronchusCoefficient[0].target = kBronchusCoefficient * leftR * leftR;
    model.bronchusCoefficient[1].target = kBronchusCoefficient * rightR * rightR;

    const double bothVdc = PartSettingFactor(record, bothLungs, vdc);
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

    model.expiratoryPressure =
        kExpiratoryPressure_kPa * GlobalSettingFactor(record, GlobalItem::expirationDepth);
    model.effortRiseRate =
        kEffortRiseRate_kPaps * GlobalSettingFactor(record, GlobalItem::effortRiseSpeed);
    model.inspiratoryPressure =
        kInspiratoryPressure_kPa * GlobalSettingFactor(record, GlobalItem::inspiratoryEffort);
    model.endFlowThreshold =
        kEndFlowThreshold_lps * GlobalSettingFactor(record, GlobalItem::endFlowThreshold);
    model.effortRiseTime =
        (model.expiratoryPressure - model.inspiratoryPressure) / model.effortRiseRate;
}

} // namespace vm::model

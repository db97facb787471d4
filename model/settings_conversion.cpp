#include "model/settings_conversion.h"

#include "record/vocabulary.h"

using namespace vm::record;

namespace vm::model {

namespace {

using enum LungPart;
using enum SettingColumn;

// Lobes count from 0 here.
LungPart lungOfLobe(int lobe) {
    return lobe < kLeftLobeCount ? leftLung : rightLung;
}

// S_k(c): the whole lungs, the lobe's lung and the lobe itself.
double lobeFactor(const SimulationRecord& record, int lobe, SettingColumn column) {
    return partSettingFactor(record, bothLungs, column) *
           partSettingFactor(record, lungOfLobe(lobe), column) *
           partSettingFactor(record, lobePart(lobe + 1), column);
}

// The lobe parts' own lung-size settings are stored but do not scale a lobe.
double lobeSizeFactor(const SimulationRecord& record, int lobe) {
    return partSettingFactor(record, bothLungs, lungSize) *
           partSettingFactor(record, lungOfLobe(lobe), lungSize);
}

} // namespace

double partSettingFactor(const SimulationRecord& record, int part, int column) {
    return record.partSetting(referenceRow, part, column) / 100.0 *
           (record.partSetting(workingRow, part, column) / 100.0);
}

bool settingIsRead(int part, int column) {
    return !(part >= lobe1 && column == lungSize);
}

double globalSettingFactor(const SimulationRecord& record, int item) {
    return record.globalSetting(referenceRow, item) / 100.0 *
           (record.globalSetting(workingRow, item) / 100.0);
}

void convertSettingsToTargets(Parameters& model, const SimulationRecord& record) {
    using namespace reference;
    const double leftR = partSettingFactor(record, leftLung, rCentral);
    const double rightR = partSettingFactor(record, rightLung, rCentral);
    model.tracheaTurbulentCoefficient.target =
        kTracheaTurbulentCoefficient * partSettingFactor(record, bothLungs, rCentral);
    model.bronchusCoefficient[0].target = kBronchusCoefficient * leftR * leftR;
    model.bronchusCoefficient[1].target = kBronchusCoefficient * rightR * rightR;

    const double bothVdc = partSettingFactor(record, bothLungs, vdc);
    for (int side = 0; side < 2; ++side) {
        const double f = partSettingFactor(record, side, vdc) * bothVdc;
        model.centralCompliance[side].target = kCentralCompliance * f;
        // Half the initialised volume: the compartment starts a run stretched.
        model.centralReferenceVolume[side].target = kCentralReferenceVolume_l * 0.5 * f;
    }

    double sizeSum = 0.0;
    for (int k = 0; k < kLobeCount; ++k) {
        const double fraction = lobeFraction[k];
        const double peripheral = lobeFactor(record, k, rPeripheral);
        model.intermediateResistance[k].target =
            kIntermediateResistance / fraction * lobeFactor(record, k, rIntermediate);
        model.wallStiffness[k].target = kWallStiffness_kPa * lobeFactor(record, k, stiffness);
        model.peripheralConductance[k].target = kPeripheralConductance / (peripheral * peripheral);
        model.lobeMinVolume[k].target = kLobeMinVolume_l * fraction * lobeFactor(record, k, ccc);
        model.lobeMaxVolume[k].target = kLobeMaxVolume_l * fraction * lobeSizeFactor(record, k);
        model.lobeElasticScale[k].target = kLobeElasticScale * lobeFactor(record, k, cm);
        model.tissueResistance[k].target = kTissueResistance / fraction;
        model.pleuralOffset[k].setBoth(runPleuralOffset[k]);
        sizeSum += fraction * lobeSizeFactor(record, k);
    }
    model.relativeLungSize = sizeSum;
    model.chestWallConstant.target = kChestWallConstant * sizeSum;
    model.chestWallScale.target = kChestWallScale * sizeSum;
    model.chestWallMinVolume.target = kChestWallMinVolume_l * sizeSum;

    model.expiratoryPressure =
        kExpiratoryPressure_kPa * globalSettingFactor(record, GlobalItem::expirationDepth);
    model.effortRiseRate =
        kEffortRiseRate_kPaps * globalSettingFactor(record, GlobalItem::effortRiseSpeed);
    model.inspiratoryPressure =
        kInspiratoryPressure_kPa * globalSettingFactor(record, GlobalItem::inspiratoryEffort);
    model.endFlowThreshold =
        kEndFlowThreshold_lps * globalSettingFactor(record, GlobalItem::endFlowThreshold);
    model.effortRiseTime =
        (model.expiratoryPressure - model.inspiratoryPressure) / model.effortRiseRate;
}

} // namespace vm::model

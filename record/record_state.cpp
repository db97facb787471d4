#include "record/record_state.h"

#include "record/vocabulary.h"

#include <string>

namespace vm::record {

using namespace layout;

double& RecordState::currentPart(int part, int column) {
    checkPart(part);
    if (column < 0 || column >= kSettingColumns)
        throw RangeError("Range check error: setting column " + std::to_string(column));
    return currentPartSettings[static_cast<std::size_t>(part)][static_cast<std::size_t>(column)];
}

double& RecordState::currentGlobal(int item) {
    checkGlobalItem(item);
    return currentGlobalSettings[static_cast<std::size_t>(item)];
}

void RecordState::resetCurrentSettings() {
    for (auto& part : currentPartSettings)
        part.fill(100.0);
    currentGlobalSettings.fill(100.0);
}

double usableSetting(float stored) {
    const bool usable = stored >= kLowestUsableSetting && stored <= kHighestUsableSetting;
    return usable ? stored : 100.0;
}

void loadCurrentPartSettingsFromRow(RecordState& state, const SimulationRecord& record, int row) {
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c)
            state.currentPart(p, c) = p == kEditedPart
                                          ? record.partSetting(row, p, c)
                                          : usableSetting(record.partSetting(row, p, c));
}

void loadCurrentGlobalSettingsFromRow(RecordState& state, const SimulationRecord& record, int row) {
    for (int i = 0; i < kGlobalItems; ++i) {
        const float stored = record.globalSetting(row, i);
        state.currentGlobal(i) = i <= GlobalItem::endFlowThreshold ? usableSetting(stored) : stored;
    }
}

void storeCurrentSettingsIntoWorkingRow(const RecordState& state, SimulationRecord& record) {
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c)
            record.setPartSetting(workingRow, p, c,
                                  static_cast<float>(state.currentPartSettings[p][c]));
    for (int i = 0; i < kGlobalItems; ++i)
        record.setGlobalSetting(workingRow, i, static_cast<float>(state.currentGlobalSettings[i]));
}

void resetAllRowPartSettings(SimulationRecord& record) {
    for (int r = 0; r < kRowCount; ++r)
        for (int p = 0; p < kParts; ++p)
            for (int c = 0; c < kSettingColumns; ++c)
                record.setPartSetting(r, p, c, 100.0f);
}

} // namespace vm::record

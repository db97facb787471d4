#pragma once
// The record-wide state kept beside the record: how many results are in use, which one is
// selected, and the settings the control panel edits now.

#include "record/simulation_record.h"

#include <array>

namespace vm::record {

struct RecordState {
    int resultCount = 0;  // 0..3, counted from row 1
    int selectedRow = -1; // -1 or 1..resultCount
    std::array<std::array<double, layout::kSettingColumns>, layout::kParts> currentPartSettings;
    std::array<double, layout::kGlobalItems> currentGlobalSettings;

    RecordState() { resetCurrentSettings(); }

    // Checked access: part 0..7, column 0..7, item 0..19.
    double& currentPart(int part, int column);
    double& currentGlobal(int item);

    void resetCurrentSettings();
};

// workingRow settings = current settings, as single precision (columns 8..15 untouched).
void storeCurrentSettingsIntoWorkingRow(const RecordState& state, SimulationRecord& record);

// The part settings of every row set to 100 (columns 0..7); global settings untouched.
void resetAllRowPartSettings(SimulationRecord& record);

} // namespace vm::record

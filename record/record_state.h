#pragma once
// The record-wide state kept beside the record: how many results are in use, which one is
// selected, and the settings the control panel edits now.

#include "record/simulation_record.h"
#include "record/vocabulary.h"

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

// A stored setting as the current settings take it: one outside the usable range (NaN, an
// infinity, zero or less, a huge value: found only in files from elsewhere) is taken as 100, so
// that a setting without a control of its own cannot keep every later run from succeeding.
double usableSetting(float stored);

// The current settings from record row `row`. The part the track bars edit is copied as stored
// (its bars take what they can show), every other part through usableSetting; of the 20 global
// items, those the model reads (0..3) go through usableSetting and the others are copied.
void loadCurrentPartSettingsFromRow(RecordState& state, const SimulationRecord& record, int row);
void loadCurrentGlobalSettingsFromRow(RecordState& state, const SimulationRecord& record, int row);

// workingRow settings = current settings, as single precision (columns 8..15 untouched).
void storeCurrentSettingsIntoWorkingRow(const RecordState& state, SimulationRecord& record);

// The part settings of every row set to 100 (columns 0..7); global settings untouched.
void resetAllRowPartSettings(SimulationRecord& record);

} // namespace vm::record

#pragma once
// Start-up: a freshly initialised model, every setting at 100 in the reference and working row.

#include "model/model_initialisation.h"
#include "record/simulation_record.h"

struct StandardStart {
    vm::record::SimulationRecord record;
    vm::model::ModelState model;
    StandardStart() {
        vm::model::InitialiseModel(model, record, true);
        for (int row : {vm::record::referenceRow, vm::record::workingRow})
            for (int i = 0; i < vm::record::layout::kGlobalItems; ++i)
                record.setGlobalSetting(row, i, 100.0f);
    }
    float field(vm::record::RowField f) const { return record.field(vm::record::workingRow, f); }
};

#include "cli/standard_record_maker.h"

#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"

#include <algorithm>

using namespace vm::record;
using namespace vm::model;

namespace vm::cli {

using namespace layout;

bool makeStandardRecord(SimulationRecord& record, std::string& message) {
    SimulationRecord work;
    ModelState model;
    InitialiseModel(model, work, true);
    for (int row : {referenceRow, workingRow})
        for (int i = 0; i < kGlobalItems; ++i)
            work.setGlobalSetting(row, i, 100.0f);
    RunForcedExpiration(model, work, {});
    if (work.field(workingRow, RowField::runStatus) != kRunValid) {
        message = "the standard run did not give a valid result (runStatus " +
                  std::to_string(work.field(workingRow, RowField::runStatus)) + ")";
        return false;
    }
    // Row 0 is the run's row as it stands, settings included; everything else is zero.
    SimulationRecord standard;
    standard.setRowBytes(referenceRow, work.rowBytes(workingRow));
    record = standard;
    return true;
}

} // namespace vm::cli

#include "session/standard_record.h"

#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "model/run_status.h"
#include "record/record_file.h"

#include <system_error>

using namespace vm::record;
using namespace vm::model;

namespace vm::session {

using namespace layout;

bool MakeStandardRecord(SimulationRecord& record, std::string& message) {
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

std::string WriteStandardRecord(const std::filesystem::path& path) {
    SimulationRecord standard;
    std::string message;
    if (!MakeStandardRecord(standard, message))
        return message;
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    if (const FileResult written = writeRecordFile(path, standard); !written.ok)
        return "cannot write the standard record: " + written.message;
    return {};
}

} // namespace vm::session

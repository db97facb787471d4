#include "cli/run_start.h"

#include "record/record_file.h"

using namespace vm::record;
using namespace vm::session;

namespace vm::cli {

namespace fs = std::filesystem;

namespace {

// The reference row from a file, or from the standard record beside the runner.
std::string loadReference(const CliOptions& options, const ProgramFolder& folder,
                          SimulationRecord& record) {
    fs::path referencePath;
    if (options.referenceFile) {
        referencePath = *options.referenceFile;
    } else {
        referencePath = folder.standardRecord();
        if (!fs::exists(referencePath))
            return "standard record not found: " + referencePath.string() +
                   "\n(build the standard_record target, or give --reference FILE)";
    }
    SimulationRecord loaded;
    if (const FileResult read = readRecordFile(referencePath, loaded); !read.ok)
        return "cannot read the reference: " + read.message;
    // The reference keeps the settings stored with it, as after opening a simulation file.
    record.setRowBytes(referenceRow, loaded.rowBytes(referenceRow));
    return {};
}

// The file's record as opening it in the program gives it; the settings of the row it shows
// become the current ones, global items included.
std::string startFromFile(Session& session, const fs::path& path) {
    const ViewChanges opened = session.OpenSimulationFile(path);
    if (opened.message)
        return "cannot read the simulation file: " + *opened.message;
    if (session.state().selectedRow == 1)
        session.SelectResultRow(1);
    else
        loadCurrentGlobalSettingsFromRow(session.state(), session.record(), referenceRow);
    return {};
}

} // namespace

std::string PrepareRunStart(RunnerSession& runner, const CliOptions& options) {
    runner.session.InitialiseModel();
    const std::string problem =
        options.fromFile ? startFromFile(runner.session, *options.fromFile)
                         : loadReference(options, runner.session.folder(), runner.record);
    if (problem.empty())
        ApplyCurrentSettings(runner.current, options.partSettings, options.globalSettings);
    return problem;
}

void ApplyCurrentSettings(RecordState& current, const std::vector<PartSettingChange>& partSettings,
                          const std::vector<GlobalSettingChange>& globalSettings) {
    for (const PartSettingChange& c : partSettings)
        current.currentPart(c.part, c.column) = c.percent;
    for (const GlobalSettingChange& g : globalSettings)
        current.currentGlobal(g.item) = g.percent;
}

} // namespace vm::cli

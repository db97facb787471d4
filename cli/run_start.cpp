#include "cli/run_start.h"

using namespace vm::record;
using namespace vm::session;

namespace vm::cli {

namespace fs = std::filesystem;

namespace {

// The reference row from a file, or from the standard record beside the runner. The reference
// keeps the settings stored with it, as after opening a simulation file.
std::string loadReference(Session& session, const CliOptions& options) {
    fs::path referencePath;
    if (options.referenceFile) {
        referencePath = *options.referenceFile;
    } else {
        referencePath = session.folder().standardRecord();
        if (!fs::exists(referencePath))
            return "standard record not found: " + referencePath.string() +
                   "\n(build the standard_record target, or give --reference FILE)";
    }
    if (const ViewChanges read = session.UseReferenceFrom(referencePath); read.message)
        return "cannot read the reference: " + *read.message;
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
        session.TakeRowSettings(referenceRow);
    return {};
}

} // namespace

std::string PrepareRunStart(Session& session, const CliOptions& options) {
    session.InitialiseModel();
    return PrepareRunSettings(session, options);
}

std::string PrepareRunSettings(Session& session, const CliOptions& options) {
    const std::string problem = options.fromFile ? startFromFile(session, *options.fromFile)
                                                 : loadReference(session, options);
    if (!problem.empty())
        return problem;
    ApplyCurrentSettings(session, options.partSettings, options.globalSettings);
    if (options.patient)
        if (const ViewChanges set = session.SetPatient(*options.patient); set.message)
            return *set.message;
    return {};
}

void ApplyCurrentSettings(Session& session, const std::vector<PartSettingChange>& partSettings,
                          const std::vector<GlobalSettingChange>& globalSettings) {
    for (const PartSettingChange& c : partSettings)
        session.SetPartSetting(c.part, c.column, c.percent);
    for (const GlobalSettingChange& g : globalSettings)
        session.SetGlobalSetting(g.item, g.percent);
}

} // namespace vm::cli

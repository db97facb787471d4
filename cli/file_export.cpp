#include "cli/file_export.h"

#include "session/batch_csv.h"
#include "session/session.h"

#include <system_error>

using namespace vm::session;

namespace vm::cli {

ExportOutcome ExportSimulationFile(const ExportRequest& request,
                                   const std::filesystem::path& exeDir,
                                   const PlotPictureWriter& pictures) {
    const std::filesystem::path& folder = request.folder;
    Session runner(ProgramFolder{exeDir});
    if (const ViewChanges opened = runner.OpenSimulationFile(request.file); opened.message)
        return {"cannot read the simulation file: " + *opened.message, {}};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return {"cannot make the folder " + folder.string() + ": " + error.message(), {}};

    if (request.patient)
        runner.SetPatient(*request.patient);
    const auto& record = runner.record();
    const int results = runner.state().resultCount;
    const std::string csv[kExportedCsvFiles] = {
        FlowVolumeCsv(record, results), VolumeTimeCsv(record, results), ResultsCsv(runner, true)};
    for (int i = 0; i < kExportedCsvFiles; ++i)
        if (std::string problem = WriteTextFile(folder / kExportedFiles[i], csv[i]);
            !problem.empty())
            return {std::move(problem), {}};
    if (!pictures)
        return {{},
                "the plots are not exported: this runner was built without them "
                "(VM_BUILD_GUI=OFF)"};
    return {pictures(runner, folder, request.report), {}};
}

} // namespace vm::cli

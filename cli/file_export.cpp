#include "cli/file_export.h"

#include "session/curve_export.h"
#include "session/session.h"

#include <system_error>

using namespace vm::session;

namespace vm::cli {

ExportOutcome ExportSimulationFile(const std::filesystem::path& file,
                                   const std::filesystem::path& folder,
                                   const std::filesystem::path& exeDir,
                                   const PlotPictureWriter& pictures) {
    Session runner(ProgramFolder{exeDir});
    if (const ViewChanges opened = runner.OpenSimulationFile(file); opened.message)
        return {"cannot read the simulation file: " + *opened.message, {}};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return {"cannot make the folder " + folder.string() + ": " + error.message(), {}};

    const auto& record = runner.record();
    const int results = runner.state().resultCount;
    using CsvMaker = std::string (*)(const record::SimulationRecord&, int);
    constexpr CsvMaker kCsvMakers[kExportedCsvFiles] = {FlowVolumeCsv, VolumeTimeCsv, ResultsCsv};
    for (int i = 0; i < kExportedCsvFiles; ++i)
        if (std::string problem =
                WriteTextFile(folder / kExportedFiles[i], kCsvMakers[i](record, results));
            !problem.empty())
            return {std::move(problem), {}};
    if (!pictures)
        return {{},
                "the plots are not exported: this runner was built without them "
                "(VM_BUILD_GUI=OFF)"};
    return {pictures(record, runner.state().selectedRow, folder), {}};
}

} // namespace vm::cli

#include "cli/file_export.h"

#include "cli/run_start.h"
#include "plots/plot_export.h"
#include "session/curve_export.h"

#include <QGuiApplication>
#include <QImage>

#include <system_error>

using namespace vm::session;
using namespace vm::plots;

namespace vm::cli {

std::string ExportSimulationFile(const std::filesystem::path& file,
                                 const std::filesystem::path& folder,
                                 const std::filesystem::path& exeDir, int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    Session runner(ProgramFolder{exeDir});
    if (const ViewChanges opened = runner.OpenSimulationFile(file); opened.message)
        return "cannot read the simulation file: " + *opened.message;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return "cannot make the folder " + folder.string() + ": " + error.message();

    const auto& record = runner.record();
    const int results = runner.state().resultCount;
    const int selected = runner.state().selectedRow;
    const QImage flowVolume = FlowVolumePlotImage(record, selected, kDesignFlowVolumePlotSize);
    const QImage volumeTime = VolumeTimePlotImage(record, selected, kDesignVolumeTimePlotSize);
    const std::string written[] = {
        WriteTextFile(folder / kExportedFiles[0], FlowVolumeCsv(record, results)),
        WriteTextFile(folder / kExportedFiles[1], VolumeTimeCsv(record, results)),
        WriteTextFile(folder / kExportedFiles[2], ResultsCsv(record, results)),
        SavePlotImage(flowVolume, folder / kExportedFiles[3]),
        SavePlotImage(flowVolume, folder / kExportedFiles[4]),
        SavePlotImage(volumeTime, folder / kExportedFiles[5]),
        SavePlotImage(volumeTime, folder / kExportedFiles[6]),
    };
    for (const std::string& problem : written)
        if (!problem.empty())
            return problem;
    return {};
}

} // namespace vm::cli

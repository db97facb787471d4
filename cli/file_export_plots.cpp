// The pictures of export, drawn by the plots' own functions at the size the window shows them on
// a 1280x1024 screen.

#include "cli/file_export.h"
#include "plots/plot_export.h"
#include "report/result_report.h"

#include <QGuiApplication>
#include <QImage>

using namespace vm::plots;

namespace vm::cli {

PlotPictureWriter plotPictureWriter() {
    return
        [](const session::Session& session, const std::filesystem::path& folder, bool withReport) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            // Qt takes options of its own (-platform, -style, ...) from the arguments it is given,
            // so it gets a list of its own: a folder named "-platform" is the runner's, not Qt's.
            static char name[] = "velta-morvane-cli";
            static char* arguments[] = {name, nullptr};
            static int count = 1;
            const QGuiApplication application(count, arguments);
            const auto& record = session.record();
            const int selectedRow = session.state().selectedRow;
            const QImage flowVolume =
                FlowVolumePlotImage(record, selectedRow, kDesignFlowVolumePlotSize);
            const QImage volumeTime =
                VolumeTimePlotImage(record, selectedRow, kDesignVolumeTimePlotSize);
            const QImage* const shown[] = {&flowVolume, &flowVolume, &volumeTime, &volumeTime};
            for (int i = 0; i < 4; ++i)
                if (std::string problem =
                        SavePlotImage(*shown[i], folder / kExportedFiles[kExportedCsvFiles + i]);
                    !problem.empty())
                    return problem;
            return withReport ? report::WriteResultReport(session, std::max(selectedRow, 0),
                                                          folder / kExportedReport)
                              : std::string();
        };
}

} // namespace vm::cli

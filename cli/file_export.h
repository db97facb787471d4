#pragma once
// export: a simulation file's curves and results as CSV and both plots as PNG and SVG, the file
// opened as the program opens it. A runner built without the plots (VM_BUILD_GUI off) writes the
// CSV files only and says so.

#include "record/vocabulary.h"
#include "session/session.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace vm::cli {

// The files export writes, in this order: the CSV files, then the pictures.
inline constexpr const char* kExportedFiles[] = {
    "flow_volume.csv", "volume_time.csv", "results.csv",    "flow_volume.png",
    "flow_volume.svg", "volume_time.png", "volume_time.svg"};
inline constexpr int kExportedCsvFiles = 3;

// The selected result's one-page report, written by export --report.
inline constexpr const char* kExportedReport = "report.pdf";

// Draws both plots of the session's record, its selected row thicker, and writes the last four of
// kExportedFiles into folder, then with withReport the report; empty on success, else the first
// thing that went wrong.
using PlotPictureWriter = std::function<std::string(
    const session::Session& session, const std::filesystem::path& folder, bool withReport)>;

// This runner's writer of the pictures: the plots drawn with Qt Gui, which needs an application
// object but no screen. None when the runner was built without them.
PlotPictureWriter plotPictureWriter();

struct ExportOutcome {
    std::string problem; // what stopped the export, nothing written after it; empty when done
    std::string note;    // what was left out on purpose: the pictures, without a writer
};

// Writes the files into folder, made when missing, each one whole or not at all, and stops at
// the first that cannot be written. With a patient, results.csv holds each row's predicted
// values, limits, z-scores and reading as well.
struct ExportRequest {
    std::filesystem::path file;
    std::filesystem::path folder;
    std::optional<session::Patient> patient;
    bool report = false;
};
ExportOutcome ExportSimulationFile(const ExportRequest& request,
                                   const std::filesystem::path& exeDir,
                                   const PlotPictureWriter& pictures);

} // namespace vm::cli

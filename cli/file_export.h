#pragma once
// export: a simulation file's curves and results as CSV and both plots as PNG and SVG, the file
// opened as the program opens it. A runner built without the plots (VM_BUILD_GUI off) refuses.

#include <filesystem>
#include <string>

namespace vm::cli {

// The files export writes, in this order.
inline constexpr const char* kExportedFiles[] = {
    "flow_volume.csv", "volume_time.csv", "results.csv",    "flow_volume.png",
    "flow_volume.svg", "volume_time.png", "volume_time.svg"};

// Writes them into folder, made when missing; empty on success, else what went wrong. The plots
// are drawn with Qt Gui, which needs an application object (made from argc and argv) but no
// screen.
std::string ExportSimulationFile(const std::filesystem::path& file,
                                 const std::filesystem::path& folder,
                                 const std::filesystem::path& exeDir, int argc, char** argv);

} // namespace vm::cli

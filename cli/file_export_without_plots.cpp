// The runner of a build without the plots: export has nothing to draw with.

#include "cli/file_export.h"

namespace vm::cli {

std::string ExportSimulationFile(const std::filesystem::path&, const std::filesystem::path&,
                                 const std::filesystem::path&, int, char**) {
    return "export needs the plots, and this runner was built without them (VM_BUILD_GUI=OFF)";
}

} // namespace vm::cli

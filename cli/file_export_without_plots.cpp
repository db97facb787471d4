// The runner of a build without the plots: export has nothing to draw the pictures with.

#include "cli/file_export.h"

namespace vm::cli {

PlotPictureWriter plotPictureWriter() {
    return {};
}

} // namespace vm::cli

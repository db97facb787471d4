// The parameter table read from its file, then asked what the airway picture asks of it: which
// region lies under the mouse, its hotspot code, and what a left or right click there does.

#include "data/hotspots.h"
#include "data/parameter_table.h"
#include "fuzz_scratch.h"

#include <cstddef>
#include <cstdint>
#include <utility>

using namespace vm::data;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = vm::fuzz::writeScratchFile("F000.dat", data, size);
    TextGrid grid(kParameterTableColumns, kParameterTableRows);
    if (!ReadParameterTable(path, grid).ok)
        return 0;
    // A picture of the program's size, the mouse at two corners, its centre and near one: each
    // position looks at every row, which for a table of a megabyte is most of an input's time.
    constexpr int width = 321;
    constexpr int height = 241;
    for (const auto& [x, y] :
         {std::pair{0, 0}, std::pair{16, 24}, std::pair{160, 120}, std::pair{320, 240}}) {
        const int row = hoveredRegion(grid, x, y, width, height);
        (void)hotspotOf(regionCode(grid, row));
        (void)rightClickHelpFile(grid, row);
        (void)leftClickSection(grid, row);
    }
    for (int row = 0; row < grid.rowCount(); ++row)
        (void)hotspotOf(regionCode(grid, row));
    return 0;
}

#pragma once
// The hidden parameter table `tparm`: the hotspots of the airway picture, read from
// "datfiles1/F000.dat" (one table row per line, fields separated by ";").

#include "data/text_grid.h"
#include "record/record_file.h"

#include <cstdint>
#include <filesystem>

namespace vm::data {

// The table starts as 5 columns by 40 rows; reading only ever grows it.
inline constexpr int kParameterTableColumns = 5;
inline constexpr int kParameterTableRows = 40;

// The table is about a kilobyte. A cell costs the grid tens of bytes whatever its length, so a
// 16 MiB file of one-character lines would take a gigabyte; one of this size takes under 100 MB.
inline constexpr std::uintmax_t kMaxParameterTableBytes = 1u << 20;

// Reads the file line by line into the grid: line i fills row i from column 0 on, the grid grows
// to fit, cells right of a line's last field keep their text. The file is in the Central European
// single-byte code page; cells hold UTF-8. LF and CRLF line ends are accepted.
// A missing file gives "File not found:" followed by the path and leaves the grid as it was; a
// file larger than kMaxParameterTableBytes the file layer's "File too large" and the grid as it
// was; any other read error the file layer's message, with the lines before it already stored.
record::FileResult ReadParameterTable(const std::filesystem::path& path, TextGrid& grid);

// One line's bytes (without its line end) split into the grid's row `row`.
void storeParameterLine(std::string_view line, int row, TextGrid& grid);

} // namespace vm::data

#pragma once
// Where the fuzz targets put the bytes they are given, so that each loader reads them as a file
// the way the program does: one scratch folder per process, removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vm::fuzz {

const std::filesystem::path& scratchFolder();

// Writes the bytes over scratchFolder()/name and returns that path.
std::filesystem::path writeScratchFile(std::string_view name, const std::uint8_t* data,
                                       std::size_t size);

} // namespace vm::fuzz

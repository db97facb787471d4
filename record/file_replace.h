#pragma once
// Writing a whole file the user chose: a regular file is replaced only once the new contents are
// complete, anything else is written where it is.

#include "record/file_layer.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace vm::record {

// A symbolic link is followed to the file it names. A regular file (or a new one) is written as
// NAME.part beside it, which keeps the old file's permission bits and is renamed over it, so a
// failed write never leaves a truncated file. A device or FIFO is written directly and its error
// reported (a FIFO nobody reads is an error rather than a wait).
FileResult replaceFileContents(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes);

// Whether replaceFileContents could write path, checked before any work that ends in writing it:
// the target, when it exists, must be writable and not a folder; otherwise its folder must be.
FileResult checkWritableTarget(const std::filesystem::path& path);

} // namespace vm::record

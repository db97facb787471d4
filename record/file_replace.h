#pragma once
// Writing a whole file the user chose: a regular file is replaced only once the new contents are
// complete, anything else is written where it is.

#include "record/file_layer.h"

#include <cstdint>
#include <filesystem>
#include <span>

namespace vm::record {

// A symbolic link is followed to the file it names. A regular file the user may not write is
// refused, as a shell's redirection refuses it, and left untouched. A regular file the user may
// write (or a new one) is written into a temporary file of its own beside it, created afresh and
// renamed over the target once complete: a failed write never leaves a truncated file, and of
// two programs saving the same file at once each replaces it whole. The file keeps its permission
// bits; a new one gets the bits the umask leaves. A device or FIFO is written directly and its
// error reported (a FIFO nobody reads is an error rather than a wait).
FileResult replaceFileContents(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes);

// Whether replaceFileContents could write path, checked before any work that ends in writing it:
// the target, when it exists, must be writable and not a folder, and a regular file's folder must
// be writable too.
FileResult checkWritableTarget(const std::filesystem::path& path);

} // namespace vm::record

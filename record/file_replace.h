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
// be writable too. A FIFO must have a reader, and is held open from here to the write, so that the
// reader does not take the check for the end of what it reads; a device is only asked whether it
// may be written.
FileResult checkWritableTarget(const std::filesystem::path& path);

// A file for work that writes and reads back a file of its own before it writes its target: made
// as the file layer makes its temporary files (a short name of its own, created afresh), beside a
// target that is replaced by a rename, in the system's temporary folder for one written as a
// stream or for none, and removed when this goes.
class ScratchFile {
  public:
    explicit ScratchFile(const std::filesystem::path& target);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const FileResult& made() const { return made_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    FileResult made_;
};

} // namespace vm::record

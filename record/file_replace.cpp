#include "record/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vm::record {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkHops = 40; // as the kernel's own limit before ELOOP

// The file a chain of symbolic links ends at (which need not exist yet); nullopt for a loop.
std::optional<fs::path> followLinks(fs::path path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code ec;
        if (fs::symlink_status(path, ec).type() != fs::file_type::symlink)
            return path;
        const fs::path next = fs::read_symlink(path, ec);
        if (ec)
            return path;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

// Opens a device or FIFO for writing; a FIFO with no reader fails (ENXIO) instead of waiting.
int openInPlace(const fs::path& target) {
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0)
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

// FIFOs checked before the work that ends in writing them, held open from the check to the
// write: a FIFO nobody reads is refused before the work, and a reader waiting on one does not take
// the check's close for the end of what it reads.
class HeldFifos {
  public:
    void hold(const fs::path& path, int fd) {
        const std::lock_guard lock(mutex_);
        if (const auto held = fds_.find(path.native()); held != fds_.end())
            ::close(held->second);
        fds_[path.native()] = fd;
    }
    // The descriptor held for path, now the caller's; -1 when none is.
    int take(const fs::path& path) {
        const std::lock_guard lock(mutex_);
        const auto held = fds_.find(path.native());
        if (held == fds_.end())
            return -1;
        const int fd = held->second;
        fds_.erase(held);
        return fd;
    }

  private:
    std::mutex mutex_;
    std::map<std::string, int> fds_;
};

HeldFifos& heldFifos() {
    static HeldFifos fifos;
    return fifos;
}

FileResult writeInPlace(const fs::path& target, std::span<const std::uint8_t> bytes,
                        const fs::path& shown) {
    int fd = heldFifos().take(target);
    if (fd < 0)
        fd = openInPlace(target);
    if (fd < 0)
        return errnoFailure(errno, shown);
    const bool written = writeAllBytes(fd, bytes.data(), bytes.size());
    if (!closeFile(fd) || !written)
        return errnoFailure(errno, shown);
    return FileResult::success();
}

// ".vm-" and eight letters or digits: a name short enough beside any name the folder takes.
std::string temporaryName() {
    static constexpr std::string_view kSymbols = "abcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}() ^
                                        (static_cast<std::uint64_t>(::getpid()) << 32)};
    std::string name = ".vm-";
    std::uniform_int_distribution<std::size_t> pick(0, kSymbols.size() - 1);
    for (int i = 0; i < 8; ++i)
        name += kSymbols[pick(engine)];
    return name;
}

// A new file in folder that no other writer has opened: created exclusively, under a name tried
// afresh while one is taken. The umask applies to its mode as to any new file. Returns the
// descriptor, or -1 with errno set.
int createTemporaryFile(const fs::path& folder, fs::path& created) {
    constexpr int kAttempts = 64;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        created = folder / temporaryName();
        const int fd =
            ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

FileResult writeBesideAndRename(const fs::path& target, std::optional<mode_t> keptMode,
                                std::span<const std::uint8_t> bytes, const fs::path& shown) {
    fs::path temporary;
    const int fd = createTemporaryFile(target.parent_path(), temporary);
    if (fd < 0)
        return errnoFailure(errno, shown);
    // fchmod, not the open's mode: the umask must not widen or narrow the file's own bits.
    bool written = !keptMode || ::fchmod(fd, *keptMode) == 0;
    written = written && writeAllBytes(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const bool closed = closeFile(fd);
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(temporary.c_str());
        return errnoFailure(e, shown);
    }
    return FileResult::success();
}

// A regular file is replaced only where the user may write it: the rename alone would need no
// more than the folder's permission.
FileResult checkWritableFile(const fs::path& target, const fs::path& shown) {
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return errnoFailure(errno, shown);
    return FileResult::success();
}

// What path names, the links followed by the system itself: a link the kernel makes of an open
// file (/dev/stdout, /dev/fd/N) names a pipe or a terminal as no path does ("pipe:[1234]").
// True when it exists; errno tells otherwise.
bool statOfPath(const fs::path& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

bool isStream(const struct stat& info) {
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

} // namespace

FileResult replaceFileContents(const fs::path& path, std::span<const std::uint8_t> bytes) {
    struct stat info {};
    const bool exists = statOfPath(path, info);
    if (!exists && errno != ENOENT && errno != ELOOP)
        return errnoFailure(errno, path);
    // A pipe or a device takes the bytes as a stream where it is, with no file beside it.
    if (exists && isStream(info))
        return writeInPlace(path, bytes, path);
    if (exists && S_ISDIR(info.st_mode))
        return errnoFailure(EISDIR, path);
    // A regular file is replaced where the links end, so that a link stays a link.
    const std::optional<fs::path> target = followLinks(path);
    if (!target)
        return errnoFailure(ELOOP, path);
    if (!exists)
        return writeBesideAndRename(*target, std::nullopt, bytes, path);
    if (FileResult writable = checkWritableFile(*target, path); !writable.ok)
        return writable;
    return writeBesideAndRename(*target, info.st_mode & 07777, bytes, path);
}

FileResult checkWritableTarget(const fs::path& path) {
    struct stat info {};
    const bool exists = statOfPath(path, info);
    if (!exists && errno != ENOENT && errno != ELOOP)
        return errnoFailure(errno, path);
    if (exists && S_ISFIFO(info.st_mode)) {
        const int fd = openInPlace(path);
        if (fd < 0)
            return errnoFailure(errno, path);
        heldFifos().hold(path, fd);
        return FileResult::success();
    }
    // A device is not opened for the check: closing some has effects of its own.
    if (exists && isStream(info)) {
        if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
            return errnoFailure(errno, path);
        return FileResult::success();
    }
    if (exists && S_ISDIR(info.st_mode))
        return errnoFailure(EISDIR, path);
    const std::optional<fs::path> target = followLinks(path);
    if (!target)
        return errnoFailure(ELOOP, path);
    if (exists) {
        if (FileResult writable = checkWritableFile(*target, path); !writable.ok)
            return writable;
    }
    // A regular file is replaced by a rename, which needs its folder writable.
    const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errnoFailure(errno, path);
    if (!fs::is_directory(folder))
        return errnoFailure(ENOTDIR, path);
    return FileResult::success();
}

ScratchFile::ScratchFile(const fs::path& target) {
    struct stat info {};
    std::optional<fs::path> beside = target.empty() ? std::nullopt : followLinks(target);
    if (beside && statOfPath(target, info) && isStream(info))
        beside.reset();
    std::error_code error;
    const fs::path folder = !beside                     ? fs::temp_directory_path(error)
                            : beside->has_parent_path() ? beside->parent_path()
                                                        : fs::path(".");
    const int fd = error ? -1 : createTemporaryFile(folder, path_);
    if (fd < 0 || !closeFile(fd)) {
        made_ = errnoFailure(error ? error.value() : errno, fd < 0 ? folder : path_);
        if (fd >= 0)
            ::unlink(path_.c_str());
        path_.clear();
    }
}

ScratchFile::~ScratchFile() {
    if (!path_.empty())
        ::unlink(path_.c_str());
}

} // namespace vm::record

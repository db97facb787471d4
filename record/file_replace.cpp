#include "record/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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

FileResult writeInPlace(const fs::path& target, std::span<const std::uint8_t> bytes,
                        const fs::path& shown) {
    const int fd = openInPlace(target);
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

} // namespace

FileResult replaceFileContents(const fs::path& path, std::span<const std::uint8_t> bytes) {
    const std::optional<fs::path> target = followLinks(path);
    if (!target)
        return errnoFailure(ELOOP, path);
    struct stat info {};
    if (::stat(target->c_str(), &info) != 0) {
        if (errno != ENOENT)
            return errnoFailure(errno, path);
        return writeBesideAndRename(*target, std::nullopt, bytes, path);
    }
    if (S_ISDIR(info.st_mode))
        return errnoFailure(EISDIR, path);
    if (!S_ISREG(info.st_mode))
        return writeInPlace(*target, bytes, path);
    if (FileResult writable = checkWritableFile(*target, path); !writable.ok)
        return writable;
    return writeBesideAndRename(*target, info.st_mode & 07777, bytes, path);
}

FileResult checkWritableTarget(const fs::path& path) {
    const std::optional<fs::path> target = followLinks(path);
    if (!target)
        return errnoFailure(ELOOP, path);
    struct stat info {};
    if (::stat(target->c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode))
            return errnoFailure(EISDIR, path);
        if (!S_ISREG(info.st_mode)) {
            const int fd = openInPlace(*target);
            if (fd < 0)
                return errnoFailure(errno, path);
            ::close(fd);
            return FileResult::success();
        }
        if (FileResult writable = checkWritableFile(*target, path); !writable.ok)
            return writable;
    } else if (errno != ENOENT) {
        return errnoFailure(errno, path);
    }
    // A regular file is replaced by a rename, which needs its folder writable.
    const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return errnoFailure(errno, path);
    if (!fs::is_directory(folder))
        return errnoFailure(ENOTDIR, path);
    return FileResult::success();
}

} // namespace vm::record

#include "record/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
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

FileResult writeBesideAndRename(const fs::path& target, std::optional<mode_t> keptMode,
                                std::span<const std::uint8_t> bytes, const fs::path& shown) {
    fs::path part = target;
    part += ".part";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW,
                          keptMode ? 0600 : 0644);
    if (fd < 0)
        return errnoFailure(errno, shown);
    // fchmod, not the open's mode: the umask must not widen or narrow the file's own bits.
    bool written = !keptMode || ::fchmod(fd, *keptMode) == 0;
    written = written && writeAllBytes(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const bool closed = closeFile(fd);
    if (!written || !closed || std::rename(part.c_str(), target.c_str()) != 0) {
        const int e = errno;
        ::unlink(part.c_str());
        return errnoFailure(e, shown);
    }
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

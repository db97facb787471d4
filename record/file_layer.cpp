#include "record/file_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm::record {

std::string fileErrorText(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return std::string("I/O error: ") + std::strerror(e);
    }
}

FileResult fileFailure(const std::string& wording, const std::filesystem::path& path) {
    return FileResult::failure(wording + ": " + path.string());
}

FileResult errnoFailure(int errnoValue, const std::filesystem::path& path) {
    const std::string wording = fileErrorText(errnoValue);
    const std::string reason = std::strerror(errnoValue);
    if (wording.find(reason) != std::string::npos)
        return fileFailure(wording, path);
    return FileResult::failure(wording + ": " + path.string() + " (" + reason + ")");
}

FileResult openDataFile(const std::filesystem::path& path, int& fd) {
    fd = -1;
    // O_NONBLOCK: opening a FIFO that nobody writes would otherwise wait for ever.
    const int opened = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened < 0)
        return errnoFailure(errno, path);
    struct stat info {};
    if (::fstat(opened, &info) != 0) {
        const int e = errno;
        ::close(opened);
        return errnoFailure(e, path);
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(opened);
        return FileResult::failure("File access denied: " + path.string() +
                                   " (not a regular file)");
    }
    ::fcntl(opened, F_SETFL, ::fcntl(opened, F_GETFL) & ~O_NONBLOCK);
    fd = opened;
    return FileResult::success();
}

FileResult readDataFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                        std::uintmax_t maxBytes) {
    int fd = -1;
    if (FileResult opened = openDataFile(path, fd); !opened.ok)
        return opened;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const int e = errno;
        ::close(fd);
        return errnoFailure(e, path);
    }
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        ::close(fd);
        return fileFailure("File too large", path);
    }
    // Room for a file that grew since fstat, within the limit.
    bytes.resize(static_cast<std::size_t>(
        std::min<std::uintmax_t>(static_cast<std::uintmax_t>(info.st_size) + 65536, maxBytes)));
    const ssize_t got = readUpTo(fd, bytes.data(), bytes.size());
    const int e = errno;
    ::close(fd);
    if (got < 0)
        return errnoFailure(e, path);
    bytes.resize(static_cast<std::size_t>(got));
    return FileResult::success();
}

namespace {

// Moves up to size bytes with `transfer` (read or write), retrying interrupted calls and stopping
// early only when it moves nothing. Returns the count moved, or -1 with errno set.
template <typename Transfer> ssize_t transferAll(std::size_t size, Transfer transfer) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = transfer(done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

} // namespace

ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size) {
    return transferAll(size,
                       [&](std::size_t done) { return ::read(fd, data + done, size - done); });
}

bool writeAllBytes(int fd, const std::uint8_t* data, std::size_t size) {
    return transferAll(size, [&](std::size_t done) {
               return ::write(fd, data + done, size - done);
           }) == static_cast<ssize_t>(size);
}

bool closeFile(int fd) {
    const int earlier = errno;
    if (::close(fd) != 0)
        return false;
    errno = earlier;
    return true;
}

} // namespace vm::record

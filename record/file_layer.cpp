#include "record/file_layer.h"

#include "record/record_file.h"

#include <cerrno>
#include <cstring>
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
    return fileFailure(fileErrorText(errnoValue), path);
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

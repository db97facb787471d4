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

ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(fd, data + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

bool writeAllBytes(int fd, const std::uint8_t* data, std::size_t size) {
    std::size_t put = 0;
    while (put < size) {
        const ssize_t n = ::write(fd, data + put, size - put);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        put += static_cast<std::size_t>(n);
    }
    return true;
}

bool closeFile(int fd) {
    const int earlier = errno;
    if (::close(fd) != 0)
        return false;
    errno = earlier;
    return true;
}

} // namespace vm::record

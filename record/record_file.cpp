#include "record_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace record_layout;

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

namespace {

FileResult failed(const std::string& what, const std::filesystem::path& path) {
    return FileResult::failure(what + ": " + path.string());
}

} // namespace

FileResult readRecordFile(const std::filesystem::path& path, SimulationRecord& record) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failed(fileErrorText(errno), path);
    SimulationRecord scratch;
    auto bytes = scratch.bytes();
    std::size_t got = 0;
    while (got < kRecordBytes) {
        const ssize_t n = ::read(fd, bytes.data() + got, kRecordBytes - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            return failed(fileErrorText(e), path);
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got < kRecordBytes) return failed("Read beyond end of file", path);
    record = scratch;
    return FileResult::success();
}

FileResult writeRecordFile(const std::filesystem::path& path, const SimulationRecord& record) {
    std::filesystem::path temp = path;
    temp += ".part";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return failed(fileErrorText(errno), path);
    const auto bytes = record.bytes();
    std::size_t put = 0;
    while (put < kRecordBytes) {
        const ssize_t n = ::write(fd, bytes.data() + put, kRecordBytes - put);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return failed(fileErrorText(e), path);
        }
        put += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return failed(fileErrorText(e), path);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return failed(fileErrorText(e), path);
    }
    return FileResult::success();
}

#include "record/record_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace vm::record {

using namespace layout;

FileResult readRecordFile(const std::filesystem::path& path, SimulationRecord& record) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errnoFailure(errno, path);
    SimulationRecord scratch;
    const ssize_t got = readUpTo(fd, scratch.bytes().data(), kRecordBytes);
    const int readError = errno;
    ::close(fd);
    if (got < 0)
        return errnoFailure(readError, path);
    if (static_cast<std::size_t>(got) < kRecordBytes)
        return fileFailure("Read beyond end of file", path);
    record = scratch;
    return FileResult::success();
}

FileResult writeRecordFile(const std::filesystem::path& path, const SimulationRecord& record) {
    std::filesystem::path temp = path;
    temp += ".part";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return errnoFailure(errno, path);
    const bool written = writeAllBytes(fd, record.bytes().data(), kRecordBytes) && ::fsync(fd) == 0;
    const bool closed = closeFile(fd);
    if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return errnoFailure(e, path);
    }
    return FileResult::success();
}

} // namespace vm::record

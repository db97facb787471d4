#include "record/record_file.h"

#include <cerrno>
#include <unistd.h>

namespace vm::record {

using namespace layout;

FileResult readRecordFile(const std::filesystem::path& path, SimulationRecord& record) {
    int fd = -1;
    if (FileResult opened = openDataFile(path, fd); !opened.ok)
        return opened;
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
    return replaceFileContents(path, record.bytes());
}

} // namespace vm::record

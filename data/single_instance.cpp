#include "data/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace vm::data {

namespace fs = std::filesystem;

namespace {

fs::path lockFileIn(const fs::path& directory) {
    return directory / ("ApplicationTestMap-" + std::to_string(::getuid()) + ".lock");
}

} // namespace

fs::path SingleInstanceMarker::defaultLockDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        std::error_code ec;
        if (fs::is_directory(runtime, ec))
            return runtime;
    }
    return "/tmp";
}

SingleInstanceMarker::SingleInstanceMarker() : SingleInstanceMarker(defaultLockDirectory()) {}

SingleInstanceMarker::SingleInstanceMarker(fs::path lockDirectory)
    : lockFile_(lockFileIn(lockDirectory)) {}

SingleInstanceMarker::~SingleInstanceMarker() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstanceMarker::acquire() {
    if (fd_ >= 0)
        return true;
    // O_NOFOLLOW: in a shared folder such as /tmp the name must not lead elsewhere.
    const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return !heldElsewhere;
    }
    fd_ = fd;
    return true;
}

} // namespace vm::data

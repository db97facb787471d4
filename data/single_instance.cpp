#include "data/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vm::data {

namespace fs = std::filesystem;

namespace {

fs::path lockFileIn(const fs::path& directory) {
    return directory / ("ApplicationTestMap-" + std::to_string(::getuid()) + ".lock");
}

// A folder of this user that nobody else may write into; anyone else could plant or hold the
// lock file there.
bool isPrivateFolder(const fs::path& folder) {
    struct stat info {};
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::optional<fs::path> homeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return fs::path(home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir && *entry->pw_dir)
        return fs::path(entry->pw_dir);
    return std::nullopt;
}

// ~/.cache/velta-morvane, made 0700 when missing.
std::optional<fs::path> privateCacheFolder() {
    const std::optional<fs::path> home = homeFolder();
    if (!home)
        return std::nullopt;
    const fs::path cache = *home / ".cache";
    ::mkdir(cache.c_str(), 0700);
    const fs::path folder = cache / "velta-morvane";
    ::mkdir(folder.c_str(), 0700);
    if (!isPrivateFolder(folder))
        return std::nullopt;
    return folder;
}

} // namespace

std::optional<fs::path> SingleInstanceMarker::privateLockDirectory() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        if (isPrivateFolder(runtime))
            return fs::path(runtime);
    }
    return privateCacheFolder();
}

SingleInstanceMarker::SingleInstanceMarker() : SingleInstanceMarker(privateLockDirectory()) {}

SingleInstanceMarker::SingleInstanceMarker(std::optional<fs::path> lockDirectory)
    : lockFile_(lockDirectory ? lockFileIn(*lockDirectory) : fs::path()) {}

SingleInstanceMarker::~SingleInstanceMarker() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstanceMarker::acquire() {
    if (fd_ >= 0 || lockFile_.empty())
        return true;
    const int fd = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return true;
    // A lock file of another user is not ours to trust: whoever owns it could hold it for ever.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid() || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return true;
    }
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

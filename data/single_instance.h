#pragma once
// The marker "ApplicationTestMap" that tells a second copy of the program that one already runs.
// It is a lock held on a file for the life of the object: the kernel drops the lock when the
// holder exits, so a copy that crashed never blocks the next start.

#include <filesystem>

namespace vm::data {

class SingleInstanceMarker {
  public:
    // The lock file lies in lockDirectory; the default is the user's runtime folder, else /tmp.
    SingleInstanceMarker();
    explicit SingleInstanceMarker(std::filesystem::path lockDirectory);
    ~SingleInstanceMarker();
    SingleInstanceMarker(const SingleInstanceMarker&) = delete;
    SingleInstanceMarker& operator=(const SingleInstanceMarker&) = delete;

    // False only when another live holder has the marker. When the lock file cannot be made at
    // all, the program is not refused (true) but the marker is not held.
    bool acquire();
    bool held() const { return fd_ >= 0; }

    const std::filesystem::path& lockFile() const { return lockFile_; }

    static std::filesystem::path defaultLockDirectory();

  private:
    std::filesystem::path lockFile_;
    int fd_ = -1;
};

} // namespace vm::data

#pragma once
// The marker "ApplicationTestMap" that tells a second copy of the program that one already runs.
// It is a lock held on a file for the life of the object: the kernel drops the lock when the
// holder exits, so a copy that crashed never blocks the next start.

#include <filesystem>
#include <optional>

namespace vm::data {

class SingleInstanceMarker {
  public:
    // The lock file lies in lockDirectory; the default is privateLockDirectory().
    SingleInstanceMarker();
    explicit SingleInstanceMarker(std::optional<std::filesystem::path> lockDirectory);
    ~SingleInstanceMarker();
    SingleInstanceMarker(const SingleInstanceMarker&) = delete;
    SingleInstanceMarker& operator=(const SingleInstanceMarker&) = delete;

    // False only when another live holder has the marker. When no marker can be made (no private
    // folder, or a lock file this user does not own), the program is not refused (true) but the
    // marker is not held.
    bool acquire();
    bool held() const { return fd_ >= 0; }

    const std::filesystem::path& lockFile() const { return lockFile_; }

    // A folder only this user can write: the user's runtime folder, else a 0700 folder made in
    // the user's cache folder. None when neither can be had.
    static std::optional<std::filesystem::path> privateLockDirectory();

  private:
    std::filesystem::path lockFile_; // empty when there is no folder to put it in
    int fd_ = -1;
};

} // namespace vm::data

#pragma once
// The file layer's reads, writes and error wording, shared by every data file the program
// touches. Interrupted calls are retried; errors keep errno for the message.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vm::record {

// The outcome of a file operation; on failure the message is what the file layer reports, such
// as "File not found" or "Read beyond end of file", with the path and the system's reason.
struct FileResult {
    bool ok = true;
    std::string message;

    static FileResult success() { return {}; }
    static FileResult failure(std::string m) { return {false, std::move(m)}; }
};

// The file layer's wording for an errno value, such as "File not found" or "Disk full".
std::string fileErrorText(int errnoValue);

// The message of a failed file operation: the wording, the path and, where the wording does not
// already say it, the system's reason in parentheses.
FileResult errnoFailure(int errnoValue, const std::filesystem::path& path);
FileResult fileFailure(const std::string& wording, const std::filesystem::path& path);

// Opens a data file for reading. Anything but a regular file (a FIFO, a device, a folder) is
// refused before a byte is read: reading one could block start-up or never end.
FileResult openDataFile(const std::filesystem::path& path, int& fd);

// The whole of a data file, refused as above, and refused when larger than maxBytes.
FileResult readDataFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                        std::uintmax_t maxBytes);

// Reads up to size bytes from the current position, stopping early only at the end of the file.
// Returns the count read, or -1 with errno set.
ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size);

// Writes all size bytes at the current position; false with errno set.
bool writeAllBytes(int fd, const std::uint8_t* data, std::size_t size);

// Closes fd, keeping an earlier error's errno when there was one; false on a close error.
bool closeFile(int fd);

} // namespace vm::record

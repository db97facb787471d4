#pragma once
// The file layer's reads, writes and error wording, shared by every data file the program
// touches. Interrupted calls are retried; errors keep errno for the message.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vm::record {

struct FileResult;

// The file layer's wording for an errno value, such as "File not found" or "Disk full".
std::string fileErrorText(int errnoValue);

// The message of a failed file operation: the wording followed by the path.
FileResult errnoFailure(int errnoValue, const std::filesystem::path& path);
FileResult fileFailure(const std::string& wording, const std::filesystem::path& path);

// Reads up to size bytes from the current position, stopping early only at the end of the file.
// Returns the count read, or -1 with errno set.
ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size);

// Writes all size bytes at the current position; false with errno set.
bool writeAllBytes(int fd, const std::uint8_t* data, std::size_t size);

// Closes fd, keeping an earlier error's errno when there was one; false on a close error.
bool closeFile(int fd);

} // namespace vm::record

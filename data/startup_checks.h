#pragma once
// The checks start-up makes before it loads anything: are the data files there, and can the
// program write into its simulations folder.

#include "record/file_layer.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vm::data {

// The sum of the weights of the checked data files that are missing under exeDir:
// F000.dat 1, F001.dat .. F005.dat 10 .. 100000, standard.dat 1000000. 0 when all are there.
int missingDataFilesNumber(const std::filesystem::path& exeDir);

// The folder of the running program, ending in a separator, from the link the system keeps to its
// executable: as raw bytes, so that a folder name that is not valid UTF-8 survives. None when
// the link cannot be read.
std::optional<std::filesystem::path>
programFolder(const std::filesystem::path& selfLink = "/proc/self/exe");

// "One of the application files is missing or corrupted " followed by the number.
std::string missingFilesMessage(int number);

// "This application cannot work on the read only disk."
std::string readOnlyDiskMessage();

// The entry of `parent` called `name`, letter case ignored (an exact match wins). The file system
// is case-sensitive, while the program names its folders in more than one spelling.
std::optional<std::filesystem::path> findChildNoCase(const std::filesystem::path& parent,
                                                     std::string_view name);

// exeDir followed by a relative path with forward slashes ("datfiles1/standard.dat"), each part
// matched without regard to letter case; parts that do not exist are kept as written.
std::filesystem::path resolveDataPath(const std::filesystem::path& exeDir,
                                      std::string_view relative);

// Creates a probe file of a name no other copy uses ("Simulations/test-XXXXXX.dat"), writes
// "test", flushes, closes and deletes it. When the folder is missing or any step fails, the
// message is readOnlyDiskMessage() followed on its next line by the file layer's reason.
record::FileResult writeProbe(const std::filesystem::path& exeDir);

// A new empty file "<stem>-XXXXXX<extension>" in folder, of a name no other copy uses; its path,
// or the file layer's message.
record::FileResult createUniqueFile(const std::filesystem::path& folder, std::string_view stem,
                                    std::string_view extension, std::filesystem::path& created);

} // namespace vm::data

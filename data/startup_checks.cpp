#include "data/startup_checks.h"

#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vm::data {

namespace fs = std::filesystem;

namespace {

struct CheckedFile {
    const char* name;
    int weight;
};

constexpr CheckedFile kCheckedFiles[] = {
    {"datfiles1/F000.dat", 1},           {"datfiles1/F001.dat", 10},
    {"datfiles1/F002.dat", 100},         {"datfiles1/F003.dat", 1000},
    {"datfiles1/F004.dat", 10000},       {"datfiles1/F005.dat", 100000},
    {"datfiles1/standard.dat", 1000000},
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::optional<fs::path> findChildNoCase(const fs::path& parent, std::string_view name) {
    if (name.empty())
        return std::nullopt;
    std::error_code ec;
    const fs::path exact = parent / fs::path(std::string(name));
    if (fs::exists(fs::symlink_status(exact, ec)))
        return exact;
    fs::directory_iterator it(parent, ec);
    if (ec)
        return std::nullopt;
    // Directory order is arbitrary; the smallest matching name makes the choice repeatable when
    // several spellings exist side by side.
    std::optional<fs::path> found;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const fs::path candidate = it->path();
        if (!sameIgnoringCase(candidate.filename().native(), name))
            continue;
        if (!found || candidate.filename() < found->filename())
            found = candidate;
    }
    return found;
}

fs::path resolveDataPath(const fs::path& exeDir, std::string_view relative) {
    fs::path result = exeDir;
    bool resolving = true;
    while (!relative.empty()) {
        const auto slash = relative.find('/');
        const std::string_view part = relative.substr(0, slash);
        relative =
            slash == std::string_view::npos ? std::string_view{} : relative.substr(slash + 1);
        if (part.empty())
            continue;
        if (resolving) {
            if (auto match = findChildNoCase(result, part)) {
                result = *match;
                continue;
            }
            resolving = false;
        }
        result /= fs::path(std::string(part));
    }
    return result;
}

int missingDataFilesNumber(const fs::path& exeDir) {
    int number = 0;
    for (const auto& file : kCheckedFiles) {
        std::error_code ec;
        if (!fs::is_regular_file(resolveDataPath(exeDir, file.name), ec))
            number += file.weight;
    }
    return number;
}

std::optional<fs::path> programFolder(const fs::path& selfLink) {
    std::error_code ec;
    const fs::path executable = fs::read_symlink(selfLink, ec);
    if (ec || !executable.is_absolute())
        return std::nullopt;
    return executable.parent_path() / "";
}

std::string missingFilesMessage(int number) {
    return "One of the application files is missing or corrupted " + std::to_string(number);
}

std::string readOnlyDiskMessage() {
    return "This application cannot work on the read only disk.";
}

record::FileResult createUniqueFile(const fs::path& folder, std::string_view stem,
                                    std::string_view extension, fs::path& created) {
    std::string pattern =
        (folder / fs::path(std::string(stem) + "-XXXXXX" + std::string(extension))).native();
    const int fd = ::mkostemps(pattern.data(), static_cast<int>(extension.size()), O_CLOEXEC);
    if (fd < 0)
        return record::errnoFailure(errno, folder);
    ::close(fd);
    created = pattern;
    return record::FileResult::success();
}

record::FileResult writeProbe(const fs::path& exeDir) {
    const auto failure = [](const record::FileResult& reason) {
        return record::FileResult::failure(readOnlyDiskMessage() + "\n" + reason.message);
    };
    const auto folder = findChildNoCase(exeDir, "Simulations");
    if (!folder)
        return failure(record::errnoFailure(ENOENT, exeDir / "simulations"));
    fs::path probe;
    if (const record::FileResult made = createUniqueFile(*folder, "test", ".dat", probe); !made.ok)
        return failure(made);
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    bool ok = fd >= 0 && writeAll(fd, "test") && ::fsync(fd) == 0;
    int e = errno;
    if (fd >= 0 && !record::closeFile(fd) && ok) {
        ok = false;
        e = errno;
    }
    if (::unlink(probe.c_str()) != 0 && ok) {
        ok = false;
        e = errno;
    }
    return ok ? record::FileResult::success() : failure(record::errnoFailure(e, probe));
}

} // namespace vm::data

#include "session/user_folder.h"

#include "data/startup_checks.h"
#include "record/file_replace.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vm::session {

namespace {

constexpr std::string_view kUserFolderName = "velta-morvane";

// The XDG rules ignore a relative or empty value.
fs::path absoluteEnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return {};
    fs::path path(value);
    return path.is_absolute() ? path : fs::path{};
}

// A simulation file is one record; anything much larger is no shipped case.
constexpr std::uintmax_t kMaxShippedFileBytes = 4u * 1024u * 1024u;

// The home folder of the effective user in the user database; empty when it has none.
fs::path databaseHome() {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 ||
        found == nullptr || found->pw_dir == nullptr)
        return {};
    fs::path home(found->pw_dir);
    return home.is_absolute() ? home : fs::path{};
}

bool isSimulationFile(const fs::path& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".spi";
}

} // namespace

fs::path userDataFolder() {
    if (fs::path data = absoluteEnvironmentPath("XDG_DATA_HOME"); !data.empty())
        return data / kUserFolderName;
    fs::path home = absoluteEnvironmentPath("HOME");
    // Without HOME, as under a service manager, the user database still knows the home folder.
    if (home.empty())
        home = databaseHome();
    if (home.empty())
        return {};
    return home / ".local" / "share" / kUserFolderName;
}

record::FileResult seedUserFolder(const fs::path& exeDir, const fs::path& userDir) {
    const fs::path simulations = userDir / "simulations";
    for (const fs::path& folder : {simulations, userDir / "datfiles1"}) {
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec)
            return record::errnoFailure(ec.value(), folder);
    }
    std::error_code ec;
    const fs::path shipped = data::resolveDataPath(exeDir, "simulations");
    for (fs::directory_iterator it(shipped, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path copy = simulations / it->path().filename();
        std::error_code entryError;
        if (!isSimulationFile(it->path()) || !it->is_regular_file(entryError) ||
            fs::exists(fs::symlink_status(copy, entryError)))
            continue;
        std::vector<std::uint8_t> bytes;
        if (!record::readDataFile(it->path(), bytes, kMaxShippedFileBytes).ok)
            continue;
        if (record::FileResult written = record::replaceFileContents(copy, bytes); !written.ok)
            return written;
    }
    return record::FileResult::success();
}

ProgramFolder resolveProgramFolder(const fs::path& exeDir) {
    std::error_code ec;
    if (!fs::is_regular_file(exeDir / kInstalledMarker, ec))
        return ProgramFolder{exeDir};
    const fs::path userDir = userDataFolder();
    if (userDir.empty())
        return ProgramFolder{exeDir,
                             {},
                             "no folder of the user's own: neither XDG_DATA_HOME nor HOME is set, "
                             "and the user database gives no home folder"};
    ProgramFolder folder{exeDir, userDir};
    folder.writableProblem = seedUserFolder(exeDir, userDir).message;
    return folder;
}

} // namespace vm::session

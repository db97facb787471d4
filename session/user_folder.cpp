#include "session/user_folder.h"

#include "data/startup_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <system_error>

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
    if (fs::path home = absoluteEnvironmentPath("HOME"); !home.empty())
        return home / ".local" / "share" / kUserFolderName;
    return {};
}

void seedUserFolder(const fs::path& exeDir, const fs::path& userDir) {
    std::error_code ec;
    const fs::path simulations = userDir / "simulations";
    fs::create_directories(simulations, ec);
    fs::create_directories(userDir / "datfiles1", ec);
    const fs::path shipped = data::resolveDataPath(exeDir, "simulations");
    for (fs::directory_iterator it(shipped, ec), end; !ec && it != end; it.increment(ec)) {
        if (!isSimulationFile(it->path()) || !it->is_regular_file(ec))
            continue;
        std::error_code copyError;
        fs::copy_file(it->path(), simulations / it->path().filename(),
                      fs::copy_options::skip_existing, copyError);
    }
}

ProgramFolder resolveProgramFolder(const fs::path& exeDir) {
    std::error_code ec;
    if (!fs::is_regular_file(exeDir / kInstalledMarker, ec))
        return ProgramFolder{exeDir};
    const fs::path userDir = userDataFolder();
    if (userDir.empty())
        return ProgramFolder{exeDir};
    seedUserFolder(exeDir, userDir);
    return ProgramFolder{exeDir, userDir};
}

} // namespace vm::session

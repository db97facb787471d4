#include "session/user_folder.h"

#include "model/model_state.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include <pwd.h>
#include <unistd.h>

using namespace vm::session;

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string readText(const fs::path& path) {
    const auto bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

// A program folder with two shipped simulation files and a file that is not one.
void layOutProgram(const fs::path& exeDir, bool installed) {
    fs::create_directories(exeDir / "simulations");
    writeFileBytes(exeDir / "simulations" / "asthma.spi", "shipped asthma");
    writeFileBytes(exeDir / "simulations" / "Copd.SPI", "shipped copd");
    writeFileBytes(exeDir / "simulations" / "notes.txt", "not a simulation");
    if (installed)
        writeFileBytes(exeDir / kInstalledMarker, "");
}

} // namespace

TEST(UserFolder, InstalledProgramWritesIntoTheUsersSeededFolder) {
    const struct {
        const char* what;
        bool installed;
        std::optional<std::string> xdgDataHome; // below the fake HOME; nullopt unsets it
        const char* userDir;                    // below the fake HOME; "" means exeDir
    } cases[] = {
        {"build tree", false, std::nullopt, ""},
        {"installed, XDG_DATA_HOME", true, "xdg", "xdg/velta-morvane"},
        {"installed, no XDG_DATA_HOME", true, std::nullopt, ".local/share/velta-morvane"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder home;
        const fs::path exeDir = home / "program";
        layOutProgram(exeDir, c.installed);
        ScopedEnvironment homeVariable("HOME", home.path().string());
        ScopedEnvironment xdgVariable(
            "XDG_DATA_HOME",
            c.xdgDataHome ? std::optional((home / *c.xdgDataHome).string()) : std::nullopt);

        const ProgramFolder folder = resolveProgramFolder(exeDir);
        EXPECT_EQ(folder.exeDir, exeDir);
        if (!c.installed) {
            EXPECT_EQ(folder.writableRoot(), exeDir);
            EXPECT_FALSE(fs::exists(home / ".local"));
            continue;
        }
        const fs::path userDir = home / c.userDir;
        EXPECT_EQ(folder.writableRoot(), userDir);
        EXPECT_EQ(folder.writablePath("Simulations/x.spi"), userDir / "simulations" / "x.spi");
        EXPECT_TRUE(fs::is_directory(userDir / "datfiles1"));
        EXPECT_EQ(readText(userDir / "simulations" / "asthma.spi"), "shipped asthma");
        EXPECT_EQ(readText(userDir / "simulations" / "Copd.SPI"), "shipped copd");
        EXPECT_FALSE(fs::exists(userDir / "simulations" / "notes.txt"));
    }
}

TEST(UserFolder, SeedingKeepsTheUsersFilesAndBringsBackOnlyMissingOnes) {
    TempFolder home;
    const fs::path exeDir = home / "program";
    layOutProgram(exeDir, true);
    const fs::path simulations = home / "user" / "simulations";
    seedUserFolder(exeDir, home / "user");
    writeFileBytes(simulations / "asthma.spi", "changed by the user");
    writeFileBytes(simulations / "mine.spi", "the user's own");
    fs::remove(simulations / "Copd.SPI");

    seedUserFolder(exeDir, home / "user");
    EXPECT_EQ(readText(simulations / "asthma.spi"), "changed by the user");
    EXPECT_EQ(readText(simulations / "mine.spi"), "the user's own");
    EXPECT_EQ(readText(simulations / "Copd.SPI"), "shipped copd");
}

TEST(UserFolder, InstalledSaveWritesIntoTheUsersFolder) {
    TempFolder home;
    const fs::path exeDir = home / "program";
    layOutProgram(exeDir, true);
    ScopedEnvironment homeVariable("HOME", home.path().string());
    ScopedEnvironment xdgVariable("XDG_DATA_HOME", std::nullopt);
    vm::record::SimulationRecord record;
    vm::record::RecordState state;
    vm::model::ModelState model;
    Session session(record, state, model, resolveProgramFolder(exeDir));

    const fs::path userSimulations = home / ".local/share/velta-morvane/simulations";
    EXPECT_EQ(session.simulationsFolder(), userSimulations);
    EXPECT_FALSE(session.SaveSimulationFile().message->empty());
    EXPECT_EQ(fs::file_size(userSimulations / kDefaultSimulationFileName),
              vm::record::layout::kRecordBytes);
    EXPECT_FALSE(fs::exists(exeDir / "simulations" / kDefaultSimulationFileName));
}

// Without XDG_DATA_HOME and HOME, the user database gives the home folder: an installed program
// never falls back on writing into its own folder.
TEST(UserFolder, WithoutHomeTheUserDatabaseGivesTheFolder) {
    ScopedEnvironment homeVariable("HOME", std::nullopt);
    ScopedEnvironment xdgVariable("XDG_DATA_HOME", std::nullopt);
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(userDataFolder(), fs::path(entry->pw_dir) / ".local/share/velta-morvane");
}

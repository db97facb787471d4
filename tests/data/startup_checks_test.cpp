#include "data/startup_checks.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>

using namespace vm::data;

namespace fs = std::filesystem;

namespace {

const char* const kCheckedFiles[] = {"F000.dat", "F001.dat", "F002.dat",    "F003.dat",
                                     "F004.dat", "F005.dat", "standard.dat"};

// An exeDir holding every checked file except the missing ones.
void layOut(const fs::path& exeDir, const std::set<std::string>& missing,
            const char* dataFolder = "datfiles1") {
    fs::create_directories(exeDir / dataFolder);
    for (const char* name : kCheckedFiles)
        if (!missing.count(name))
            writeFileBytes(exeDir / dataFolder / name, "x");
}

TEST(DataFileCheck, NumberAddsTheWeightsOfTheMissingFiles) {
    const struct {
        std::set<std::string> missing;
        int number;
    } cases[] = {
        {{}, 0},
        {{"F000.dat"}, 1},
        {{"F002.dat", "standard.dat"}, 1000100},
        {{"F000.dat", "F001.dat", "F002.dat", "F003.dat", "F004.dat", "F005.dat", "standard.dat"},
         1111111},
        {{"F001.dat", "F005.dat"}, 100010},
        {{"F003.dat", "F004.dat"}, 11000},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        layOut(dir.path(), c.missing);
        EXPECT_EQ(missingDataFilesNumber(dir.path()), c.number) << c.number;
    }
}

TEST(DataFileCheck, WithoutTheDataFolderEverythingIsMissing) {
    TempFolder dir;
    EXPECT_EQ(missingDataFilesNumber(dir.path()), 1111111);
}

TEST(DataFileCheck, FolderNameInAnyLetterCase) {
    TempFolder dir;
    layOut(dir.path(), {}, "DatFiles1");
    EXPECT_EQ(missingDataFilesNumber(dir.path()), 0);
}

TEST(DataFileCheck, AFolderInPlaceOfAFileCountsAsMissing) {
    TempFolder dir;
    layOut(dir.path(), {"F001.dat"});
    fs::create_directory(dir / "datfiles1" / "F001.dat");
    EXPECT_EQ(missingDataFilesNumber(dir.path()), 10);
}

TEST(DataFileCheck, Message) {
    EXPECT_EQ(missingFilesMessage(1000100),
              "One of the application files is missing or corrupted 1000100");
    EXPECT_EQ(missingFilesMessage(1), "One of the application files is missing or corrupted 1");
}

TEST(findChildNoCase, MatchesAnySpellingAndPrefersTheExactOne) {
    TempFolder dir;
    fs::create_directory(dir / "SiMuLaTiOnS");
    EXPECT_EQ(findChildNoCase(dir.path(), "Simulations"), dir / "SiMuLaTiOnS");
    EXPECT_EQ(findChildNoCase(dir.path(), "simulations"), dir / "SiMuLaTiOnS");
    fs::create_directory(dir / "simulations");
    EXPECT_EQ(findChildNoCase(dir.path(), "simulations"), dir / "simulations");
    EXPECT_FALSE(findChildNoCase(dir.path(), "simulation").has_value());
    EXPECT_FALSE(findChildNoCase(dir / "absent", "simulations").has_value());
}

TEST(resolveDataPath, EachPartMatchedAndMissingPartsKeptAsWritten) {
    TempFolder dir;
    fs::create_directories(dir / "DATFILES1");
    writeFileBytes(dir / "DATFILES1" / "f000.DAT", "x");
    EXPECT_EQ(resolveDataPath(dir.path(), "datfiles1/F000.dat"), dir / "DATFILES1" / "f000.DAT");
    EXPECT_EQ(resolveDataPath(dir.path(), "datfiles1/temp.dat"), dir / "DATFILES1" / "temp.dat");
    EXPECT_EQ(resolveDataPath(dir.path(), "helpfiles/H0000.rtf"), dir / "helpfiles" / "H0000.rtf");
}

TEST(writeProbe, SucceedsInAWritableFolderOfAnySpellingAndLeavesNothing) {
    for (const char* folder : {"simulations", "Simulations", "SIMULATIONS"}) {
        TempFolder dir;
        fs::create_directory(dir / folder);
        EXPECT_TRUE(writeProbe(dir.path()).ok) << folder;
        EXPECT_TRUE(fs::is_empty(dir / folder)) << folder;
    }
}

TEST(writeProbe, FailsWithoutTheSimulationsFolder) {
    TempFolder dir;
    for (const char* reason : {"No such file or directory", "Not a directory"}) {
        const vm::record::FileResult probe = writeProbe(dir.path());
        EXPECT_FALSE(probe.ok);
        EXPECT_EQ(probe.message.rfind(readOnlyDiskMessage() + "\n", 0), 0u) << probe.message;
        EXPECT_NE(probe.message.find((dir / "simulations").string()), std::string::npos);
        EXPECT_NE(probe.message.find(reason), std::string::npos) << probe.message;
        writeFileBytes(dir / "simulations", "a file, not a folder");
    }
}

// Runs the probe as the unprivileged user "nobody", since root may write anywhere.
bool probeAsNobody(const fs::path& exeDir) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(3);
        ::_exit(writeProbe(exeDir).ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 3) << "could not drop privileges";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(writeProbe, FailsOnAReadOnlyFolder) {
    TempFolder dir;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    fs::create_directory(dir / "writable");
    fs::create_directory(dir / "writable" / "simulations");
    fs::permissions(dir / "writable" / "simulations", fs::perms::all);
    fs::create_directory(dir / "readonly");
    fs::create_directory(dir / "readonly" / "Simulations");
    fs::permissions(dir / "readonly" / "Simulations",
                    fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    // The same user succeeds where the folder allows it: the failure below is the folder's.
    EXPECT_TRUE(probeAsNobody(dir / "writable"));
    EXPECT_FALSE(probeAsNobody(dir / "readonly"));
    EXPECT_TRUE(fs::is_empty(dir / "readonly" / "Simulations"));
}

// Another copy starting at the same moment has its own probe: a name in use does not make this
// copy think the disk is read-only, and that copy's file is left alone.
TEST(writeProbe, ANameInUseByAnotherCopyDoesNotFailIt) {
    TempFolder dir;
    fs::create_directories(dir / "simulations" / "test.dat");
    EXPECT_TRUE(writeProbe(dir.path()).ok);
    EXPECT_TRUE(fs::is_directory(dir / "simulations" / "test.dat"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "simulations"), {}), 1);
}

// The program's folder keeps its bytes: a name that is not valid UTF-8 must not become "" and
// send start-up to /datfiles1.
TEST(programFolder, KeepsTheFolderNameAsBytes) {
    TempFolder dir;
    const fs::path odd = dir / "caf\xE9 \xFF";
    fs::create_directory(odd);
    fs::create_symlink(odd / "velta-morvane", dir / "self");
    EXPECT_EQ(programFolder(dir / "self"), odd / "");
    EXPECT_EQ(programFolder(dir / "self")->native().back(), '/');
    EXPECT_EQ(programFolder(dir / "absent"), std::nullopt);
    const auto own = programFolder();
    ASSERT_TRUE(own.has_value());
    EXPECT_TRUE(fs::exists(*own / "data_tests")) << *own;
}

} // namespace

#include "data/single_instance.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm::data;

namespace {

TEST(SingleInstance, SecondMarkerIsRefusedWhileTheFirstHoldsIt) {
    TempFolder dir;
    auto first = std::make_unique<SingleInstanceMarker>(dir.path());
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->held());
    SingleInstanceMarker second(dir.path());
    EXPECT_FALSE(second.acquire());
    EXPECT_FALSE(second.held());
    first.reset();
    EXPECT_TRUE(second.acquire());
}

TEST(SingleInstance, LockFileIsNamedAfterTheMarkerAndTheUser) {
    TempFolder dir;
    SingleInstanceMarker marker(dir.path());
    const std::string name = marker.lockFile().filename().string();
    EXPECT_NE(name.find("ApplicationTestMap"), std::string::npos);
    EXPECT_NE(name.find(std::to_string(::getuid())), std::string::npos);
    EXPECT_EQ(marker.lockFile().parent_path(), dir.path());
}

TEST(SingleInstance, MarkerOfAnotherProcessRefusesUntilThatProcessIsKilled) {
    TempFolder dir;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        SingleInstanceMarker marker(dir.path());
        const char answer = marker.acquire() ? 'y' : 'n';
        if (::write(ready[1], &answer, 1) != 1)
            ::_exit(1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ::close(ready[0]);
    ASSERT_EQ(answer, 'y');

    SingleInstanceMarker mine(dir.path());
    EXPECT_FALSE(mine.acquire());

    // A copy that crashes never releases anything itself; the next start must still succeed.
    ::kill(holder, SIGKILL);
    int status = 0;
    ::waitpid(holder, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_TRUE(mine.acquire());
    EXPECT_TRUE(mine.held());
}

TEST(SingleInstance, UnusableLockFolderDoesNotRefuseTheProgram) {
    TempFolder dir;
    SingleInstanceMarker marker(dir / "no-such-folder");
    EXPECT_TRUE(marker.acquire());
    EXPECT_FALSE(marker.held());
}

// Another user's lock file under our name, held by them, must not keep this user's program out.
TEST(SingleInstance, LockFileOfAnotherUserIsNoMarkerAndNoRefusal) {
    TempFolder dir;
    SingleInstanceMarker marker(dir.path());
    const int theirs = ::open(marker.lockFile().c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(theirs, 0);
    ASSERT_EQ(::fchown(theirs, 65534, 65534), 0);
    ASSERT_EQ(::flock(theirs, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(marker.acquire());
    EXPECT_FALSE(marker.held());
    ::close(theirs);
}

// Sets an environment variable for the life of the object (unset for nullptr).
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SingleInstance, MarkerLiesWhereOnlyThisUserCanWrite) {
    TempFolder dir;
    const std::filesystem::path runtime = dir / "runtime", shared = dir / "shared",
                                absent = dir / "absent";
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::filesystem::create_directory(shared);
    std::filesystem::permissions(shared, std::filesystem::perms::all);
    const std::filesystem::path cache = dir / ".cache" / "velta-morvane";
    const struct {
        const char* runtimeDir;
        std::optional<std::filesystem::path> expected;
    } cases[] = {
        {runtime.c_str(), runtime},
        {nullptr, cache},
        {shared.c_str(), cache},
        {absent.c_str(), cache},
    };
    const ScopedEnv home("HOME", dir.path().c_str());
    const mode_t oldMask = ::umask(0); // the modes below are the program's own, not the umask's
    for (const auto& c : cases) {
        const ScopedEnv env("XDG_RUNTIME_DIR", c.runtimeDir);
        EXPECT_EQ(SingleInstanceMarker::privateLockDirectory(), c.expected)
            << (c.runtimeDir ? c.runtimeDir : "unset");
        SingleInstanceMarker marker;
        ASSERT_TRUE(marker.acquire());
        ASSERT_TRUE(marker.held());
        EXPECT_EQ(std::filesystem::status(marker.lockFile()).permissions(),
                  std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    }
    ::umask(oldMask);
    EXPECT_EQ(std::filesystem::status(cache).permissions(), std::filesystem::perms::owner_all);

    // A cache folder that is not this user's: no marker, and no refusal either.
    const ScopedEnv env("XDG_RUNTIME_DIR", nullptr);
    ASSERT_EQ(::chown(cache.c_str(), 65534, 65534), 0);
    EXPECT_EQ(SingleInstanceMarker::privateLockDirectory(), std::nullopt);
    SingleInstanceMarker marker;
    EXPECT_TRUE(marker.acquire());
    EXPECT_FALSE(marker.held());
}

} // namespace

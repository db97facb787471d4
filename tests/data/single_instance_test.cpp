#include "data/single_instance.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
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

} // namespace

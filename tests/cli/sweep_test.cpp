// The sweep's grid, its lines in order from any number of threads, and its progress line.

#include "cli/cli_options.h"
#include "cli/sweep_progress.h"
#include "session/reorder_buffer.h"

#include <gtest/gtest.h>

#include <thread>

using namespace vm::cli;
using namespace vm::record;
using namespace vm::session;

namespace {

std::vector<SweepAxis> axesOf(std::initializer_list<const char*> sweeps) {
    std::vector<std::string> args{"sweep"};
    for (const char* s : sweeps)
        args.insert(args.end(), {"--sweep", s});
    const CliParseResult r = parseCommandLine(args);
    EXPECT_TRUE(r.ok) << r.message;
    return r.options.sweepAxes;
}

// The first axis changes slowest, as in nested loops written in the order given.
TEST(Sweep, GridPointsRunInTheOrderOfTheAxes) {
    const auto axes = axesOf({"cm=50,150", "global.0=10,20,30", "left.ccc=100"});
    ASSERT_EQ(sweepPointCount(axes), 6u);
    const std::vector<std::vector<double>> expected = {{50, 10, 100},  {50, 20, 100},
                                                       {50, 30, 100},  {150, 10, 100},
                                                       {150, 20, 100}, {150, 30, 100}};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(sweepPointPercents(axes, i), expected[i]) << i;
}

TEST(Sweep, ReorderBufferHandsLinesOnInTheirOrder) {
    constexpr std::size_t kLines = 400;
    ReorderBuffer<std::string> buffer;
    std::vector<std::jthread> writers;
    for (std::size_t t = 0; t < 4; ++t)
        writers.emplace_back([&buffer, t] {
            // Each thread puts its share backwards, so that nothing arrives in order.
            for (std::size_t i = kLines - 4 + t; i < kLines; i -= 4)
                buffer.put(i, std::to_string(i));
        });
    std::vector<std::string> taken;
    while (taken.size() < kLines) {
        const auto lines = buffer.takeReady(std::chrono::milliseconds(50));
        taken.insert(taken.end(), lines.begin(), lines.end());
    }
    for (std::size_t i = 0; i < kLines; ++i)
        ASSERT_EQ(taken[i], std::to_string(i));
}

TEST(Sweep, ProgressLineShowsPointsAndTimeLeft) {
    using std::chrono::seconds;
    EXPECT_EQ(progressLine(0, 10, seconds(3)), "[--------------------] 0/10 points, ? left");
    EXPECT_EQ(progressLine(5, 20, seconds(30)), "[#####---------------] 5/20 points, 1:30 left");
    EXPECT_EQ(progressLine(20, 20, seconds(99)), "[####################] 20/20 points, 0:00 left");
}

} // namespace

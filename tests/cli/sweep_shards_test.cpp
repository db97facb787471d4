// Shards of a sweep's grid and their merge, on shard files written here: every point in exactly
// one shard, and merge taking only all of them, each point once, from one sweep.

#include "cli/cli_options.h"
#include "cli/merge.h"
#include "cli/sweep_shards.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace vm::cli;

namespace {

TEST(SweepShards, EveryPointIsInExactlyOneShardUnderItsOwnNumber) {
    for (const std::size_t grid : {1u, 2u, 7u, 16u, 100u}) {
        for (const int count : {1, 2, 3, 5, 16, 40}) {
            std::vector<int> shardOf(grid, 0);
            for (int index = 1; index <= count; ++index) {
                for (std::size_t j = 0; j < shardPointCount(grid, {index, count}); ++j) {
                    const std::size_t p = shardGridPoint({index, count}, j);
                    ASSERT_LT(p, grid) << index << "/" << count;
                    EXPECT_EQ(shardOf[p]++, 0) << "point " << p << " in two shards";
                }
            }
            EXPECT_EQ(std::count(shardOf.begin(), shardOf.end(), 1), grid) << count;
        }
    }
}

TEST(SweepShards, ShardOptionIsReadOrRefused) {
    const CliParseResult r = parseCommandLine({"sweep", "--sweep", "cm=50,100", "--shard", "2/3"});
    ASSERT_TRUE(r.ok && r.options.shard) << r.message;
    EXPECT_EQ(r.options.shard->index, 2);
    EXPECT_EQ(r.options.shard->count, 3);
    EXPECT_EQ(sweepRunPointCount(r.options), 1u);
    for (const char* bad : {"0/3", "4/3", "3", "/3", "a/b", "1/0", "1/100001", "2/3x", "-1/3"}) {
        const CliParseResult refused =
            parseCommandLine({"sweep", "--sweep", "cm=50", "--shard", bad});
        EXPECT_NE(refused.message.find(std::string("got '") + bad + "'"), std::string::npos) << bad;
    }
    EXPECT_FALSE(parseCommandLine({"run", "--shard", "1/2"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge", "a.csv", "--json"}).ok);
}

// Shard files of a 5-point grid in 2 shards, as the sweep writes them, in a folder of this test's
// own.
const std::filesystem::path folder =
    std::filesystem::temp_directory_path() / ("merge-test-" + std::to_string(::getpid()));
std::string pathOf(const std::string& name) {
    return (folder / name).string();
}
std::string write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(folder);
    std::ofstream(pathOf(name)) << text;
    return pathOf(name);
}
std::string shard(int index, const std::string& lines, const char* grid = "abc") {
    return "# shard " + std::to_string(index) + "/2 of 5 points, grid " + grid +
           "\npoint,cm,status,fev1\n" + lines;
}
std::string merged(const std::vector<std::string>& files, std::string& problem) {
    std::ostringstream out;
    problem = MergeShards(files, out);
    return out.str();
}

TEST(ShardMerge, JoinsTheShardsInTheGridsOrderOrRefusesNamingThePoint) {
    const std::string a = write("a", shard(1, "0,50,valid,1\n2,70,valid,2\n4,90,dead,\n"));
    const std::string b = write("b", shard(2, "1,60,valid,3\n3,80,error,4\n"));
    std::string problem;
    EXPECT_EQ(merged({b, a}, problem), "point,cm,status,fev1\n0,50,valid,1\n1,60,valid,3\n"
                                       "2,70,valid,2\n3,80,error,4\n4,90,dead,\n");
    EXPECT_EQ(problem, "");
    const std::string j1 = write("j1", "{\"shard\":\"1/2\",\"points\":3,\"grid\":\"1\"}\n"
                                       "{\"point\":0,\"x\":1}\n{\"point\":2,\"x\":3}\n");
    const std::string j2 = write("j2", "{\"shard\":\"2/2\",\"points\":3,\"grid\":\"1\"}\n"
                                       "{\"point\":1,\"x\":2}\n");
    EXPECT_EQ(merged({j1, j2}, problem),
              "{\"point\":0,\"x\":1}\n{\"point\":1,\"x\":2}\n{\"point\":2,\"x\":3}\n");

    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{a}, "shard 2/2 is missing (its first point is 1)"},
        {{a, write("short", shard(2, "1,60,valid,3\n"))}, "point 3 is missing from"},
        {{a, write("twice", shard(2, "1,6,valid,3\n1,6,valid,3\n3,8,error,4\n"))},
         "point 1 is repeated"},
        {{a, write("foreign", shard(2, "1,60,valid,3\n2,80,error,4\n"))},
         "point 2 in " + pathOf("foreign") + " is no point of shard 2/2"},
        {{a, write("outside", shard(2, "1,60,valid,3\n3,8,error,4\n5,1,valid,1\n"))},
         "point 5 in " + pathOf("outside") + " is outside the grid of 5 points"},
        {{a, write("other", shard(2, "1,60,valid,3\n3,80,error,4\n", "abd"))},
         "is a shard of another sweep than " + a},
        {{a, b, a}, "shard 1/2 is given twice"},
        {{a, write("plain", "point,cm,status,fev1\n1,60,valid,3\n")}, "is no shard of a sweep"},
        {{a, write("garbled", shard(2, "1,60,valid,3\nthree,80\n"))}, "no point of a sweep"},
        {{a, write("json", "{\"shard\":\"2/2\",\"points\":5,\"grid\":\"abc\"}\n")}, "one is JSON"},
        {{a, "/nonexistent/shard.csv"}, "cannot read /nonexistent/shard.csv"},
    };
    for (const auto& [files, refusal] : refused) {
        EXPECT_EQ(merged(files, problem), "") << refusal;
        EXPECT_NE(problem.find(refusal), std::string::npos) << problem;
    }
    std::filesystem::remove_all(folder);
}

} // namespace

// Shards of a sweep's grid and their merge, on shard files written here: every point in exactly
// one shard, and merge taking only all of them, each point once, from one sweep.

#include "cli/cli_options.h"
#include "cli/merge.h"
#include "cli/sweep_shards.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vm::cli;

namespace {

TEST(SweepShards, EveryPointIsInExactlyOneShardUnderItsOwnNumber) {
    for (const std::size_t grid : {1u, 2u, 7u, 16u, 100u}) {
        for (const int count : {1, 2, 3, 5, 16, 40}) {
            std::vector<int> shardOf(grid, 0);
            std::size_t points = 0;
            for (int index = 1; index <= count; ++index) {
                const SweepShard shard{index, count};
                const std::size_t n = shardPointCount(grid, shard);
                points += n;
                for (std::size_t j = 0; j < n; ++j) {
                    const std::size_t p = shardGridPoint(shard, j);
                    ASSERT_LT(p, grid) << index << "/" << count;
                    EXPECT_EQ(shardOf[p], 0) << "point " << p << " in two shards";
                    shardOf[p] = index;
                }
            }
            EXPECT_EQ(points, grid) << grid << " points in " << count << " shards";
        }
    }
}

TEST(SweepShards, ShardOptionIsReadOrRefused) {
    const CliParseResult r =
        parseCommandLine({"sweep", "--sweep", "cm=50,100", "--shard", "2/3", "--jobs", "1"});
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_TRUE(r.options.shard);
    EXPECT_EQ(r.options.shard->index, 2);
    EXPECT_EQ(r.options.shard->count, 3);
    EXPECT_EQ(sweepRunPointCount(r.options), 1u);
    for (const char* bad :
         {"0/3", "4/3", "3", "3/", "/3", "a/b", "1/0", "1/100001", "2/3x", "-1/3"}) {
        const CliParseResult refused =
            parseCommandLine({"sweep", "--sweep", "cm=50", "--shard", bad});
        EXPECT_FALSE(refused.ok) << bad;
        EXPECT_NE(refused.message.find(std::string("got '") + bad + "'"), std::string::npos)
            << refused.message;
    }
    EXPECT_FALSE(parseCommandLine({"run", "--shard", "1/2"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge", "a.csv", "--json"}).ok);
}

TEST(SweepShards, HeadingReadsBackOnlyAsWritten) {
    const auto csv = readShardHeading("# shard 2/3 of 16 points, grid 00ff00ff00ff00ff");
    ASSERT_TRUE(csv);
    EXPECT_FALSE(csv->json);
    EXPECT_EQ(csv->shard.index, 2);
    EXPECT_EQ(csv->shard.count, 3);
    EXPECT_EQ(csv->gridPoints, 16u);
    EXPECT_EQ(csv->grid, 0x00ff00ff00ff00ffULL);
    const auto json = readShardHeading(R"({"shard":"1/1","points":4,"grid":"a"})");
    ASSERT_TRUE(json);
    EXPECT_TRUE(json->json);
    for (const char* bad : {"point,cm,status", "# shard 4/3 of 16 points, grid 1",
                            "# shard 2/3 of 16 points, grid 1 and more",
                            R"({"shard":"1/1","points":4,"grid":"a")", ""})
        EXPECT_FALSE(readShardHeading(bad)) << bad;
}

// Shard files of a 5-point grid in 2 shards, written as the sweep writes them.
class ShardMerge : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("merge-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string file(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path) << text;
        return path;
    }
    static std::string shard(int index, const std::string& lines, const char* grid = "abc") {
        return "# shard " + std::to_string(index) + "/2 of 5 points, grid " + grid +
               "\npoint,cm,status,fev1\n" + lines;
    }
    std::string merged(const std::vector<std::string>& files, std::string& problem) {
        std::ostringstream out;
        problem = MergeShards(files, out);
        return out.str();
    }

    std::filesystem::path dir_;
};

TEST_F(ShardMerge, JoinsTheShardsInTheGridsOrder) {
    const std::string a = file("a", shard(1, "0,50,valid,1\n2,70,valid,2\n4,90,dead,\n"));
    const std::string b = file("b", shard(2, "1,60,valid,3\n3,80,error,4\n"));
    std::string problem;
    EXPECT_EQ(merged({b, a}, problem), "point,cm,status,fev1\n0,50,valid,1\n1,60,valid,3\n"
                                       "2,70,valid,2\n3,80,error,4\n4,90,dead,\n");
    EXPECT_EQ(problem, "");

    const std::string j1 = file("j1", "{\"shard\":\"1/2\",\"points\":3,\"grid\":\"1\"}\n"
                                      "{\"point\":0,\"x\":1}\n{\"point\":2,\"x\":3}\n");
    const std::string j2 = file("j2", "{\"shard\":\"2/2\",\"points\":3,\"grid\":\"1\"}\n"
                                      "{\"point\":1,\"x\":2}\n");
    EXPECT_EQ(merged({j1, j2}, problem), "{\"point\":0,\"x\":1}\n{\"point\":1,\"x\":2}\n"
                                         "{\"point\":2,\"x\":3}\n");
    EXPECT_EQ(problem, "");
}

TEST_F(ShardMerge, RefusesWhatIsNotEveryPointOnceNamingIt) {
    const std::string a = file("a", shard(1, "0,50,valid,1\n2,70,valid,2\n4,90,dead,\n"));
    const std::string b = file("b", shard(2, "1,60,valid,3\n3,80,error,4\n"));
    struct Case {
        std::vector<std::string> files;
        std::string refusal;
    };
    const std::vector<Case> cases = {
        {{a}, "shard 2/2 is missing (its first point is 1)"},
        {{a, file("short", shard(2, "1,60,valid,3\n"))}, "point 3 is missing from"},
        {{a, file("twice", shard(2, "1,60,valid,3\n1,60,valid,3\n3,80,error,4\n"))},
         "point 1 is repeated in"},
        {{a, file("foreign", shard(2, "1,60,valid,3\n2,80,error,4\n"))},
         "point 2 in " + (dir_ / "foreign").string() + " is no point of shard 2/2"},
        {{a, file("outside", shard(2, "1,60,valid,3\n3,80,error,4\n5,1,valid,1\n"))},
         "point 5 in " + (dir_ / "outside").string() + " is outside the grid of 5 points"},
        {{a, file("other", shard(2, "1,60,valid,3\n3,80,error,4\n", "abd"))},
         "is a shard of another sweep than " + a},
        {{a, b, a}, "shard 1/2 is given twice"},
        {{a, file("plain", "point,cm,status,fev1\n1,60,valid,3\n")}, "is no shard of a sweep"},
        {{a, file("garbled", shard(2, "1,60,valid,3\nthree,80\n"))}, "no point of a sweep"},
        {{a, (dir_ / "absent").string()}, "cannot read"},
    };
    for (const Case& c : cases) {
        std::string problem;
        EXPECT_EQ(merged(c.files, problem), "") << c.refusal;
        EXPECT_NE(problem.find(c.refusal), std::string::npos) << problem;
    }
}

} // namespace

// Shards of a sweep's grid and their merge, on shard files written here: every point in exactly
// one shard, and merge taking only all of them, each point once, from one sweep.

#include "cli/cli_options.h"
#include "cli/merge.h"
#include "cli/sweep_shards.h"
#include "session/batch_csv.h"
#include "session/batch_json.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace vm::cli;
using namespace vm::session;

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
    EXPECT_EQ(sweepRunPointCount(r.options.sweepRequest()), 1u);
    for (const char* bad : {"0/3", "4/3", "3", "/3", "a/b", "1/0", "1/100001", "2/3x", "-1/3"}) {
        const CliParseResult refused =
            parseCommandLine({"sweep", "--sweep", "cm=50", "--shard", bad});
        EXPECT_NE(refused.message.find(std::string("got '") + bad + "'"), std::string::npos) << bad;
    }
    EXPECT_FALSE(parseCommandLine({"run", "--shard", "1/2"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge"}).ok);
    EXPECT_FALSE(parseCommandLine({"merge", "a.csv", "--json"}).ok);
}

// Shard files of a 5-point grid over cm in 2 shards, their lines as the sweep writes them, in a
// folder of this test's own.
const std::filesystem::path folder =
    std::filesystem::temp_directory_path() / ("merge-test-" + std::to_string(::getpid()));
std::string pathOf(const std::string& name) {
    return (folder / name).string();
}
std::string write(const std::string& name, const std::string& text) {
    std::filesystem::create_directories(folder);
    std::ofstream(pathOf(name), std::ios::binary) << text;
    return pathOf(name);
}
const std::vector<SweepAxis>& axes() {
    static const std::vector<SweepAxis> cm =
        parseCommandLine({"sweep", "--sweep", "cm=50:90:+10"}).options.sweepAxes;
    return cm;
}
// Point p's line, valid with FEV1 p + 1 but for point 4, which is dead; with a patient, the
// reading's columns too.
std::string point(std::size_t p, bool json = false, bool patient = false) {
    SweepRow row{p, sweepPointPercents(axes(), p), {}};
    row.result.runStatus = p == 4 ? 0.0f : 1.0f;
    row.result.indices[vm::record::indexNamed("fev1")] = {static_cast<double>(p + 1),
                                                          vm::model::MissingReason::none};
    if (patient)
        row.result.reading.emplace();
    return json ? sweepRowJson(row, axes()) : csvLine(sweepCells(row, patient));
}
std::string header(bool patient = false) {
    return csvLine(sweepColumns(axes(), patient));
}
std::string shard(int index, const std::string& lines, const char* grid = "abc",
                  bool patient = false) {
    return "# shard " + std::to_string(index) + "/2 of 5 points, grid " + grid + "\n" +
           header(patient) + lines;
}
std::string jsonShard(int index, const std::string& lines) {
    return "{\"shard\":\"" + std::to_string(index) + "/2\",\"points\":5,\"grid\":\"1\"}\n" + lines;
}
std::string merged(const std::vector<std::string>& files, std::string& problem) {
    std::ostringstream out;
    problem = MergeShards(files, out);
    return out.str();
}
// The line with the first `from` in it replaced.
std::string edited(std::string line, const std::string& from, const std::string& by) {
    return line.replace(line.find(from), from.size(), by);
}

TEST(ShardMerge, JoinsTheShardsInTheGridsOrderOrRefusesNamingThePoint) {
    const std::string a = write("a", shard(1, point(0) + point(2) + point(4)));
    const std::string b = write("b", shard(2, point(1) + point(3)));
    std::string problem;
    EXPECT_EQ(merged({b, a}, problem),
              header() + point(0) + point(1) + point(2) + point(3) + point(4));
    EXPECT_EQ(problem, "");
    const std::string j1 =
        write("j1", jsonShard(1, point(0, true) + point(2, true) + point(4, true)));
    const std::string j2 = write("j2", jsonShard(2, point(1, true) + point(3, true)));
    EXPECT_EQ(merged({j1, j2}, problem),
              point(0, true) + point(1, true) + point(2, true) + point(3, true) + point(4, true));
    const std::string p1 =
        write("p1", shard(1, point(0, false, true) + point(2, false, true) + point(4, false, true),
                          "abc", true));
    const std::string p2 =
        write("p2", shard(2, point(1, false, true) + point(3, false, true), "abc", true));
    EXPECT_EQ(merged({p2, p1}, problem), header(true) + point(0, false, true) +
                                             point(1, false, true) + point(2, false, true) +
                                             point(3, false, true) + point(4, false, true));
    EXPECT_EQ(problem, "");

    const std::string line3 = point(3);
    const std::string json3 = point(3, true);
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{a}, "shard 2/2 is missing (its first point is 1)"},
        {{a, write("short", shard(2, point(1)))}, "point 3 is missing from"},
        {{a, write("twice", shard(2, point(1) + point(1) + line3))}, "point 1 is repeated"},
        {{a, write("foreign", shard(2, point(1) + point(2)))},
         "point 2 in " + pathOf("foreign") + " is no point of shard 2/2"},
        {{a, write("outside", shard(2, point(1) + line3 + "5" + line3.substr(line3.find(','))))},
         "point 5 in " + pathOf("outside") + " is outside the grid of 5 points"},
        {{a, write("other", shard(2, point(1) + line3, "abd"))},
         "is a shard of another sweep than " + a},
        {{a, b, a}, "shard 1/2 is given twice"},
        {{a, write("plain", header() + point(1))}, "is no shard of a sweep"},
        {{a, write("garbled", shard(2, point(1) + "three,80\n"))}, "no point of a sweep"},
        {{a, write("json", "{\"shard\":\"2/2\",\"points\":5,\"grid\":\"abc\"}\n")}, "one is JSON"},
        {{a, "/nonexistent/shard.csv"}, "cannot read /nonexistent/shard.csv"},
        // What a full disk, an editor or another program leaves: each line is refused as read.
        {{a, write("cut", shard(2, point(1) + line3.substr(0, line3.size() / 2) + "\n"))},
         pathOf("cut") + " line 4 is no point of a sweep: it has"},
        {{a, write("cut to the point", shard(2, point(1) + "3,"))}, "line 4 is cut short"},
        {{a, write("no line end", shard(2, point(1) + line3.substr(0, line3.size() - 1)))},
         "line 4 is cut short"},
        {{a, write("injected", shard(2, point(1) + edited(line3, ",valid,", ",valid,1,")))},
         "fields where the header names"},
        {{a, write("edited status", shard(2, point(1) + edited(line3, "valid", "VALID")))},
         "'VALID' is not a run's status"},
        {{a, write("unreadable number", shard(2, point(1) + edited(line3, ",4,", ",4x,")))},
         "'4x' is not a number"},
        {{a, write("crlf", shard(2, point(1) + edited(line3, "\n", "\r\n")))}, "carriage return"},
        {{a, write("header",
                   "# shard 2/2 of 5 points, grid abc\npoint,cm,status,fev1\n" + point(1) + line3)},
         "has no sweep's CSV header"},
        {{a, write("long", shard(2, point(1) + std::string(kMaxShardLineBytes + 10, '1') + "\n"))},
         "longer than"},
        {{j1, write("json cut", jsonShard(2, point(1, true) + edited(json3, "}\n", "\n")))},
         "is not one whole JSON object"},
        {{j1, write("json field", jsonShard(2, point(1, true) + edited(json3, "\"status\"",
                                                                       "\"x\":1,\"status\"")))},
         "its fields are not a sweep's"},
        {{j1, write("json status", jsonShard(2, point(1, true) + edited(json3, "valid", "walid")))},
         "its status is not a run's status"},
        {{j1, write("json number",
                    jsonShard(2, point(1, true) + edited(json3, "\"fev1\":4", "\"fev1\":4e999")))},
         "its fev1 is not a number"},
    };
    for (const auto& [files, refusal] : refused) {
        EXPECT_EQ(merged(files, problem), "") << refusal;
        EXPECT_NE(problem.find(refusal), std::string::npos) << refusal << "\n  got: " << problem;
    }
    std::filesystem::remove_all(folder);
}

} // namespace

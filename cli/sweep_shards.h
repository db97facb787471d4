#pragma once
// A sweep cut into shards for batch schedulers: shard K of N runs grid points K-1, K-1+N,
// K-1+2N, ..., so that every shard gets its share of every part of the grid whatever the first
// axis does to a run's length. A shard's output starts with a line that names the shard, the
// grid's size and a fingerprint of the grid, which merge checks before it joins the shards.

#include "cli/cli_options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vm::cli {

inline constexpr int kMaxShards = 100000;

// "K/N", 1 <= K <= N <= kMaxShards. Empty message on success.
std::string parseShard(const std::string& text, SweepShard& shard);

// How many of the grid's points the shard runs, and the grid point its j-th one is.
std::size_t shardPointCount(std::size_t gridPoints, const SweepShard& shard);
std::size_t shardGridPoint(const SweepShard& shard, std::size_t j);

// The points this sweep runs: its shard's, or the whole grid.
std::size_t sweepRunPointCount(const CliOptions& options);

struct SweepStart;

// What the sweep's lines depend on besides the model: the swept names and values, the settings
// every point starts from (--set, --global, --from), the reference row and the patient, taken
// from the start the points copy, so that the files are read once.
std::uint64_t gridFingerprint(const CliOptions& options, const SweepStart& start);

// The first line of a shard's output, "# shard K/N of P points, grid HEX" (with json, the same
// as one JSON object); empty when the sweep is not sharded.
std::string shardHeading(const CliOptions& options, const SweepStart& start);

struct ShardHeading {
    SweepShard shard;
    std::size_t gridPoints = 0;
    std::uint64_t grid = 0;
    bool json = false;
};

// A shard's first line read back; none when the line is no shard heading.
std::optional<ShardHeading> readShardHeading(const std::string& line);

} // namespace vm::cli

#pragma once
// A sweep cut into shards for batch schedulers (session/sweep.h runs a shard's points): a shard's
// output starts with a line that names the shard, the grid's size and a fingerprint of the grid,
// which merge checks before it joins the shards.

#include "cli/cli_options.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vm::cli {

using session::SweepShard;

// What the sweep's lines depend on besides the model: the swept names and values, the settings
// every point starts from (--set, --global, --from), the reference row and the patient, taken
// from the start the points copy, so that the files are read once.
std::uint64_t gridFingerprint(const CliOptions& options, const session::SweepStart& start);

// The first line of a shard's output, "# shard K/N of P points, grid HEX" (with json, the same
// as one JSON object); empty when the sweep is not sharded.
std::string shardHeading(const CliOptions& options, const session::SweepStart& start);

struct ShardHeading {
    SweepShard shard;
    std::size_t gridPoints = 0;
    std::uint64_t grid = 0;
    bool json = false;
};

// A shard's first line read back; none when the line is no shard heading.
std::optional<ShardHeading> readShardHeading(const std::string& line);

} // namespace vm::cli

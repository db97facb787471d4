#pragma once
// merge: the outputs of a sweep's shards joined into the grid's order, byte for byte what the
// sweep unsharded prints. A missing, repeated or foreign point is refused, naming it, and so is
// any line that is not what a sweep writes: cut short, with a field added, changed or unreadable,
// or with Windows line ends. Each line is checked as it is read, none longer than a sweep writes,
// so that a file of something else is refused at its first line however large it is.

#include "cli/cli_options.h"

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace vm::cli {

// The longest line merge reads: many times the longest a sweep writes (a JSON line with a
// patient, about 2 kB).
inline constexpr std::size_t kMaxShardLineBytes = 64 * 1024;

// "merge FILE..." (args[0] is "merge").
CliParseResult parseMergeCommand(const std::vector<std::string>& args);

// Reads every shard file and writes the grid's lines to out only when all of them are there
// once, each as a sweep writes it. Empty on success, else the refusal; nothing is written then.
std::string MergeShards(const std::vector<std::string>& files, std::ostream& out);

// The same on shards already open, each under the name the refusals give it.
struct ShardInput {
    std::string name;
    std::istream* in = nullptr;
};
std::string MergeShardInputs(const std::vector<ShardInput>& shards, std::ostream& out);

} // namespace vm::cli

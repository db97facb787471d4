#pragma once
// merge: the outputs of a sweep's shards joined into the grid's order, byte for byte what the
// sweep unsharded prints. A missing, repeated or foreign point is refused, naming it.

#include "cli/cli_options.h"

#include <ostream>
#include <string>
#include <vector>

namespace vm::cli {

// "merge FILE..." (args[0] is "merge").
CliParseResult parseMergeCommand(const std::vector<std::string>& args);

// Reads every shard file whole and writes the grid's lines to out only when all of them are
// there once. Empty on success, else the refusal.
std::string MergeShards(const std::vector<std::string>& files, std::ostream& out);

} // namespace vm::cli

// merge's reader on shard outputs it is given: an input is one to eight shard files, separated
// by form feeds. merge either writes the whole grid, every line once, or refuses with a reason
// and writes nothing.

#include "cli/merge.h"
#include "cli/sweep_shards.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <sstream>
#include <string_view>
#include <vector>

using namespace vm::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr std::size_t kMaxShardFiles = 8;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::deque<std::istringstream> files;
    std::vector<ShardInput> shards;
    for (std::size_t begin = 0; begin <= text.size() && files.size() < kMaxShardFiles;) {
        std::size_t end = text.find('\f', begin);
        if (end == std::string_view::npos || files.size() + 1 == kMaxShardFiles)
            end = text.size();
        files.emplace_back(std::string(text.substr(begin, end - begin)));
        shards.push_back({"shard" + std::to_string(files.size()), &files.back()});
        begin = end + 1;
    }
    std::ostringstream out;
    const std::string problem = MergeShardInputs(shards, out);
    const std::string merged = out.str();
    if (!problem.empty()) {
        if (!merged.empty())
            __builtin_trap();
        return 0;
    }
    // Merged: one line per point of the grid the first shard names, after the CSV header.
    std::string heading(text.substr(0, text.find('\n')));
    const auto sweep = readShardHeading(heading);
    if (!sweep)
        __builtin_trap();
    std::size_t lines = 0;
    for (const char c : merged)
        lines += c == '\n';
    if (lines != sweep->gridPoints + (sweep->json ? 0 : 1))
        __builtin_trap();
    return 0;
}

#include "cli/merge.h"

#include "cli/sweep_shards.h"

#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>

namespace vm::cli {

namespace {

struct ShardFile {
    std::string name;
    ShardHeading heading;
    std::string csvHeader; // empty for JSON lines
    std::vector<std::string> lines;
};

std::string shardName(const SweepShard& shard) {
    return std::to_string(shard.index) + '/' + std::to_string(shard.count);
}

std::string readShardFile(const std::string& name, ShardFile& file) {
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return "cannot read " + name + ": " + std::strerror(errno);
    file.name = name;
    std::string line;
    std::getline(in, line);
    const std::optional<ShardHeading> heading = readShardHeading(line);
    if (!heading || heading->gridPoints > kMaxSweepPoints)
        return name +
               " is no shard of a sweep: its first line is not what sweep --shard K/N writes";
    file.heading = *heading;
    if (!heading->json) {
        if (!std::getline(in, file.csvHeader) || !file.csvHeader.starts_with("point,"))
            return name + " has no CSV header after its shard line";
    }
    while (std::getline(in, line))
        if (!line.empty())
            file.lines.push_back(std::move(line));
    if (in.bad())
        return "cannot read " + name + ": " + std::strerror(errno);
    return {};
}

// The point number a CSV or JSON line of a sweep starts with.
std::optional<std::size_t> pointOf(const std::string& line, bool json) {
    constexpr std::string_view kJsonStart = "{\"point\":";
    std::string_view text = line;
    if (json) {
        if (!text.starts_with(kJsonStart))
            return std::nullopt;
        text.remove_prefix(kJsonStart.size());
    }
    std::size_t point = 0;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), point);
    if (error != std::errc() || ptr == text.data() + text.size() || *ptr != ',')
        return std::nullopt;
    return point;
}

// Every file of the same sweep as the first.
std::string checkSameSweep(const ShardFile& first, const ShardFile& file) {
    const ShardHeading& a = first.heading;
    const ShardHeading& b = file.heading;
    std::string differs;
    if (a.json != b.json)
        differs = "one is JSON, the other CSV";
    else if (a.shard.count != b.shard.count)
        differs = "cut into " + std::to_string(b.shard.count) + " shards, not " +
                  std::to_string(a.shard.count);
    else if (a.gridPoints != b.gridPoints || a.grid != b.grid || first.csvHeader != file.csvHeader)
        differs = "another grid, other fixed settings or another reference";
    return differs.empty() ? std::string()
                           : file.name + " is a shard of another sweep than " + first.name + " (" +
                                 differs + ")";
}

} // namespace

CliParseResult parseMergeCommand(const std::vector<std::string>& args) {
    CliParseResult r;
    r.options.command = CliCommand::merge;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].empty() || args[i].starts_with("-")) {
            r.message = "merge takes only shard FILEs, got '" + args[i] + "'";
            return r;
        }
        r.options.mergeFiles.push_back(args[i]);
    }
    if (r.options.mergeFiles.empty()) {
        r.message = "merge needs the FILEs of a sweep's shards";
        return r;
    }
    r.ok = true;
    return r;
}

std::string MergeShards(const std::vector<std::string>& names, std::ostream& out) {
    std::vector<ShardFile> files(names.size());
    for (std::size_t f = 0; f < names.size(); ++f) {
        if (auto problem = readShardFile(names[f], files[f]); !problem.empty())
            return problem;
        if (auto problem = checkSameSweep(files[0], files[f]); !problem.empty())
            return problem;
    }
    const ShardHeading& sweep = files[0].heading;
    std::vector<const ShardFile*> shardFiles(static_cast<std::size_t>(sweep.shard.count));
    // Which file holds each point, and its line.
    std::vector<const ShardFile*> pointFiles(sweep.gridPoints);
    std::vector<const std::string*> pointLines(sweep.gridPoints);
    for (const ShardFile& file : files) {
        const SweepShard shard = file.heading.shard;
        const ShardFile*& earlier = shardFiles[static_cast<std::size_t>(shard.index - 1)];
        if (earlier)
            return "shard " + shardName(shard) + " is given twice: " + earlier->name + " and " +
                   file.name;
        earlier = &file;
        for (const std::string& line : file.lines) {
            const std::optional<std::size_t> point = pointOf(line, sweep.json);
            if (!point)
                return file.name + " has a line that is no point of a sweep: " + line.substr(0, 60);
            const std::string name = "point " + std::to_string(*point);
            if (*point >= sweep.gridPoints)
                return name + " in " + file.name + " is outside the grid of " +
                       std::to_string(sweep.gridPoints) + " points";
            if (*point % static_cast<std::size_t>(shard.count) !=
                static_cast<std::size_t>(shard.index - 1))
                return name + " in " + file.name + " is no point of shard " + shardName(shard);
            if (pointFiles[*point])
                return name + " is repeated in " + file.name;
            pointFiles[*point] = &file;
            pointLines[*point] = &line;
        }
    }
    for (std::size_t p = 0; p < sweep.gridPoints; ++p) {
        if (pointLines[p])
            continue;
        const SweepShard shard{static_cast<int>(p % static_cast<std::size_t>(sweep.shard.count)) +
                                   1,
                               sweep.shard.count};
        const ShardFile* file = shardFiles[static_cast<std::size_t>(shard.index - 1)];
        return file ? "point " + std::to_string(p) + " is missing from " + file->name + " (shard " +
                          shardName(shard) + ")"
                    : "shard " + shardName(shard) + " is missing (its first point is " +
                          std::to_string(p) + ")";
    }
    if (!sweep.json)
        out << files[0].csvHeader << '\n';
    for (const std::string* line : pointLines)
        out << *line << '\n';
    out.flush();
    return out ? std::string() : "cannot write the merged lines";
}

} // namespace vm::cli

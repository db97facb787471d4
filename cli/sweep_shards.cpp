#include "cli/sweep_shards.h"

#include "session/json_writer.h"
#include "session/result_reading.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <span>

using namespace vm::record;

namespace vm::cli {

namespace {

// FNV-1a: short, stable across machines and builds.
class Fingerprint {
  public:
    void add(std::span<const std::uint8_t> bytes) {
        for (const std::uint8_t b : bytes)
            hash_ = (hash_ ^ b) * 0x100000001b3ULL;
    }
    void add(std::string_view text) {
        add(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    }
    void add(double value) {
        std::uint8_t bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        add(std::span<const std::uint8_t>(bytes));
    }
    std::uint64_t value() const { return hash_; }

  private:
    std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

} // namespace

std::uint64_t gridFingerprint(const CliOptions& options, const session::SweepStart& start) {
    Fingerprint print;
    for (const session::SweepAxis& axis : options.sweepAxes) {
        print.add(axis.setting.text);
        for (const double percent : axis.percents)
            print.add(percent);
    }
    // The settings as a point's run starts from them, whichever options gave them, the
    // reference they are relative to and the patient the results are read for.
    if (start.patient.origin != session::PatientOrigin::standard)
        print.add(session::patientOption(start.patient.patient));
    for (const auto& part : start.state.currentPartSettings)
        for (const double percent : part)
            print.add(percent);
    for (const double percent : start.state.currentGlobalSettings)
        print.add(percent);
    const ResultRowBytes reference = start.record.rowBytes(referenceRow);
    print.add(reference);
    return print.value();
}

std::string shardHeading(const CliOptions& options, const session::SweepStart& start) {
    if (!options.shard)
        return {};
    char grid[17];
    std::snprintf(grid, sizeof grid, "%016llx",
                  static_cast<unsigned long long>(gridFingerprint(options, start)));
    const std::string shard =
        std::to_string(options.shard->index) + '/' + std::to_string(options.shard->count);
    const std::size_t points = session::sweepPointCount(options.sweepAxes);
    if (options.json)
        return session::JsonWriter()
            .beginObject()
            .key("shard")
            .string(shard)
            .key("points")
            .whole(static_cast<long long>(points))
            .key("grid")
            .string(grid)
            .endObject()
            .line();
    return "# shard " + shard + " of " + std::to_string(points) + " points, grid " + grid + '\n';
}

std::optional<ShardHeading> readShardHeading(const std::string& line) {
    ShardHeading heading;
    char shard[32] = {};
    unsigned long long points = 0;
    unsigned long long grid = 0;
    int end = 0;
    heading.json = line.starts_with('{');
    const char* format = heading.json
                             ? "{\"shard\":\"%31[0-9/]\",\"points\":%llu,\"grid\":\"%llx\"}%n"
                             : "# shard %31[0-9/] of %llu points, grid %llx%n";
    if (std::sscanf(line.c_str(), format, shard, &points, &grid, &end) != 3 ||
        static_cast<std::size_t>(end) != line.size() ||
        !session::parseShard(shard, heading.shard).empty())
        return std::nullopt;
    heading.gridPoints = points;
    heading.grid = grid;
    return heading;
}

} // namespace vm::cli

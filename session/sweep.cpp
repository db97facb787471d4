#include "session/sweep.h"

#include "session/reorder_buffer.h"
#include "session/session.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <thread>

using namespace vm::record;

namespace vm::session {

namespace {

// A whole number, all of the text.
bool readCount(std::string_view text, std::size_t& value) {
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && ptr == text.data() + text.size() && !text.empty();
}

} // namespace

std::vector<std::string_view> splitAt(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t begin = 0;
    for (std::size_t at; (at = text.find(separator, begin)) != std::string_view::npos;
         begin = at + 1)
        pieces.push_back(text.substr(begin, at - begin));
    pieces.push_back(text.substr(begin));
    return pieces;
}

std::string parseSweepValues(std::string_view text, std::vector<double>& percents) {
    percents.clear();
    const std::vector<std::string_view> range = splitAt(text, ':');
    if (range.size() == 1) {
        for (const std::string_view item : splitAt(text, ',')) {
            double percent = 0;
            if (auto problem = readPercent(item, percent); !problem.empty())
                return problem;
            percents.push_back(percent);
        }
        return {};
    }
    if (range.size() != 3)
        return "a range is FROM:TO:xFACTOR or FROM:TO:+STEP, got '" + std::string(text) + "'";
    double from = 0;
    double to = 0;
    double step = 0;
    for (const auto& [piece, value] : {std::pair{range[0], &from}, std::pair{range[1], &to}})
        if (auto problem = readPercent(piece, *value); !problem.empty())
            return problem;
    const std::string_view stepText = range[2];
    const bool geometric = stepText.starts_with('x');
    if (!geometric && !stepText.starts_with('+'))
        return "a range's step is xFACTOR or +STEP, got '" + std::string(stepText) + "'";
    if (auto problem = readNumber(stepText.substr(1), step); !problem.empty())
        return problem;
    if (from > to)
        return "a range runs upwards, got " + std::string(range[0]) + " above " +
               std::string(range[1]);
    if (geometric ? step <= 1.0 : step <= 0.0)
        return geometric ? "a range's factor must be above 1" : "a range's step must be above 0";
    // Each value from the start, so that no rounding adds up; the end counts when a step lands on
    // it within rounding.
    const double last = to * (1.0 + 1e-12);
    for (std::size_t k = 0;; ++k) {
        const double kk = static_cast<double>(k);
        const double value = geometric ? from * std::pow(step, kk) : from + kk * step;
        if (value > last)
            break;
        if (percents.size() == kMaxSweepPoints)
            return "a range of more than " + std::to_string(kMaxSweepPoints) + " values";
        percents.push_back(std::min(value, to));
    }
    return {};
}

std::string addSweepAxis(std::string_view text, std::vector<SweepAxis>& axes) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos)
        return "--sweep needs NAME=VALUES, got '" + std::string(text) + "'";
    SweepAxis axis;
    if (auto problem = readSettingName(text.substr(0, eq), axis.setting); !problem.empty())
        return "--sweep: " + problem;
    const std::string& name = axis.setting.text;
    // By the setting named, not the spelling: two axes of one setting would label rows with
    // values they were not run at.
    for (const SweepAxis& earlier : axes)
        if (earlier.setting.sameSetting(axis.setting))
            return "--sweep " + name + " is the setting " + earlier.setting.text + " given twice";
    if (auto problem = parseSweepValues(text.substr(eq + 1), axis.percents); !problem.empty())
        return "--sweep " + name + ": " + problem;
    axes.push_back(std::move(axis));
    return {};
}

std::string parseShard(std::string_view text, SweepShard& shard) {
    const auto slash = text.find('/');
    std::size_t index = 0;
    std::size_t count = 0;
    if (slash == std::string_view::npos || !readCount(text.substr(0, slash), index) ||
        !readCount(text.substr(slash + 1), count) || index < 1 || index > count ||
        count > kMaxShards)
        return "--shard needs K/N with 1 <= K <= N <= " + std::to_string(kMaxShards) + ", got '" +
               std::string(text) + "'";
    shard = {static_cast<int>(index), static_cast<int>(count)};
    return {};
}

std::string sweepGridProblem(const std::vector<SweepAxis>& axes) {
    if (axes.empty())
        return "sweep needs at least one --sweep NAME=VALUES";
    std::size_t count = 1;
    for (const SweepAxis& axis : axes) {
        count *= axis.percents.size();
        if (count > kMaxSweepPoints)
            return "the sweep's grid has more than " + std::to_string(kMaxSweepPoints) + " points";
    }
    return {};
}

std::size_t sweepPointCount(const std::vector<SweepAxis>& axes) {
    std::size_t count = 1;
    for (const SweepAxis& axis : axes)
        count *= axis.percents.size();
    return count;
}

std::vector<double> sweepPointPercents(const std::vector<SweepAxis>& axes, std::size_t index) {
    std::vector<double> percents(axes.size());
    for (std::size_t a = axes.size(); a-- > 0;) {
        const std::size_t size = axes[a].percents.size();
        percents[a] = axes[a].percents[index % size];
        index /= size;
    }
    return percents;
}

std::size_t shardPointCount(std::size_t gridPoints, const SweepShard& shard) {
    const auto k = static_cast<std::size_t>(shard.index - 1);
    const auto n = static_cast<std::size_t>(shard.count);
    return gridPoints > k ? (gridPoints - k + n - 1) / n : 0;
}

std::size_t shardGridPoint(const SweepShard& shard, std::size_t j) {
    return static_cast<std::size_t>(shard.index - 1) + j * static_cast<std::size_t>(shard.count);
}

std::size_t sweepRunPointCount(const SweepRequest& request) {
    const std::size_t grid = sweepPointCount(request.axes);
    return request.shard ? shardPointCount(grid, *request.shard) : grid;
}

std::string PrepareSweepStart(SweepStart& start, const SweepRequest& request,
                              const std::filesystem::path& exeDir) {
    Session prepared(start.record, start.state, start.model, ProgramFolder{exeDir});
    if (std::string problem = PrepareRun(prepared, request.start); !problem.empty())
        return problem;
    start.patient = prepared.readingPatient();
    if (prepared.hasPatient())
        if (const std::string problem = prepared.readingProblem(); !problem.empty())
            return "cannot read the results for the patient: " + problem;
    return {};
}

SweepOutcome RunSweep(const SweepRequest& request, const SweepStart& start,
                      const std::filesystem::path& exeDir,
                      const std::function<bool(const SweepRow&)>& take,
                      const std::atomic<bool>& stop,
                      const std::function<void(std::size_t, std::size_t)>& progress) {
    // A shard runs its own points of the grid, numbered j here and by the grid in its rows.
    const SweepShard shard = request.shard.value_or(SweepShard{});
    const std::size_t total = sweepRunPointCount(request);
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(
        request.jobs > 0 ? static_cast<unsigned>(request.jobs) : hardware, total);

    ReorderBuffer<SweepRow> buffer;
    std::atomic<std::size_t> nextPoint{0};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> valid{0};
    std::atomic<std::size_t> workersLeft{jobs};
    // A row that cannot be taken would waste every later point.
    std::atomic<bool> refused{false};
    SweepOutcome outcome;

    // Every point starts from a session of its own in the state a single run starts from, and a
    // test leaves the model in another state than it found it.
    const auto runPoint = [&](std::size_t j) {
        SweepRow row;
        row.point = shardGridPoint(shard, j);
        row.percents = sweepPointPercents(request.axes, row.point);
        auto point = std::make_unique<SweepStart>(start);
        Session runner(point->record, point->state, point->model, ProgramFolder{exeDir});
        runner.TakePatient(start.patient);
        ApplySettings(runner, request.start.settings);
        for (std::size_t a = 0; a < request.axes.size(); ++a)
            ApplySettings(runner, {{request.axes[a].setting, row.percents[a]}});
        runner.StartSimulation({});
        row.result = resultOf(runner, workingRow,
                              {.curves = false, .settings = false, .reading = runner.hasPatient()});
        if (row.result.runStatus == 1.0f)
            ++valid;
        return row;
    };
    // One test at a time runs on the calling thread, so that a sweep needs no threads where
    // there are none.
    if (jobs == 1) {
        for (std::size_t j = 0; j < total && !stop; ++j) {
            if (!take(runPoint(j))) {
                outcome.refused = true;
                break;
            }
            ++outcome.taken;
            if (progress)
                progress(j + 1, total);
        }
        outcome.valid = valid;
        return outcome;
    }
    const auto work = [&] {
        for (std::size_t j; !stop && !refused && (j = nextPoint++) < total;) {
            buffer.put(j, runPoint(j));
            ++done;
        }
        --workersLeft;
    };
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; t < jobs; ++t)
        workers.emplace_back(work);
    // Once the workers are gone nothing more arrives: whatever is not yet taken then stays behind
    // a point that was never run.
    for (bool last = workers.empty(); outcome.taken < total && !last;) {
        last = workersLeft == 0;
        for (const SweepRow& row : buffer.takeReady(std::chrono::milliseconds(200))) {
            if (!take(row)) {
                refused = true;
                break;
            }
            ++outcome.taken;
        }
        if (refused)
            break;
        if (progress)
            progress(done, total);
    }
    workers.clear();
    outcome.refused = refused;
    outcome.valid = valid;
    return outcome;
}

} // namespace vm::session

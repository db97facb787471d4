#pragma once
// The sweep: one test at every point of a grid of settings, on several threads, each point from
// the start a single run has, its rows handed on in the grid's order. A shard of the grid (for
// batch schedulers) runs points K-1, K-1+N, K-1+2N, ... of it, so that every shard gets its
// share of every part of the grid whatever the first axis does to a run's length.

#include "model/model_state.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "session/batch_result.h"
#include "session/run_request.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::session {

inline constexpr std::size_t kMaxSweepPoints = 100000;
inline constexpr int kMaxJobs = 256;
inline constexpr int kMaxShards = 100000;

// One setting a sweep steps through, and its values in percent in the order the grid takes them.
struct SweepAxis {
    SettingName setting; // its text names the axis in the sweep's rows
    std::vector<double> percents;
};

// The K-th (1-based) of N parts of the grid.
struct SweepShard {
    int index = 1;
    int count = 1;
};

struct SweepRequest {
    RunRequest start;            // the settings every point keeps, the files, the patient
    std::vector<SweepAxis> axes; // the first changes slowest
    int jobs = 0;                // tests at once; 0: one per hardware thread
    std::optional<SweepShard> shard;
};

// The pieces of text between separators: an axis's values, a line of a sweep's CSV.
std::vector<std::string_view> splitAt(std::string_view text, char separator);

// The values of an axis: a list "50,100,150", a geometric range "100:1600:x2" or an arithmetic
// one "50:150:+25", every value a percentage the settings accept. Empty on success.
std::string parseSweepValues(std::string_view text, std::vector<double>& percents);
// "NAME=VALUES" (a setting as a run names it), added to the axes; empty on success, else the
// message, which names the runner's --sweep that takes the same text.
std::string addSweepAxis(std::string_view text, std::vector<SweepAxis>& axes);
// "K/N", 1 <= K <= N <= kMaxShards. Empty message on success.
std::string parseShard(std::string_view text, SweepShard& shard);
// Empty when the grid can be run: an axis at least, and no more than kMaxSweepPoints points.
std::string sweepGridProblem(const std::vector<SweepAxis>& axes);

std::size_t sweepPointCount(const std::vector<SweepAxis>& axes);
// The percent of every axis at grid point `index` (0-based); the last axis changes fastest.
std::vector<double> sweepPointPercents(const std::vector<SweepAxis>& axes, std::size_t index);
// How many of the grid's points the shard runs, and the grid point its j-th one is.
std::size_t shardPointCount(std::size_t gridPoints, const SweepShard& shard);
std::size_t shardGridPoint(const SweepShard& shard, std::size_t j);
// The points this sweep runs: its shard's, or the whole grid.
std::size_t sweepRunPointCount(const SweepRequest& request);

// What every point of a sweep starts from, prepared once (the model settled, the reference read,
// the sweep's own settings current) and copied for each point, whose session then takes its
// patient: a file replaced meanwhile cannot give one setting two results.
struct SweepStart {
    record::SimulationRecord record;
    record::RecordState state;
    model::ModelState model;
    ReadingPatient patient; // given, or stored in the file started from
    bool withPatient() const { return patient.origin != PatientOrigin::standard; }
};

// Empty on success, else what went wrong. A sweep's rows have no room to say why a point could
// not be read for the patient, as a run's JSON does: what would leave every point's predicted
// values empty stops it here.
std::string PrepareSweepStart(SweepStart& start, const SweepRequest& request,
                              const std::filesystem::path& exeDir);

// One point's result: its status and indices and, with a patient, its reading.
struct SweepRow {
    std::size_t point = 0;        // in the whole grid
    std::vector<double> percents; // one per axis
    RowResult result;
};

struct SweepOutcome {
    std::size_t taken = 0; // rows handed on
    std::size_t valid = 0; // points with a valid result
    bool refused = false;  // take said stop: nothing more was handed on
};

// Runs the grid on request.jobs threads and hands each row to take, on the calling thread, as
// soon as every earlier one was taken; take returns false to stop the sweep. No new point starts
// once stop is set. progress, when set, hears (points done, points in all) on the calling thread.
SweepOutcome RunSweep(const SweepRequest& request, const SweepStart& start,
                      const std::filesystem::path& exeDir,
                      const std::function<bool(const SweepRow&)>& take,
                      const std::atomic<bool>& stop,
                      const std::function<void(std::size_t, std::size_t)>& progress = {});

} // namespace vm::session

#pragma once
// The sweep: one test at every point of a grid of settings, on several threads, each point from
// the start a single run has, its lines written in the grid's order.

#include "cli/cli_options.h"
#include "record/vocabulary.h"
#include "session/session.h"

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace vm::cli {

std::size_t sweepPointCount(const std::vector<SweepAxis>& axes);

// The percent of every axis at grid point `index` (0-based); the last axis changes fastest.
std::vector<double> sweepPointPercents(const std::vector<SweepAxis>& axes, std::size_t index);

// The options of the single run the point's test equals: the sweep's own --set and --global, then
// the point's values.
CliOptions sweepPointOptions(const CliOptions& sweep, const std::vector<double>& percents);

// "point,NAME..,status,fev1,.." and the matching line of a point whose result is in the working
// row; with json, one object: "point", "settings" by axis name, "status" and the indices.
// The reading's columns (the curves' indices and, with a patient, the predicted values) follow
// the indices: extraHeader in the header, extra (CSV cells or JSON fields) on each line.
std::string sweepCsvHeader(const std::vector<SweepAxis>& axes, const std::string& extraHeader = {});
std::string sweepLine(const std::vector<SweepAxis>& axes, std::size_t index,
                      const std::vector<double>& percents, const record::SimulationRecord& record,
                      bool json, const std::string& extra = {});

struct SweepOutcome {
    std::size_t written = 0;   // lines, the header not counted
    std::size_t valid = 0;     // points with a valid result
    bool outputFailed = false; // out could not be written: the sweep stopped there
};

// What every point of a sweep starts from, prepared once by PrepareRunStart on a session over it
// (the model settled, the reference read, the sweep's own settings current) and copied for each
// point, whose session then takes its patient: a file replaced meanwhile cannot give one
// setting two results.
struct SweepStart {
    record::SimulationRecord record;
    record::RecordState state;
    model::ModelState model;
    session::ReadingPatient patient; // given by --patient or stored in the --from file
};

// The start every point copies: the model settled, the reference read, the options' settings
// current, and with a patient the reference equations at hand. Empty on success, else what went
// wrong.
std::string PrepareSweepStart(SweepStart& start, const CliOptions& options,
                              const std::filesystem::path& exeDir);

// Runs the grid on options.jobs threads (0: every hardware thread) and writes each line to out as
// soon as every earlier one is written. No new point starts once stop is set or out fails.
// progress, when set, hears (points done, points in all) from the writing thread.
SweepOutcome RunSweep(const CliOptions& options, const SweepStart& start,
                      const std::filesystem::path& exeDir, std::ostream& out,
                      const std::atomic<bool>& stop,
                      const std::function<void(std::size_t, std::size_t)>& progress = {});

} // namespace vm::cli

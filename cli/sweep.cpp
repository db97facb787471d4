#include "cli/sweep.h"

#include "cli/reorder_buffer.h"
#include "cli/run_report.h"
#include "cli/run_start.h"
#include "cli/sweep_shards.h"
#include "record/vocabulary.h"
#include "session/curve_export.h"
#include "session/reading_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <thread>

using namespace vm::record;

namespace vm::cli {

namespace {

// The shortest text that reads back as the same double: 100, 112.5.
std::string percentText(double percent) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, percent).ptr;
    return {buffer, end};
}

std::string csvNumber(float v) {
    return std::isfinite(v) ? formatFloat(v) : std::string();
}

} // namespace

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

CliOptions sweepPointOptions(const CliOptions& sweep, const std::vector<double>& percents) {
    CliOptions point = sweep;
    point.command = CliCommand::run;
    point.sweepAxes.clear();
    for (std::size_t a = 0; a < sweep.sweepAxes.size(); ++a) {
        const SweepAxis& axis = sweep.sweepAxes[a];
        if (axis.partSetting) {
            PartSettingChange change = *axis.partSetting;
            change.percent = percents[a];
            point.partSettings.push_back(change);
        } else if (axis.globalSetting) {
            GlobalSettingChange change = *axis.globalSetting;
            change.percent = percents[a];
            point.globalSettings.push_back(change);
        }
    }
    return point;
}

std::string sweepCsvHeader(const std::vector<SweepAxis>& axes, const std::string& extraHeader) {
    std::string out = "point";
    for (const SweepAxis& axis : axes)
        out += ',' + axis.name;
    out += ",status";
    for (const RowIndex& index : kRowIndices)
        out += ',' + std::string(index.jsonKey);
    return out + extraHeader + '\n';
}

std::string sweepLine(const std::vector<SweepAxis>& axes, std::size_t index,
                      const std::vector<double>& percents, const SimulationRecord& record,
                      bool json, const std::string& extra) {
    const std::string status =
        session::runStatusWord(record.field(workingRow, RowField::runStatus));
    if (json) {
        std::string out = "{\"point\":" + std::to_string(index) + ",\"settings\":{";
        for (std::size_t a = 0; a < axes.size(); ++a)
            out += std::string(a > 0 ? "," : "") + '"' + axes[a].name +
                   "\":" + percentText(percents[a]);
        return out + "},\"status\":\"" + status + '"' + indexJsonFields(record, workingRow) +
               extra + "}\n";
    }
    std::string out = std::to_string(index);
    for (const double percent : percents)
        out += ',' + percentText(percent);
    out += ',' + status;
    for (const RowIndex& index : kRowIndices)
        out += ',' + csvNumber(record.field(workingRow, index.field));
    return out + extra + '\n';
}

namespace {

// What a point's result gives beside its stored indices, as its line writes it.
std::string readingColumns(const session::Session& session, bool json, bool withPatient) {
    const session::CurveIndices curves = session.curveIndices(workingRow);
    if (json)
        return session::curveIndexJsonFields(curves) +
               (withPatient ? session::patientJsonFields(session.readResult(workingRow))
                            : std::string());
    return session::curveIndexCsvCells(curves) +
           (withPatient ? session::predictedCsvCells(session.readResult(workingRow))
                        : std::string());
}

} // namespace

std::string PrepareSweepStart(SweepStart& start, const CliOptions& options,
                              const std::filesystem::path& exeDir) {
    session::Session prepared(start.record, start.state, start.model,
                              session::ProgramFolder{exeDir});
    if (std::string problem = PrepareRunStart(prepared, options); !problem.empty())
        return problem;
    start.patient = prepared.readingPatient();
    // A sweep's lines have no room to say why a point could not be read for the patient, as a
    // run's JSON does: what would leave every point's predicted values empty stops it here.
    if (prepared.hasPatient())
        if (const std::string problem = prepared.readingProblem(); !problem.empty())
            return "cannot read the results for the patient: " + problem;
    return {};
}

SweepOutcome RunSweep(const CliOptions& options, const SweepStart& start,
                      const std::filesystem::path& exeDir, std::ostream& out,
                      const std::atomic<bool>& stop,
                      const std::function<void(std::size_t, std::size_t)>& progress) {
    // A shard runs its own points of the grid, numbered j here and by the grid in its lines.
    const SweepShard shard = options.shard.value_or(SweepShard{});
    const std::size_t total = sweepRunPointCount(options);
    const unsigned hardware = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(
        options.jobs > 0 ? static_cast<unsigned>(options.jobs) : hardware, total);

    ReorderBuffer buffer;
    std::atomic<std::size_t> nextPoint{0};
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> valid{0};
    std::atomic<std::size_t> workersLeft{jobs};
    // Output that cannot be written would waste every later point.
    std::atomic<bool> outputFailed{false};
    SweepOutcome outcome;

    // Every point starts from a session of its own in the state a single run starts from, and a
    // test leaves the model in another state than it found it.
    const auto work = [&] {
        for (std::size_t j; !stop && !outputFailed && (j = nextPoint++) < total;) {
            const std::size_t i = shardGridPoint(shard, j);
            const std::vector<double> percents = sweepPointPercents(options.sweepAxes, i);
            auto point = std::make_unique<SweepStart>(start);
            session::Session runner(point->record, point->state, point->model,
                                    session::ProgramFolder{exeDir});
            const CliOptions pointOptions = sweepPointOptions(options, percents);
            runner.TakePatient(start.patient);
            ApplyCurrentSettings(runner, pointOptions.partSettings, pointOptions.globalSettings);
            runner.StartSimulation({});
            if (runner.record().field(workingRow, RowField::runStatus) == 1.0f)
                ++valid;
            buffer.put(j, sweepLine(options.sweepAxes, i, percents, runner.record(), options.json,
                                    readingColumns(runner, options.json, runner.hasPatient())));
            ++done;
        }
        --workersLeft;
    };
    // The heading comes from the start the points copy, before any of them runs.
    out << shardHeading(options, start);
    if (!options.json)
        out << sweepCsvHeader(options.sweepAxes,
                              session::curveIndexCsvHeader(false) +
                                  (start.patient.origin != session::PatientOrigin::standard
                                       ? session::predictedCsvHeader(false)
                                       : ""));
    out.flush();
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; out && t < jobs; ++t)
        workers.emplace_back(work);
    // Once the workers are gone nothing more arrives: whatever is not yet written then stays
    // behind a point that was never run.
    for (bool last = workers.empty(); outcome.written < total && !last;) {
        last = workersLeft == 0;
        for (const std::string& line : buffer.takeReady(std::chrono::milliseconds(200))) {
            out << line;
            ++outcome.written;
        }
        out.flush();
        if (!out) {
            outputFailed = true;
            break;
        }
        if (progress)
            progress(done, total);
    }
    workers.clear();
    outcome.outputFailed = !out;
    outcome.valid = valid;
    return outcome;
}

} // namespace vm::cli

// The headless runner: simulated spirometric tests from the command line, for research and for
// testing, sweeps over grids of settings, exports of simulation files, and the maker of the
// standard record.

#include "cli/case_commands.h"
#include "cli/checked_output.h"
#include "cli/cli_options.h"
#include "cli/file_export.h"
#include "cli/merge.h"
#include "cli/run_report.h"
#include "cli/sweep_progress.h"
#include "cli/sweep_shards.h"
#include "session/batch_csv.h"
#include "session/batch_json.h"
#include "session/session.h"
#include "session/standard_record.h"
#include "session/sweep.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include <unistd.h>

using namespace vm::record;
using namespace vm::session;
using namespace vm::cli;

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoValidResult = 3;
constexpr int kExitInterrupted = 130; // as a shell reports a program that SIGINT ended

// The reference's indices, beside which a table prints a result's.
RowResult referenceOf(const Session& session) {
    return resultOf(session, referenceRow, {.curves = false, .settings = false});
}

fs::path runnerFolder(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path();
    return fs::absolute(argv0, error).parent_path();
}

int runRuns(const CliOptions& options, const fs::path& exeDir, std::ostream& out) {
    // "--out -": the record is the standard output, in place of the runs' lines.
    const bool recordToOutput = options.outFile == "-";
    // A record that could not be written would waste every run: the target is checked first.
    if (options.outFile && !recordToOutput) {
        if (const std::string problem = checkWritableTarget(*options.outFile); !problem.empty()) {
            std::cerr << "velta-morvane-cli: cannot write the record: " << problem << "\n";
            return kExitFailure;
        }
    }
    // Each run is the window's START without the window: nothing is drawn or sounded.
    Session runner(ProgramFolder{exeDir});
    if (const std::string problem = PrepareRun(runner, options.run); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    bool anyValid = false;
    for (int run = 1; run <= options.run.runs; ++run) {
        runner.StartSimulation({});
        // Read for the patient given or stored in the file started from.
        const RowResult result =
            resultOf(runner, workingRow, {.settings = false, .reading = runner.hasPatient()});
        anyValid = anyValid || result.runStatus == 1.0f;
        if (!recordToOutput) {
            const RowResult reference = referenceOf(runner);
            out << (options.json ? runJson(result, run)
                                 : runTable(result, reference, run) +
                                       readingTable(result, reference,
                                                    result.reading ? &*result.reading : nullptr));
        }
        // Output that cannot be written stops the runs, and no record is written after it.
        if (!out.flush())
            return kExitFailure;
    }

    if (recordToOutput) {
        runner.WriteRecordToStream(out);
    } else if (options.outFile) {
        if (const ViewChanges written = runner.WriteRecordTo(*options.outFile); written.message) {
            std::cerr << "velta-morvane-cli: cannot write the record: " << *written.message << "\n";
            return kExitFailure;
        }
    }
    return anyValid ? 0 : kExitNoValidResult;
}

std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void requestInterrupt(int) {
    interruptRequested = true;
}

// The first Ctrl+C lets the running points finish; a second one ends the runner at once.
void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = requestInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

int runSweep(const CliOptions& options, const fs::path& exeDir, std::ostream& out) {
    // Every point starts from here, so that a file that cannot be read says so before any thread
    // begins.
    const SweepRequest request = options.sweepRequest();
    auto start = std::make_unique<SweepStart>();
    if (const std::string problem = PrepareSweepStart(*start, request, exeDir); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    catchInterrupt();
    // The heading comes from the start the points copy, before any of them runs.
    const bool withPatient = start->withPatient();
    out << shardHeading(options, *start);
    if (!options.json)
        out << csvLine(sweepColumns(request.axes, withPatient));
    if (!out.flush())
        return kExitFailure;
    SweepProgress bar(std::cerr, isatty(STDERR_FILENO) == 1);
    const SweepOutcome outcome = RunSweep(
        request, *start, exeDir,
        [&](const SweepRow& row) {
            out << (options.json ? sweepRowJson(row, request.axes)
                                 : csvLine(sweepCells(row, withPatient)));
            return static_cast<bool>(out.flush());
        },
        interruptRequested, [&bar](std::size_t done, std::size_t total) { bar.Show(done, total); });
    bar.Finish();
    if (outcome.refused)
        return kExitFailure;
    const std::size_t points = sweepRunPointCount(request);
    // A Ctrl+C after the last point changed nothing.
    if (interruptRequested && outcome.taken < points) {
        std::cerr << "velta-morvane-cli: interrupted after " << outcome.taken << " of " << points
                  << " points\n";
        return kExitInterrupted;
    }
    // A shard of a small grid may have no point at all, which is no failure of its runs.
    return outcome.valid > 0 || points == 0 ? 0 : kExitNoValidResult;
}

// The reference and the rows that opening the file shows as results.
int showFile(const CliOptions& options, const fs::path& exeDir, std::ostream& out) {
    Session runner(ProgramFolder{exeDir});
    const ViewChanges opened = runner.OpenSimulationFile(options.showFile);
    if (options.run.patient)
        runner.SetPatient(*options.run.patient);
    if (opened.message) {
        std::cerr << "velta-morvane-cli: cannot read the simulation file: " << *opened.message
                  << "\n";
        return kExitFailure;
    }
    // A file's results are read for its patient, or the default one, as the window reads them.
    std::vector<RowResult> rows;
    for (int row = 0; row <= runner.state().resultCount; ++row)
        rows.push_back(resultOf(runner, row, {.curves = options.json, .reading = true}));
    if (options.json) {
        for (const RowResult& row : rows)
            out << rowJson(row);
    } else {
        const ReadingPatient& patient = runner.readingPatient();
        out << "patient: " << patientOption(patient.patient) << " ("
            << patientOriginKey(patient.origin) << ")\n"
            << rowsTable(rows);
        for (std::size_t row = 1; row < rows.size(); ++row)
            out << "result " << row << " beside the reference:\n"
                << readingTable(rows[row], rows[0], &*rows[row].reading);
    }
    return 0;
}

int exportFile(const CliOptions& options, const fs::path& exeDir) {
    const ExportOutcome outcome = ExportSimulationFile(
        {options.exportFile, options.exportFolder, options.run.patient, options.exportReport},
        exeDir, plotPictureWriter());
    if (!outcome.note.empty())
        std::cerr << "velta-morvane-cli: " << outcome.note << "\n";
    if (!outcome.problem.empty()) {
        std::cerr << "velta-morvane-cli: " << outcome.problem << "\n";
        return kExitFailure;
    }
    return 0;
}

int mergeShards(const CliOptions& options, std::ostream& out) {
    const std::string problem = MergeShards(options.mergeFiles, out);
    // Output that failed is named once, with its cause, as for every command.
    if (!out)
        return kExitFailure;
    if (!problem.empty()) {
        std::cerr << "velta-morvane-cli: merge: " << problem << "\n";
        return kExitFailure;
    }
    return 0;
}

int makeStandardRecordFile(const CliOptions& options) {
    if (const std::string problem = WriteStandardRecord(options.standardFile); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    return 0;
}

// The command the arguments name; its output goes to out.
int runCommand(const std::vector<std::string>& args, const fs::path& exeDir, std::ostream& out) {
    // The teaching cases' commands read their own options.
    if (!args.empty() && isCaseCommand(args[0]))
        return runCaseCommand(args, exeDir, out);
    const CliParseResult parsed = parseCommandLine(args);
    if (!parsed.ok) {
        std::cerr << "velta-morvane-cli: " << parsed.message << "\n\n" << usageText();
        return kExitUsage;
    }
    switch (parsed.options.command) {
    case CliCommand::help:
        out << usageText() << "\n" << caseCommandsUsage();
        return 0;
    case CliCommand::run:
        return runRuns(parsed.options, exeDir, out);
    case CliCommand::sweep:
        return runSweep(parsed.options, exeDir, out);
    case CliCommand::show:
        return showFile(parsed.options, exeDir, out);
    case CliCommand::exportFiles:
        return exportFile(parsed.options, exeDir);
    case CliCommand::merge:
        return mergeShards(parsed.options, out);
    case CliCommand::makeStandard:
        return makeStandardRecordFile(parsed.options);
    }
    return kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CheckedOutput output(STDOUT_FILENO);
    std::ostream out(&output);
    int code = kExitFailure;
    // An index outside the record stops the command with its message, as in the window.
    try {
        code = runCommand(args, runnerFolder(argv[0]), out);
    } catch (const RangeError& error) {
        std::cerr << "velta-morvane-cli: " << error.what() << "\n";
        code = kExitFailure;
    }
    // Whatever the command did, output that did not all go out is a failure with its cause.
    out.flush();
    if (!output.problem().empty()) {
        std::cerr << "velta-morvane-cli: cannot write the output: " << output.problem() << "\n";
        return kExitFailure;
    }
    return code;
}

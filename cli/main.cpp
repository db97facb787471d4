// The headless runner: simulated spirometric tests from the command line, for research and for
// testing, sweeps over grids of settings, exports of simulation files, and the maker of the
// standard record.

#include "cli/case_commands.h"
#include "cli/checked_output.h"
#include "cli/cli_options.h"
#include "cli/file_export.h"
#include "cli/merge.h"
#include "cli/run_report.h"
#include "cli/run_start.h"
#include "cli/sweep.h"
#include "cli/sweep_progress.h"
#include "cli/sweep_shards.h"
#include "session/reading_text.h"
#include "session/session.h"
#include "session/standard_record.h"

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

// Whether results are read for a patient: one given by --patient or stored in the file read,
// and always for what a file shows, as the window and the report read it.
bool readsPatient(const Session& session, const CliOptions& options, bool ofAFile = false) {
    return ofAFile || options.patient || session.readingPatient().origin != PatientOrigin::standard;
}

// What a result's curves give and, for a patient, its reading, as JSON fields.
std::string readingJson(const Session& session, int row, bool withPatient) {
    std::string fields = curveIndexJsonFields(session.curveIndices(row));
    if (withPatient)
        fields += patientJsonFields(session.readResult(row));
    return fields;
}

std::string readingText(const Session& session, int row, bool withPatient) {
    const ResultReading reading = session.readResult(row);
    return readingTable(session.curveIndices(row), session.curveIndices(referenceRow),
                        withPatient ? &reading : nullptr);
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
    if (const std::string problem = PrepareRunStart(runner, options); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    const SimulationRecord& record = runner.record();
    bool anyValid = false;
    for (int run = 1; run <= options.runs; ++run) {
        runner.StartSimulation({});
        anyValid = anyValid || record.field(workingRow, RowField::runStatus) == 1.0f;
        const bool withPatient = readsPatient(runner, options);
        if (!recordToOutput)
            out << (options.json
                        ? runJson(record, run, readingJson(runner, workingRow, withPatient))
                        : runTable(record, run) + readingText(runner, workingRow, withPatient));
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
    auto start = std::make_unique<SweepStart>();
    if (const std::string problem = PrepareSweepStart(*start, options, exeDir); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    catchInterrupt();
    SweepProgress bar(std::cerr, isatty(STDERR_FILENO) == 1);
    const SweepOutcome outcome =
        RunSweep(options, *start, exeDir, out, interruptRequested,
                 [&bar](std::size_t done, std::size_t total) { bar.Show(done, total); });
    bar.Finish();
    if (outcome.outputFailed)
        return kExitFailure;
    // A Ctrl+C after the last point changed nothing.
    if (interruptRequested && outcome.written < sweepRunPointCount(options)) {
        std::cerr << "velta-morvane-cli: interrupted after " << outcome.written << " of "
                  << sweepRunPointCount(options) << " points\n";
        return kExitInterrupted;
    }
    // A shard of a small grid may have no point at all, which is no failure of its runs.
    return outcome.valid > 0 || sweepRunPointCount(options) == 0 ? 0 : kExitNoValidResult;
}

// The reference and the rows that opening the file shows as results.
int showFile(const CliOptions& options, const fs::path& exeDir, std::ostream& out) {
    Session runner(ProgramFolder{exeDir});
    const ViewChanges opened = runner.OpenSimulationFile(options.showFile);
    if (options.patient)
        runner.SetPatient(*options.patient);
    if (opened.message) {
        std::cerr << "velta-morvane-cli: cannot read the simulation file: " << *opened.message
                  << "\n";
        return kExitFailure;
    }
    if (options.json) {
        for (int row = 0; row <= runner.state().resultCount; ++row)
            out << rowJson(runner.record(), row, readingJson(runner, row, true));
    } else {
        const ReadingPatient& patient = runner.readingPatient();
        out << "patient: " << patientOption(patient.patient) << " ("
            << patientOriginKey(patient.origin) << ")\n"
            << rowsTable(runner.record(), runner.state().resultCount);
        for (int row = 1; row <= runner.state().resultCount; ++row)
            out << "result " << row << " beside the reference:\n" << readingText(runner, row, true);
    }
    return 0;
}

int exportFile(const CliOptions& options, const fs::path& exeDir) {
    const ExportOutcome outcome = ExportSimulationFile(
        {options.exportFile, options.exportFolder, options.patient, options.exportReport}, exeDir,
        plotPictureWriter());
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

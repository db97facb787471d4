#pragma once
// The command line of the headless runner, parsed into what to do. Parsing never exits or
// prints: it returns success plus a message, so that it can be tested.

#include "session/run_request.h"
#include "session/sweep.h"

#include <optional>
#include <string>
#include <vector>

namespace vm::cli {

enum class CliCommand { help, run, sweep, show, exportFiles, makeStandard, merge };

struct CliOptions {
    CliCommand command = CliCommand::help;
    // run's settings, runs, files and --patient; for sweep, the start every point keeps. show and
    // export take only the patient from here.
    session::RunRequest run;
    std::vector<session::SweepAxis> sweepAxes; // the first axis changes slowest
    int jobs = 0;                              // sweep's threads; 0: one per hardware thread
    std::optional<session::SweepShard> shard;  // sweep runs only this part of the grid
    std::optional<std::string> outFile;
    bool json = false;
    std::vector<std::string> mergeFiles; // merge's shard outputs
    std::string showFile;                // show's simulation file
    std::string standardFile;            // make-standard's output
    std::string exportFile;              // export's simulation file
    std::string exportFolder;            // export's --to
    bool exportReport = false;           // export's --report: report.pdf as well

    session::SweepRequest sweepRequest() const { return {run, sweepAxes, jobs, shard}; }
};

struct CliParseResult {
    bool ok = false;
    std::string message; // what was wrong, when not ok
    CliOptions options;
};

// args without the program name.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

} // namespace vm::cli

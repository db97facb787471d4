// The headless runner: simulated spirometric tests from the command line, for research and for
// testing, and the maker of the standard record.

#include "cli/cli_options.h"
#include "cli/run_report.h"
#include "cli/standard_record_maker.h"
#include "record/record_file.h"
#include "record/record_state.h"
#include "session/session.h"

#include <filesystem>
#include <iostream>
#include <system_error>

using namespace vm::record;
using namespace vm::model;
using namespace vm::session;
using namespace vm::cli;

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

fs::path runnerFolder(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.parent_path();
    return fs::absolute(argv0, error).parent_path();
}

int runRuns(const CliOptions& options, const fs::path& exeDir) {
    const ProgramFolder folder{exeDir};
    fs::path referencePath;
    if (options.referenceFile) {
        referencePath = *options.referenceFile;
    } else {
        referencePath = folder.standardRecord();
        if (!fs::exists(referencePath)) {
            std::cerr << "velta-morvane-cli: standard record not found: " << referencePath.string()
                      << "\n(build the standard_record target, or give --reference FILE)\n";
            return kExitFailure;
        }
    }
    SimulationRecord loaded;
    if (const FileResult read = readRecordFile(referencePath, loaded); !read.ok) {
        std::cerr << "velta-morvane-cli: cannot read the reference: " << read.message << "\n";
        return kExitFailure;
    }

    // Each run is the window's START without the window: nothing is drawn or sounded.
    SimulationRecord record;
    RecordState current;
    ModelState model;
    Session session(record, current, model, folder, EarlierResults::leftAlone);
    session.InitialiseModel();
    // The reference keeps the settings stored with it, as after opening a simulation file.
    record.setRowBytes(referenceRow, loaded.rowBytes(referenceRow));

    for (const PartSettingChange& c : options.partSettings)
        current.currentPart(c.part, c.column) = c.percent;
    for (const GlobalSettingChange& g : options.globalSettings)
        current.currentGlobal(g.item) = g.percent;

    for (int run = 1; run <= options.runs; ++run) {
        session.StartSimulation({});
        std::cout << (options.json ? runJson(record, run) : runTable(record, run));
    }
    std::cout.flush();

    if (options.outFile) {
        if (const FileResult written = writeRecordFile(*options.outFile, record); !written.ok) {
            std::cerr << "velta-morvane-cli: cannot write the record: " << written.message << "\n";
            return kExitFailure;
        }
    }
    return 0;
}

int makeStandardRecordFile(const CliOptions& options) {
    SimulationRecord standard;
    std::string message;
    if (!makeStandardRecord(standard, message)) {
        std::cerr << "velta-morvane-cli: " << message << "\n";
        return kExitFailure;
    }
    const fs::path path = options.standardFile;
    std::error_code error;
    if (path.has_parent_path())
        fs::create_directories(path.parent_path(), error);
    if (const FileResult written = writeRecordFile(path, standard); !written.ok) {
        std::cerr << "velta-morvane-cli: cannot write the standard record: " << written.message
                  << "\n";
        return kExitFailure;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CliParseResult parsed = parseCommandLine(args);
    if (!parsed.ok) {
        std::cerr << "velta-morvane-cli: " << parsed.message << "\n\n" << usageText();
        return kExitUsage;
    }
    switch (parsed.options.command) {
    case CliCommand::help:
        std::cout << usageText();
        return 0;
    case CliCommand::run:
        return runRuns(parsed.options, runnerFolder(argv[0]));
    case CliCommand::makeStandard:
        return makeStandardRecordFile(parsed.options);
    }
    return kExitUsage;
}

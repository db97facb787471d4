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

// The reference row from a file, or from the standard record beside the runner.
bool loadReference(const CliOptions& options, const ProgramFolder& folder,
                   SimulationRecord& record) {
    fs::path referencePath;
    if (options.referenceFile) {
        referencePath = *options.referenceFile;
    } else {
        referencePath = folder.standardRecord();
        if (!fs::exists(referencePath)) {
            std::cerr << "velta-morvane-cli: standard record not found: " << referencePath.string()
                      << "\n(build the standard_record target, or give --reference FILE)\n";
            return false;
        }
    }
    SimulationRecord loaded;
    if (const FileResult read = readRecordFile(referencePath, loaded); !read.ok) {
        std::cerr << "velta-morvane-cli: cannot read the reference: " << read.message << "\n";
        return false;
    }
    // The reference keeps the settings stored with it, as after opening a simulation file.
    record.setRowBytes(referenceRow, loaded.rowBytes(referenceRow));
    return true;
}

// The file's record as opening it in the program gives it; the settings of the row it shows
// become the current ones, global items included.
bool startFromFile(Session& session, const fs::path& path) {
    const ViewChanges opened = session.OpenSimulationFile(path);
    if (opened.message) {
        std::cerr << "velta-morvane-cli: cannot read the simulation file: " << *opened.message
                  << "\n";
        return false;
    }
    if (session.state().selectedRow == 1) {
        session.SelectResultRow(1);
    } else {
        loadCurrentGlobalSettingsFromRow(session.state(), session.record(), referenceRow);
    }
    return true;
}

int runRuns(const CliOptions& options, const fs::path& exeDir) {
    // A record that could not be written would waste every run: the target is checked first.
    if (options.outFile) {
        if (const FileResult target = checkWritableTarget(*options.outFile); !target.ok) {
            std::cerr << "velta-morvane-cli: cannot write the record: " << target.message << "\n";
            return kExitFailure;
        }
    }
    // Each run is the window's START without the window: nothing is drawn or sounded.
    SimulationRecord record;
    RecordState current;
    ModelState model;
    Session session(record, current, model, ProgramFolder{exeDir});
    session.InitialiseModel();
    const bool ready = options.fromFile ? startFromFile(session, *options.fromFile)
                                        : loadReference(options, session.folder(), record);
    if (!ready)
        return kExitFailure;

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

// The reference and the rows that opening the file shows as results.
int showFile(const CliOptions& options, const fs::path& exeDir) {
    SimulationRecord record;
    RecordState state;
    ModelState model;
    Session session(record, state, model, ProgramFolder{exeDir});
    const ViewChanges opened = session.OpenSimulationFile(options.showFile);
    if (opened.message) {
        std::cerr << "velta-morvane-cli: cannot read the simulation file: " << *opened.message
                  << "\n";
        return kExitFailure;
    }
    if (options.json) {
        for (int row = 0; row <= state.resultCount; ++row)
            std::cout << rowJson(record, row);
    } else {
        std::cout << rowsTable(record, state.resultCount);
    }
    std::cout.flush();
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
    case CliCommand::show:
        return showFile(parsed.options, runnerFolder(argv[0]));
    case CliCommand::makeStandard:
        return makeStandardRecordFile(parsed.options);
    }
    return kExitUsage;
}

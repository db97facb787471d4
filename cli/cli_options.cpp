#include "cli/cli_options.h"

#include "cli/merge.h"
#include "record/vocabulary.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string_view>

using namespace vm::record;
using namespace vm::session;

namespace vm::cli {

namespace {

std::string partName(LungPart part) {
    return std::string(kLungPartNames[part]);
}

std::string lastGlobalItem() {
    return std::to_string(layout::kGlobalItems - 1);
}

CliParseResult parseFailure(std::string message) {
    CliParseResult r;
    r.message = std::move(message);
    return r;
}

// --set NAME=PCT, and --global I=PCT as the setting global.I.
std::string parseSetting(const std::string& option, const std::string& value,
                         const std::string& namePrefix, RunRequest& request) {
    const auto eq = value.find('=');
    if (eq == std::string::npos)
        return option + " needs " + (namePrefix.empty() ? "NAME" : "I") + "=PCT, got '" + value +
               "'";
    SettingValue setting;
    const std::string name = value.substr(0, eq);
    if (auto problem = readSettingName(namePrefix + name, setting.setting); !problem.empty())
        return option + ": " + problem;
    if (auto problem = readPercent(value.substr(eq + 1), setting.percent); !problem.empty())
        return option + " " + name + ": " + problem;
    request.settings.push_back(std::move(setting));
    return {};
}

// run and sweep share their options; --runs and --out belong to run, --sweep and --jobs to sweep.
CliParseResult parseRunOrSweep(const std::vector<std::string>& args, CliCommand command) {
    CliParseResult result;
    CliOptions& options = result.options;
    options.command = command;
    const bool sweep = command == CliCommand::sweep;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool ownOption = sweep ? arg == "--sweep" || arg == "--jobs" || arg == "--shard"
                                     : arg == "--runs" || arg == "--out";
        const bool takesValue = arg == "--set" || arg == "--global" || arg == "--reference" ||
                                arg == "--from" || ownOption;
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (!takesValue)
            return parseFailure("unknown option '" + arg + "'");
        if (i + 1 >= args.size())
            return parseFailure(arg + " needs a value");
        const std::string& value = args[++i];
        std::string problem;
        if (arg == "--set") {
            problem = parseSetting(arg, value, "", options.run);
        } else if (arg == "--global") {
            problem = parseSetting(arg, value, "global.", options.run);
        } else if (arg == "--sweep") {
            problem = addSweepAxis(value, options.sweepAxes);
        } else if (arg == "--jobs") {
            long jobs = 0;
            if (!readWholeNumber(value, jobs) || jobs < 1 || jobs > kMaxJobs)
                problem = "--jobs needs a whole number 1.." + std::to_string(kMaxJobs) + ", got '" +
                          value + "'";
            else
                options.jobs = static_cast<int>(jobs);
        } else if (arg == "--shard") {
            problem = parseShard(value, options.shard.emplace());
        } else if (arg == "--runs") {
            long runs = 0;
            if (!readWholeNumber(value, runs) || runs < 1 || runs > kMaxRunsInARow)
                problem = "--runs needs a whole number 1.." + std::to_string(kMaxRunsInARow) +
                          ", got '" + value + "'";
            else
                options.run.runs = static_cast<int>(runs);
        } else if (value.empty()) {
            problem = arg + " needs a file name";
        } else if (arg == "--out") {
            options.outFile = value;
        } else if (arg == "--from") {
            options.run.fromFile = value;
        } else {
            options.run.reference = value;
        }
        if (!problem.empty())
            return parseFailure(problem);
    }
    // A file's results are relative to its own reference; another one would change their meaning.
    if (options.run.fromFile && options.run.reference)
        return parseFailure("--from and --reference cannot be given together");
    if (sweep)
        if (std::string problem = sweepGridProblem(options.sweepAxes); !problem.empty())
            return parseFailure(problem);
    result.ok = true;
    return result;
}

CliParseResult parseExport(const std::vector<std::string>& args) {
    constexpr const char* kUsage = "export needs FILE and --to FOLDER";
    CliParseResult r;
    r.options.command = CliCommand::exportFiles;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--to" && i + 1 < args.size() && !args[i + 1].empty() &&
            r.options.exportFolder.empty()) {
            r.options.exportFolder = args[++i];
        } else if (args[i].empty() || args[i].starts_with("-") || !r.options.exportFile.empty()) {
            return parseFailure(kUsage);
        } else {
            r.options.exportFile = args[i];
        }
    }
    if (r.options.exportFile.empty() || r.options.exportFolder.empty())
        return parseFailure(kUsage);
    r.ok = true;
    return r;
}

// One option of the help: the option, then its description from a fixed column, wrapped at
// spaces before the help's width; a line break in the description starts a new line.
std::string helpOption(const std::string& option, const std::string& description) {
    constexpr std::size_t kDescriptionColumn = 26;
    constexpr std::size_t kHelpWidth = 97;
    std::string text = "  " + option;
    text.resize(std::max(text.size() + 1, kDescriptionColumn), ' ');
    std::size_t lineBegin = 0;
    const auto newLine = [&] {
        text += '\n';
        lineBegin = text.size();
        text.append(kDescriptionColumn, ' ');
    };
    std::istringstream lines(description);
    std::string line;
    for (bool first = true; std::getline(lines, line); first = false) {
        if (!first)
            newLine();
        std::istringstream words(line);
        for (std::string word; words >> word;) {
            // Only the padding before a line's first word ends in a space.
            if (text.back() != ' ' && text.size() - lineBegin + 1 + word.size() > kHelpWidth)
                newLine();
            if (text.back() != ' ')
                text += ' ';
            text += word;
        }
    }
    return text + '\n';
}

CliParseResult parseCommand(const std::vector<std::string>& args);

// The options every command that prints results takes: --patient, and export's --report. They are
// taken out of the arguments before the command's own are read.
std::string takeReadingOptions(std::vector<std::string>& args, CliOptions& options) {
    const std::string& command = args[0];
    const bool reads =
        command == "run" || command == "sweep" || command == "show" || command == "export";
    for (std::size_t i = 1; reads && i < args.size();) {
        if (args[i] == "--report" && command == "export") {
            options.exportReport = true;
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        if (args[i] != "--patient") {
            ++i;
            continue;
        }
        if (i + 1 >= args.size())
            return "--patient needs SEX,AGE,HEIGHT such as female,40,165";
        const auto patient = parsePatient(args[i + 1]);
        if (!patient)
            return "--patient needs SEX,AGE,HEIGHT (female or male, years, cm) such as "
                   "female,40,165, got '" +
                   args[i + 1] + "'";
        if (const std::string problem = patientProblem(*patient); !problem.empty())
            return "--patient: " + problem;
        options.run.patient = patient;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    }
    return {};
}

} // namespace

CliParseResult parseCommandLine(const std::vector<std::string>& givenArgs) {
    if (givenArgs.empty())
        return parseFailure("no command given");
    std::vector<std::string> args = givenArgs;
    CliOptions reading;
    if (const std::string problem = takeReadingOptions(args, reading); !problem.empty())
        return parseFailure(problem);
    CliParseResult parsed = parseCommand(args);
    parsed.options.run.patient = reading.run.patient;
    parsed.options.exportReport = reading.exportReport;
    return parsed;
}

namespace {

CliParseResult parseCommand(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    if (command == "help" || command == "--help" || command == "-h") {
        CliParseResult r;
        r.ok = true;
        r.options.command = CliCommand::help;
        return r;
    }
    if (command == "run")
        return parseRunOrSweep(args, CliCommand::run);
    if (command == "sweep")
        return parseRunOrSweep(args, CliCommand::sweep);
    if (command == "export")
        return parseExport(args);
    if (command == "merge")
        return parseMergeCommand(args);
    if (command == "show") {
        CliParseResult r;
        r.options.command = CliCommand::show;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--json")
                r.options.json = true;
            else if (args[i].empty() || args[i].starts_with("-") || !r.options.showFile.empty())
                return parseFailure("show needs exactly one FILE, and --json at most");
            else
                r.options.showFile = args[i];
        }
        if (r.options.showFile.empty())
            return parseFailure("show needs exactly one FILE, and --json at most");
        r.ok = true;
        return r;
    }
    if (command == "make-standard") {
        if (args.size() != 2 || args[1].empty() || args[1].starts_with("-"))
            return parseFailure("make-standard needs exactly one output FILE");
        CliParseResult r;
        r.ok = true;
        r.options.command = CliCommand::makeStandard;
        r.options.standardFile = args[1];
        return r;
    }
    return parseFailure("unknown command '" + command + "'");
}

} // namespace

std::string usageText() {
    std::string text = R"(Usage:
  velta-morvane-cli run [options]        run simulated spirometric tests
  velta-morvane-cli sweep [options]      one test at every point of a grid of settings
  velta-morvane-cli show FILE [--json]   print a simulation file's reference and results
  velta-morvane-cli export FILE --to FOLDER [--report]
                                         write a simulation file's curves and results as CSV
                                         and both plots as PNG and SVG; with --report also
                                         report.pdf, the selected result's one-page report
  velta-morvane-cli merge FILE...       join the outputs of a sweep's shards in the grid's order
  velta-morvane-cli make-standard FILE   write the standard record (a run at all settings 100)
  velta-morvane-cli help                 show this text

Each run stores the settings into the working row and runs one test, as START does: the earlier
results move down, three kept beside the reference and one more in row 4. The reference row comes
from datfiles1/standard.dat beside this program unless --reference or --from is given.

show prints the settings and indices of the reference and of the rows opening the file in the
program shows as results: the settings of both lungs and the expiratory effort, and any other lung
part's setting or global item that a row moves from 100; with --json one line per row, in the
fields of run --json with "row" in place of "run", and every setting added.

sweep runs one test at every point of the grid its --sweep options span, each from the same start
as a single run with those settings, on several threads at once. It prints one line per point in
the grid's order, the first --sweep changing slowest: CSV with a header (point, the swept
settings, status, then every index), or JSON with --json (the indices as run --json gives them,
without the samples). A progress line goes to the terminal when standard error is one. Ctrl+C
stops it: the lines printed so far stay, and it exits with 130.

sweep --shard K/N runs only the K-th of N parts of the grid: points K-1, K-1+N, K-1+2N, ...,
each line keeping its point number, after a first line naming the shard and its grid. merge
joins the outputs of all N shards into what the sweep prints unsharded, and refuses a missing,
repeated or foreign point, naming it, and any line that is not what a sweep writes (cut short,
a field added, changed or unreadable, Windows line ends), printing nothing then.

export writes into FOLDER, which it makes when missing: flow_volume.csv and volume_time.csv (the
samples of the reference and of every result, with their units), results.csv (the settings and
indices of each of those rows), and flow_volume.png/.svg and volume_time.png/.svg, the plots as
the program draws them at their size on a 1280x1024 screen (486x371 and 486x119 pixels), the file
opened as the program opens it. Each file is written whole or not at all, and the first that cannot
be written ends the export. A runner built without the plots writes the CSV files only and says
so.

With --patient SEX,AGE,HEIGHT (female or male, years 3..95, cm 100..250; such as female,40,165)
run, sweep, show and export read each result against the person's GLI Global 2022 reference
values as well: the JSON gains "patient" and "predicted" (FEV1, FVC and FEV1/FVC: predicted, lln,
uln, z, percentPredicted; the ATS/ERS 2022 reading and the fixed 0.70 ratio's verdict), the CSV
their columns. Every result also gives the indices read from its curves (FEF25-75, FEV6, slow VC,
RV, time to PEF, back-extrapolated volume, Empey index, FIF50 ...): empty (null) where a curve
cannot give one, the JSON's "emptyIndices" saying why.

Exit codes: 0 done; 1 a file or the output could not be read or written (the cause on standard
error), or merge refused its files; 2 a wrong
command line; 3 run or sweep gave no valid result (every test "dead" or "error"); 130 sweep
interrupted.

Options of run and sweep:
)";
    const std::string left = partName(LungPart::leftLung);
    std::string items;
    for (std::size_t i = 0; i < kGlobalItemNames.size(); ++i)
        items += (i == 0 ? "" : ", ") + std::to_string(i) + " " + std::string(kGlobalItemNames[i]);
    text += helpOption("--set NAME=PCT",
                       "setting of both lungs in percent of the reference (10..2000); NAME is " +
                           settingColumnNamesText());
    text += helpOption("--set " + left + ".NAME=PCT",
                       "the same for the " + left + " lung; " + partName(LungPart::rightLung) +
                           ".NAME, " + partName(LungPart::lobe1) + ".NAME .. " +
                           partName(LungPart::lobe5) + ".NAME\nfor the right lung and the lobes");
    text += helpOption("--global I=PCT",
                       "global setting item I (0.." + lastGlobalItem() + "): " + items);
    text += helpOption("--runs N", "run only: N tests in a row, each from the state the previous "
                                   "one left (1..1000)");
    text +=
        helpOption("--reference FILE", "take the reference row from row 0 of this simulation file");
    text += helpOption("--from FILE",
                       "start from this simulation file's record, as opening it in the program "
                       "does: its reference and results, the newest result's settings (the "
                       "reference's when it has none) current; options then change them");
    text += helpOption("--out FILE",
                       "run only: write the resulting record as the program saves it (row 0 "
                       "reference, rows 1..4 the results, newest first); a pipe or device takes "
                       "it as a stream, and - means the standard output, which then holds the "
                       "record alone");
    text += helpOption("--json", "one JSON object per run on its own line instead of a table");
    text += helpOption("--sweep NAME=VALUES",
                       "sweep only, one or more: a setting as --set names it, or global.I for "
                       "global item I, and its values: a list 50,100,150, a geometric range "
                       "100:1600:x2 (100, 200 .. 1600) or an arithmetic one 50:150:+25; --set and "
                       "--global give the settings the sweep keeps");
    text += helpOption("--shard K/N", "sweep only: run the K-th of N parts of the grid, for batch "
                                      "schedulers; merge joins the parts");
    text += helpOption("--jobs N", "sweep only: tests at once (1.." +
                                       std::to_string(session::kMaxJobs) +
                                       ", default one per hardware thread)");
    return text;
}

} // namespace vm::cli

#include "cli/cli_options.h"

#include "cli/merge.h"
#include "cli/sweep_shards.h"
#include "record/vocabulary.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string_view>

using namespace vm::record;

namespace vm::cli {

namespace {

std::string joined(std::span<const std::string_view> names) {
    std::string text;
    for (const std::string_view name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

std::string partName(LungPart part) {
    return std::string(kLungPartNames[part]);
}

// "left, right or lobe1..lobe5"
std::string prefixedPartNames() {
    return partName(LungPart::leftLung) + ", " + partName(LungPart::rightLung) + " or " +
           partName(LungPart::lobe1) + ".." + partName(LungPart::lobe5);
}

std::string lastGlobalItem() {
    return std::to_string(layout::kGlobalItems - 1);
}

CliParseResult parseFailure(std::string message) {
    CliParseResult r;
    r.message = std::move(message);
    return r;
}

enum class NumberReading { ok, notANumber, outOfRange };

// A whole string as a finite decimal number, nothing left over. strtod would also take
// hexadecimal and "inf"; a setting is written in decimal only.
NumberReading parseNumber(const std::string& text, double& value) {
    if (text.empty() || text.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return NumberReading::notANumber;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size())
        return NumberReading::notANumber;
    if (errno == ERANGE || !std::isfinite(value))
        return NumberReading::outOfRange;
    return NumberReading::ok;
}

std::string numberProblem(const std::string& text, double& value) {
    switch (parseNumber(text, value)) {
    case NumberReading::ok:
        return {};
    case NumberReading::notANumber:
        return "not a number: '" + text + "'";
    case NumberReading::outOfRange:
        return "number out of range: '" + text + "'";
    }
    return {};
}

bool parseInteger(const std::string& text, long& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end == text.c_str() + text.size();
}

std::string percentProblem(const std::string& text, double& percent) {
    if (auto problem = numberProblem(text, percent); !problem.empty())
        return problem;
    if (percent < kMinSettingPercent || percent > kMaxSettingPercent)
        return "percentage " + text + " outside 10..2000";
    return {};
}

// NAME for both lungs, or PART.NAME: left.NAME, right.NAME, lobe1.NAME .. lobe5.NAME.
std::string parsePartName(const std::string& name, PartSettingChange& change) {
    std::string column = name;
    change.part = kEditedPart;
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string prefix = name.substr(0, dot);
        column = name.substr(dot + 1);
        // Only the bare NAME means both lungs.
        const auto part = prefix.empty() ? std::nullopt : lungPartNamed(prefix);
        if (!part)
            return "unknown lung part '" + prefix + "' (use " + prefixedPartNames() + ")";
        change.part = *part;
    }
    const auto setting = settingColumnNamed(column);
    if (!setting)
        return "unknown setting '" + column + "' (use " + joined(kSettingColumnNames) + ")";
    change.column = *setting;
    return {};
}

std::string parseSet(const std::string& value, CliOptions& options) {
    const auto eq = value.find('=');
    if (eq == std::string::npos)
        return "--set needs NAME=PCT, got '" + value + "'";
    PartSettingChange change;
    if (auto problem = parsePartName(value.substr(0, eq), change); !problem.empty())
        return "--set: " + problem;
    if (auto problem = percentProblem(value.substr(eq + 1), change.percent); !problem.empty())
        return "--set " + value.substr(0, eq) + ": " + problem;
    options.partSettings.push_back(change);
    return {};
}

std::string parseGlobal(const std::string& value, CliOptions& options) {
    const auto eq = value.find('=');
    if (eq == std::string::npos)
        return "--global needs I=PCT, got '" + value + "'";
    long item = 0;
    if (!parseInteger(value.substr(0, eq), item) || item < 0 || item >= layout::kGlobalItems)
        return "--global: item '" + value.substr(0, eq) + "' is not a whole number 0.." +
               lastGlobalItem();
    GlobalSettingChange change;
    change.item = static_cast<int>(item);
    if (auto problem = percentProblem(value.substr(eq + 1), change.percent); !problem.empty())
        return "--global " + value.substr(0, eq) + ": " + problem;
    options.globalSettings.push_back(change);
    return {};
}

bool sameSetting(const SweepAxis& a, const SweepAxis& b) {
    if (a.globalSetting && b.globalSetting)
        return a.globalSetting->item == b.globalSetting->item;
    return a.partSetting && b.partSetting && a.partSetting->part == b.partSetting->part &&
           a.partSetting->column == b.partSetting->column;
}

// NAME=VALUES of --sweep: a setting as --set names it, or global.I for global item I.
std::string parseSweep(const std::string& value, CliOptions& options) {
    const auto eq = value.find('=');
    if (eq == std::string::npos)
        return "--sweep needs NAME=VALUES, got '" + value + "'";
    SweepAxis axis;
    axis.name = value.substr(0, eq);
    if (axis.name.starts_with("global.")) {
        long item = 0;
        const std::string number = axis.name.substr(7);
        if (!parseInteger(number, item) || item < 0 || item >= layout::kGlobalItems)
            return "--sweep: item '" + number + "' is not a whole number 0.." + lastGlobalItem();
        axis.globalSetting = GlobalSettingChange{static_cast<int>(item), 100.0};
    } else {
        PartSettingChange change;
        if (auto problem = parsePartName(axis.name, change); !problem.empty())
            return "--sweep: " + problem;
        axis.partSetting = change;
    }
    // By the setting named, not the spelling: global.2 and global.02 are one setting, and two
    // axes of it would label rows with values they were not run at.
    for (const SweepAxis& earlier : options.sweepAxes)
        if (sameSetting(earlier, axis))
            return "--sweep " + axis.name + " is the setting " + earlier.name + " given twice";
    if (auto problem = parseSweepValues(value.substr(eq + 1), axis.percents); !problem.empty())
        return "--sweep " + axis.name + ": " + problem;
    options.sweepAxes.push_back(std::move(axis));
    return {};
}

std::size_t gridPointCount(const std::vector<SweepAxis>& axes) {
    std::size_t count = 1;
    for (const SweepAxis& axis : axes) {
        count *= axis.percents.size();
        if (count > kMaxSweepPoints)
            return count;
    }
    return count;
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
            problem = parseSet(value, options);
        } else if (arg == "--global") {
            problem = parseGlobal(value, options);
        } else if (arg == "--sweep") {
            problem = parseSweep(value, options);
        } else if (arg == "--jobs") {
            long jobs = 0;
            if (!parseInteger(value, jobs) || jobs < 1 || jobs > kMaxJobs)
                problem = "--jobs needs a whole number 1.." + std::to_string(kMaxJobs) + ", got '" +
                          value + "'";
            else
                options.jobs = static_cast<int>(jobs);
        } else if (arg == "--shard") {
            problem = parseShard(value, options.shard.emplace());
        } else if (arg == "--runs") {
            long runs = 0;
            if (!parseInteger(value, runs) || runs < 1 || runs > kMaxRuns)
                problem = "--runs needs a whole number 1..1000, got '" + value + "'";
            else
                options.runs = static_cast<int>(runs);
        } else if (value.empty()) {
            problem = arg + " needs a file name";
        } else if (arg == "--out") {
            options.outFile = value;
        } else if (arg == "--from") {
            options.fromFile = value;
        } else {
            options.referenceFile = value;
        }
        if (!problem.empty())
            return parseFailure(problem);
    }
    // A file's results are relative to its own reference; another one would change their meaning.
    if (options.fromFile && options.referenceFile)
        return parseFailure("--from and --reference cannot be given together");
    if (sweep && options.sweepAxes.empty())
        return parseFailure("sweep needs at least one --sweep NAME=VALUES");
    if (sweep && gridPointCount(options.sweepAxes) > kMaxSweepPoints)
        return parseFailure("the sweep's grid has more than " + std::to_string(kMaxSweepPoints) +
                            " points");
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

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t begin = 0;
    for (std::size_t at; (at = text.find(separator, begin)) != std::string::npos; begin = at + 1)
        pieces.push_back(text.substr(begin, at - begin));
    pieces.push_back(text.substr(begin));
    return pieces;
}

} // namespace

std::string parseSweepValues(const std::string& text, std::vector<double>& percents) {
    percents.clear();
    const std::vector<std::string> range = splitAt(text, ':');
    if (range.size() == 1) {
        for (const std::string& item : splitAt(text, ',')) {
            double percent = 0;
            if (auto problem = percentProblem(item, percent); !problem.empty())
                return problem;
            percents.push_back(percent);
        }
        return {};
    }
    if (range.size() != 3)
        return "a range is FROM:TO:xFACTOR or FROM:TO:+STEP, got '" + text + "'";
    double from = 0;
    double to = 0;
    double step = 0;
    for (const auto& [piece, value] : {std::pair{&range[0], &from}, std::pair{&range[1], &to}})
        if (auto problem = percentProblem(*piece, *value); !problem.empty())
            return problem;
    const std::string& stepText = range[2];
    const bool geometric = stepText.starts_with('x');
    if (!geometric && !stepText.starts_with('+'))
        return "a range's step is xFACTOR or +STEP, got '" + stepText + "'";
    if (auto problem = numberProblem(stepText.substr(1), step); !problem.empty())
        return problem;
    if (from > to)
        return "a range runs upwards, got " + range[0] + " above " + range[1];
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

namespace {

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
        const auto patient = session::parsePatient(args[i + 1]);
        if (!patient)
            return "--patient needs SEX,AGE,HEIGHT (female or male, years, cm) such as "
                   "female,40,165, got '" +
                   args[i + 1] + "'";
        if (const std::string problem = session::patientProblem(*patient); !problem.empty())
            return "--patient: " + problem;
        options.patient = patient;
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
    parsed.options.patient = reading.patient;
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
                           joined(kSettingColumnNames));
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
    text += helpOption("--jobs N", "sweep only: tests at once (1.." + std::to_string(kMaxJobs) +
                                       ", default one per hardware thread)");
    return text;
}

} // namespace vm::cli

#include "cli/cli_options.h"

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

// A whole string as a finite number, nothing left over.
bool parseNumber(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())))
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
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
    if (!parseNumber(text, percent))
        return "not a number: '" + text + "'";
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

CliParseResult parseRun(const std::vector<std::string>& args) {
    CliParseResult result;
    CliOptions& options = result.options;
    options.command = CliCommand::run;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool takesValue = arg == "--set" || arg == "--global" || arg == "--runs" ||
                                arg == "--out" || arg == "--reference" || arg == "--from";
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
    result.ok = true;
    return result;
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

} // namespace

CliParseResult parseCommandLine(const std::vector<std::string>& args) {
    if (args.empty())
        return parseFailure("no command given");
    const std::string& command = args[0];
    if (command == "help" || command == "--help" || command == "-h") {
        CliParseResult r;
        r.ok = true;
        r.options.command = CliCommand::help;
        return r;
    }
    if (command == "run")
        return parseRun(args);
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

std::string usageText() {
    std::string text = R"(Usage:
  velta-morvane-cli run [options]        run simulated spirometric tests
  velta-morvane-cli show FILE [--json]   print a simulation file's reference and results
  velta-morvane-cli make-standard FILE   write the standard record (a run at all settings 100)
  velta-morvane-cli help                 show this text

Each run stores the settings into the working row and runs one test, as START does: the earlier
results move down, three kept beside the reference and one more in row 4. The reference row comes
from datfiles1/standard.dat beside this program unless --reference or --from is given.

show prints the settings and indices of the reference and of the rows opening the file in the
program shows as results; with --json one line per row, in the fields of run --json with "row"
in place of "run", and the settings added.

Options of run:
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
    text += helpOption("--runs N",
                       "N tests in a row, each from the state the previous one left (1..1000)");
    text +=
        helpOption("--reference FILE", "take the reference row from row 0 of this simulation file");
    text += helpOption("--from FILE",
                       "start from this simulation file's record, as opening it in the program "
                       "does: its reference and results, the newest result's settings (the "
                       "reference's when it has none) current; options then change them");
    text += helpOption("--out FILE", "write the resulting record as the program saves it (row 0 "
                                     "reference, rows 1..4 the results, newest first)");
    text += helpOption("--json", "one JSON object per run on its own line instead of a table");
    return text;
}

} // namespace vm::cli

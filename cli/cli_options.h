#pragma once
// The command line of the headless runner, parsed into what to do. Parsing never exits or
// prints: it returns success plus a message, so that it can be tested.

#include "record/record_state.h"
#include "record/vocabulary.h"

#include <optional>
#include <string>
#include <vector>

namespace vm::cli {

enum class CliCommand { help, run, show, makeStandard };

// One setting column of one lung part, in percent of the reference.
struct PartSettingChange {
    record::LungPart part = record::kEditedPart;
    record::SettingColumn column = record::SettingColumn::rCentral;
    double percent = 100.0;
};

struct GlobalSettingChange {
    int item = 0; // 0..19
    double percent = 100.0;
};

struct CliOptions {
    CliCommand command = CliCommand::help;
    std::vector<PartSettingChange> partSettings;
    std::vector<GlobalSettingChange> globalSettings;
    int runs = 1;
    std::optional<std::string> outFile;
    std::optional<std::string> referenceFile;
    std::optional<std::string> fromFile; // run starts from this simulation file's record
    bool json = false;
    std::string showFile;     // show's simulation file
    std::string standardFile; // make-standard's output
};

struct CliParseResult {
    bool ok = false;
    std::string message; // what was wrong, when not ok
    CliOptions options;
};

// args without the program name.
CliParseResult parseCommandLine(const std::vector<std::string>& args);

std::string usageText();

// Accepted percentages: the track bars' floor of 10 up to well above their largest value.
inline constexpr double kMinSettingPercent = record::kLowestUsableSetting;
inline constexpr double kMaxSettingPercent = record::kHighestUsableSetting;
inline constexpr int kMaxRuns = 1000;

} // namespace vm::cli

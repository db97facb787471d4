#pragma once
// The command line of the headless runner, parsed into what to do. Parsing never exits or
// prints: it returns success plus a message, so that it can be tested.

#include "record/vocabulary.h"
#include "session/result_reading.h"

#include <optional>
#include <string>
#include <vector>

namespace vm::cli {

enum class CliCommand { help, run, sweep, show, exportFiles, makeStandard, merge };

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

// One setting a sweep steps through: a part's setting column or a global item, and its values in
// percent, in the order the grid takes them.
struct SweepAxis {
    std::string name; // as given: "cm", "left.rCentral", "global.0"
    std::optional<PartSettingChange> partSetting;
    std::optional<GlobalSettingChange> globalSetting;
    std::vector<double> percents;
};

// Sweep's --shard K/N: the K-th (1-based) of N parts of the grid (cli/sweep_shards.h).
struct SweepShard {
    int index = 1;
    int count = 1;
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
    std::vector<SweepAxis> sweepAxes;    // the first axis changes slowest
    int jobs = 0;                        // sweep's threads; 0: one per hardware thread
    std::optional<SweepShard> shard;     // sweep runs only this part of the grid
    std::vector<std::string> mergeFiles; // merge's shard outputs
    std::string showFile;                // show's simulation file
    std::string standardFile;            // make-standard's output
    std::string exportFile;              // export's simulation file
    std::string exportFolder;            // export's --to
    bool exportReport = false;           // export's --report: report.pdf as well
    // --patient of run, sweep, show and export: the results are read against this person's
    // reference values as well.
    std::optional<session::Patient> patient;
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
inline constexpr std::size_t kMaxSweepPoints = 100000;
inline constexpr int kMaxJobs = 256;

// The values of one --sweep: a list "50,100,150", a geometric range "100:1600:x2" or an arithmetic
// one "50:150:+25", every value a percentage the settings accept. Empty message on success.
std::string parseSweepValues(const std::string& text, std::vector<double>& percents);

} // namespace vm::cli

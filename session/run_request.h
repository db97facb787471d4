#pragma once
// What a batch run asks for, as every front end gives it: settings by the vocabulary's names in
// percent of the reference ("cm" for both lungs, "left.cm", "lobe3.ccc", "global.0"), how many
// tests in a row, the reference or a simulation file to start from, and the patient the results
// are read for. The runner reads one from its command line and the Python module from its
// arguments; both prepare the session here, so that a run from either starts the same way.

#include "record/vocabulary.h"
#include "session/result_reading.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm::session {

class Session;

// The settings a run accepts, in percent: the track bars' floor of 10 up to well above their
// largest value.
inline constexpr double kMinSettingPercent = record::kLowestUsableSetting;
inline constexpr double kMaxSettingPercent = record::kHighestUsableSetting;
inline constexpr int kMaxRunsInARow = 1000;

// One setting: a column of a lung part, or a global item.
struct SettingName {
    std::string text; // as given: "cm", "left.rCentral", "global.0"
    record::LungPart part = record::kEditedPart;
    record::SettingColumn column = record::SettingColumn::rCentral;
    std::optional<int> globalItem;
    // By the setting named, not the spelling: global.2 and global.02 are one.
    bool sameSetting(const SettingName& other) const;
};

// "cm", "left.cm", "right.cm", "lobe1.cm" .. "lobe5.cm" or "global.0" .. "global.19"; empty on
// success, else why not.
std::string readSettingName(std::string_view text, SettingName& name);

// A decimal number, nothing left over (no hexadecimal, no "inf"); empty on success, else why
// not.
std::string readNumber(std::string_view text, double& value);
// A whole decimal number, nothing before or after it.
bool readWholeNumber(std::string_view text, long& value);
// "rCentral, vdc, ..., cm": the setting columns' names, as messages and help list them.
std::string settingColumnNamesText();
// A setting's percentage as text, or as a number; empty when a setting takes it, else why not.
std::string readPercent(std::string_view text, double& percent);
std::string percentProblem(double percent);

struct SettingValue {
    SettingName setting;
    double percent = 100.0;
};

struct RunRequest {
    std::vector<SettingValue> settings; // in order; a later one of the same setting wins
    int runs = 1;                       // each from the state the one before left
    std::optional<std::filesystem::path> reference; // row 0 of this file is the reference
    std::optional<std::filesystem::path> fromFile;  // start from this file's whole record
    std::optional<Patient> patient;
};

// The settings made current.
void ApplySettings(Session& session, const std::vector<SettingValue>& settings);

// A fresh session ready for the request's first test: the model settled, the reference row from
// the reference file or the standard record (or a simulation file's whole record, the settings
// of the row it shows current), then the request's settings current and its patient set. Empty
// on success, else what went wrong.
std::string PrepareRun(Session& session, const RunRequest& request);
// The same but for settling the model, for what depends on the files and settings alone.
std::string PrepareRunSettings(Session& session, const RunRequest& request);

} // namespace vm::session

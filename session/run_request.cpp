#include "session/run_request.h"

#include "session/number_text.h"
#include "session/session.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

using namespace vm::record;

namespace vm::session {

namespace fs = std::filesystem;

namespace {

std::string partName(LungPart part) {
    return std::string(kLungPartNames[part]);
}

} // namespace

bool readWholeNumber(std::string_view text, long& value) {
    const std::string number(text);
    if (number.empty() || std::isspace(static_cast<unsigned char>(number.front())))
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtol(number.c_str(), &end, 10);
    return errno == 0 && end == number.c_str() + number.size();
}

std::string settingColumnNamesText() {
    std::string text;
    for (const std::string_view name : kSettingColumnNames)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

bool SettingName::sameSetting(const SettingName& other) const {
    if (globalItem || other.globalItem)
        return globalItem == other.globalItem;
    return part == other.part && column == other.column;
}

std::string readSettingName(std::string_view text, SettingName& name) {
    name = SettingName{};
    name.text = std::string(text);
    if (text.starts_with("global.")) {
        long item = 0;
        const std::string number(text.substr(7));
        if (!readWholeNumber(number, item) || item < 0 || item >= layout::kGlobalItems)
            return "item '" + number + "' is not a whole number 0.." +
                   std::to_string(layout::kGlobalItems - 1);
        name.globalItem = static_cast<int>(item);
        return {};
    }
    std::string_view column = text;
    if (const auto dot = text.find('.'); dot != std::string_view::npos) {
        const std::string_view prefix = text.substr(0, dot);
        column = text.substr(dot + 1);
        // Only the bare NAME means both lungs.
        const auto part = prefix.empty() ? std::nullopt : lungPartNamed(prefix);
        if (!part)
            return "unknown lung part '" + std::string(prefix) + "' (use " +
                   partName(LungPart::leftLung) + ", " + partName(LungPart::rightLung) + " or " +
                   partName(LungPart::lobe1) + ".." + partName(LungPart::lobe5) + ")";
        name.part = *part;
    }
    const auto setting = settingColumnNamed(column);
    if (!setting)
        return "unknown setting '" + std::string(column) + "' (use " + settingColumnNamesText() +
               ")";
    name.column = *setting;
    return {};
}

std::string readNumber(std::string_view text, double& value) {
    const std::string number(text);
    if (number.empty() || number.find_first_not_of("0123456789+-.eE") != std::string::npos)
        return "not a number: '" + number + "'";
    errno = 0;
    char* end = nullptr;
    value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size())
        return "not a number: '" + number + "'";
    if (errno == ERANGE || !std::isfinite(value))
        return "number out of range: '" + number + "'";
    return {};
}

std::string readPercent(std::string_view text, double& percent) {
    if (std::string problem = readNumber(text, percent); !problem.empty())
        return problem;
    if (percent < kMinSettingPercent || percent > kMaxSettingPercent)
        return "percentage " + std::string(text) + " outside 10..2000";
    return {};
}

std::string percentProblem(double percent) {
    if (!std::isfinite(percent))
        return "not a number: '" + numberText(percent, NumberForm::shortest) + "'";
    double read = 0.0;
    return readPercent(numberText(percent, NumberForm::shortest), read);
}

void ApplySettings(Session& session, const std::vector<SettingValue>& settings) {
    for (const SettingValue& value : settings) {
        const SettingName& name = value.setting;
        if (name.globalItem)
            session.SetGlobalSetting(*name.globalItem, value.percent);
        else
            session.SetPartSetting(name.part, name.column, value.percent);
    }
}

namespace {

// The reference row from a file, or from the standard record beside the program. The reference
// keeps the settings stored with it, as after opening a simulation file.
std::string loadReference(Session& session, const RunRequest& request) {
    fs::path referencePath;
    if (request.reference) {
        referencePath = *request.reference;
    } else {
        referencePath = session.folder().standardRecord();
        if (!fs::exists(referencePath))
            return "standard record not found: " + referencePath.string() +
                   "\n(build the standard_record target, or give --reference FILE)";
    }
    if (const ViewChanges read = session.UseReferenceFrom(referencePath); read.message)
        return "cannot read the reference: " + *read.message;
    return {};
}

// The file's record as opening it in the program gives it; the settings of the row it shows
// become the current ones, global items included.
std::string startFromFile(Session& session, const fs::path& path) {
    const ViewChanges opened = session.OpenSimulationFile(path);
    if (opened.message)
        return "cannot read the simulation file: " + *opened.message;
    if (session.state().selectedRow == 1)
        session.SelectResultRow(1);
    else
        session.TakeRowSettings(referenceRow);
    return {};
}

} // namespace

std::string PrepareRun(Session& session, const RunRequest& request) {
    session.InitialiseModel();
    return PrepareRunSettings(session, request);
}

std::string PrepareRunSettings(Session& session, const RunRequest& request) {
    const std::string problem = request.fromFile ? startFromFile(session, *request.fromFile)
                                                 : loadReference(session, request);
    if (!problem.empty())
        return problem;
    ApplySettings(session, request.settings);
    if (request.patient)
        if (const ViewChanges set = session.SetPatient(*request.patient); set.message)
            return *set.message;
    return {};
}

} // namespace vm::session

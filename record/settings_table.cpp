#include "record/settings_table.h"

namespace vm::record {

const Setting& settingOfTrackBar(int trackBar) {
    if (trackBar < 1 || trackBar > static_cast<int>(kSettings.size()))
        throw RangeError("Range check error: track bar " + std::to_string(trackBar));
    return kSettings[static_cast<std::size_t>(trackBar - 1)];
}

const Setting* settingOf(SettingTarget target) {
    for (const Setting& setting : kSettings)
        if (setting.target == target)
            return &setting;
    return nullptr;
}

const ControlGroup& controlGroupOfSection(unsigned char section) {
    for (const ControlGroup& group : kControlGroups)
        if (group.section == section)
            return group;
    throw RangeError("Range check error: section " + std::to_string(section));
}

std::string runnerName(const Setting& setting) {
    if (setting.target.isColumn())
        return std::string(kSettingColumnNames[static_cast<std::size_t>(setting.target.index)]);
    return "global." + std::to_string(setting.target.index);
}

} // namespace vm::record

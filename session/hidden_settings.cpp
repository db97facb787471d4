#include "session/hidden_settings.h"

#include "model/settings_conversion.h"
#include "record/settings_table.h"

#include <array>
#include <cmath>

using namespace vm::record;

namespace vm::session {

namespace {

// The notice speaks in whole percent, so a difference it would print as 100 % is none.
bool awayFromNormal(double percent) {
    return std::abs(percent - 100.0) >= 0.5;
}

template <class Value> std::vector<CaseSetting> hiddenOf(Value value) {
    std::vector<CaseSetting> found;
    for (int p = 0; p < layout::kParts; ++p)
        for (int c = 0; c < layout::kSettingColumns; ++c) {
            const CaseSetting s{false, p, c, value(false, p, c)};
            if (model::settingIsRead(p, c) && isHiddenSetting(s) && awayFromNormal(s.percent))
                found.push_back(s);
        }
    for (int i = 0; i < static_cast<int>(kGlobalItemWords.size()); ++i) {
        const CaseSetting s{true, kEditedPart, i, value(true, 0, i)};
        if (isHiddenSetting(s) && awayFromNormal(s.percent))
            found.push_back(s);
    }
    return found;
}

std::vector<CaseSetting> hiddenOfRow(const SimulationRecord& record, int row) {
    return hiddenOf([&](bool global, int p, int i) -> double {
        return global ? record.globalSetting(row, i) : record.partSetting(row, p, i);
    });
}

// A file from elsewhere may hold dozens; the notice names the first few and counts the rest.
std::string listed(const std::vector<CaseSetting>& settings) {
    constexpr std::size_t kNamed = 6;
    std::string text;
    for (std::size_t k = 0; k < settings.size() && k < kNamed; ++k)
        text += (text.empty() ? "" : "; ") + settingText(settings[k]);
    if (settings.size() > kNamed)
        text += " i " + std::to_string(settings.size() - kNamed) + " innych";
    return text;
}

} // namespace

bool isHiddenSetting(const CaseSetting& setting) {
    if (!setting.global && setting.part != kEditedPart)
        return true;
    const Setting* control =
        settingOf(setting.global ? SettingTarget::item(GlobalItem(setting.index))
                                 : SettingTarget::column(SettingColumn(setting.index)));
    return control == nullptr || !control->shown;
}

HiddenSettings findHiddenSettings(const Session& session) {
    HiddenSettings hidden;
    if (session.hiddenSettingsRow() >= 0)
        return hidden;
    const RecordState& state = session.state();
    hidden.current = hiddenOf([&](bool global, int p, int i) {
        return global ? state.currentGlobalSettings[static_cast<std::size_t>(i)]
                      : state.currentPartSettings[static_cast<std::size_t>(p)]
                                                 [static_cast<std::size_t>(i)];
    });
    if (state.selectedRow >= 1) {
        hidden.selectedRow = state.selectedRow;
        hidden.selected = hiddenOfRow(session.record(), state.selectedRow);
    }
    hidden.reference = hiddenOfRow(session.record(), referenceRow);
    return hidden;
}

std::string settingWords(const CaseSetting& s) {
    if (s.global)
        return std::string(kGlobalItemWords.at(static_cast<std::size_t>(s.index)));
    const bool bronchus = s.index == SettingColumn::rCentral &&
                          (s.part == LungPart::leftLung || s.part == LungPart::rightLung);
    const Setting* control = settingOf(SettingTarget::column(SettingColumn(s.index)));
    if (control == nullptr)
        throw RangeError("Range check error: setting column " + std::to_string(s.index));
    return std::string(kLungPartWords.at(static_cast<std::size_t>(s.part))) + " – " +
           std::string(bronchus ? "opór oskrzela głównego" : control->words);
}

std::string settingText(const CaseSetting& s) {
    return settingWords(s) + " " + std::to_string(std::lround(s.percent)) + " %";
}

std::string hiddenSettingsNotice(const HiddenSettings& hidden) {
    if (hidden.empty())
        return {};
    std::string text = "Nastawy bez suwaka różne od 100 %.";
    const std::string row = "wynik (wiersz " + std::to_string(hidden.selectedRow) + ")";
    if (!hidden.current.empty() && hidden.current == hidden.selected) {
        text += " Następny START i wybrany " + row + ": " + listed(hidden.current) + ".";
    } else {
        if (!hidden.current.empty())
            text += " Następny START: " + listed(hidden.current) + ".";
        if (!hidden.selected.empty())
            text += " Wybrany " + row + ": " + listed(hidden.selected) + ".";
    }
    if (!hidden.reference.empty())
        text += " Referencja: " + listed(hidden.reference) + " (przywraca ją „ref.Standard”).";
    if (!hidden.current.empty())
        text += " „Przywróć wszystkie nastawy” ustawia je na 100 %.";
    return text;
}

ViewChanges RestoreAllSettings(Session& session) {
    ViewChanges changes = session.ResetCurrentSettings();
    changes.controlsToDefaults = true;
    changes.noteBoxCleared = true;
    return changes;
}

} // namespace vm::session

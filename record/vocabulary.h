#pragma once
// The program's vocabulary, each list in one place: the lung parts, setting columns and global
// items that index a row's settings, with the names the headless runner's options use, and the
// spirometric indices of a row (record/index_table.h).

#include "record/index_table.h"
#include "record/simulation_record.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vm::record {

// The settings a run can work with, in percent: the track bars' floor up to well above their
// largest value.
inline constexpr double kLowestUsableSetting = 10.0;
inline constexpr double kHighestUsableSetting = 2000.0;

// The enumerators are reached through their type (LungPart::bothLungs) and convert to the plain
// int indices of the record, so that loops over every part, column or item stay plain ints.
namespace vocabulary {

// Lung parts p of partSettings: lobes 1-2 form the left lung, lobes 3-5 the right lung.
enum LungPart : int { leftLung, rightLung, bothLungs, lobe1, lobe2, lobe3, lobe4, lobe5 };

// Setting columns c of partSettings, in the order of the control panel's track bars 1..8.
enum SettingColumn : int {
    rCentral,      // central airway resistance
    vdc,           // central airway volume and compliance
    rIntermediate, // intermediate airway resistance
    stiffness,     // intermediate airway wall stiffness
    rPeripheral,   // peripheral airway resistance
    ccc,           // minimal lobe volume
    lungSize,      // size of the lungs and with them of the chest wall
    cm,            // lung compliance
};

// The globalSettings items the model reads; items 4..19 are stored and copied but unnamed.
enum GlobalItem : int { expirationDepth, effortRiseSpeed, inspiratoryEffort, endFlowThreshold };

} // namespace vocabulary

using vocabulary::GlobalItem;
using vocabulary::LungPart;
using vocabulary::SettingColumn;

// The lung part the control panel edits.
inline constexpr LungPart kEditedPart = LungPart::bothLungs;

// Lobe 1..5 as a lung part.
constexpr LungPart lobePart(int lobe) {
    return static_cast<LungPart>(LungPart::lobe1 + (lobe - 1));
}

// The runner's names: PART.NAME picks a part; both lungs, the edited part, go without a prefix.
inline constexpr std::array<std::string_view, layout::kParts> kLungPartNames{
    "left", "right", "", "lobe1", "lobe2", "lobe3", "lobe4", "lobe5"};
inline constexpr std::array<std::string_view, layout::kSettingColumns> kSettingColumnNames{
    "rCentral", "vdc", "rIntermediate", "stiffness", "rPeripheral", "ccc", "lungSize", "cm"};
inline constexpr std::array<std::string_view, 4> kGlobalItemNames{
    "expiratory effort", "speed of the effort rise", "inspiratory effort",
    "end-of-test flow threshold"};
// The same in plain Polish, as the window's notices name them; a setting column's words are its
// control's (record/settings_table.h).
inline constexpr std::array<std::string_view, layout::kParts> kLungPartWords{
    "lewe płuco",      "prawe płuco",      "oba płuca",           "płat górny lewy",
    "płat dolny lewy", "płat górny prawy", "płat środkowy prawy", "płat dolny prawy"};
inline constexpr std::array<std::string_view, kGlobalItemNames.size()> kGlobalItemWords{
    "siła wydechu", "szybkość narastania wysiłku wydechowego", "siła wdechu",
    "próg przepływu kończący badanie"};

static_assert(LungPart::lobe5 == layout::kParts - 1 && lobePart(layout::kLobes) == LungPart::lobe5);
static_assert(SettingColumn::cm == layout::kSettingColumns - 1);
static_assert(GlobalItem::endFlowThreshold == static_cast<int>(kGlobalItemNames.size()) - 1);

namespace vocabulary {
template <typename Enum, std::size_t N>
constexpr std::optional<Enum> named(const std::array<std::string_view, N>& names,
                                    std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == name)
            return static_cast<Enum>(i);
    return std::nullopt;
}
} // namespace vocabulary

// The part or column a runner's name means ("" is both lungs); none for an unknown name.
constexpr std::optional<LungPart> lungPartNamed(std::string_view name) {
    return vocabulary::named<LungPart>(kLungPartNames, name);
}
constexpr std::optional<SettingColumn> settingColumnNamed(std::string_view name) {
    return vocabulary::named<SettingColumn>(kSettingColumnNames, name);
}

} // namespace vm::record

#pragma once
// The program's vocabulary, each list in one place: the lung parts, setting columns and global
// items that index a row's settings, with the names the headless runner's options use, and the
// spirometric indices of a row with everything the results table and the runner show of them.
// Adding an index: a RowField after the last (its stored place, in the row's unused floats), one
// line of kRowIndices with its reset value and kind, and its computation in
// model/spirometric_indices.cpp.

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

// How the results table sets an index beside the reference's.
enum class Comparison {
    none,                  // neither the reference's value nor a percentage
    percent,               // both; the percentage only for displayed quantities below 4
    percentInEveryVariant, // both, the percentage for every displayed quantity
};

// What a scalar of a row is, which decides how the tables and the runner treat it.
enum class IndexKind {
    measured,          // a value of the run, shown beside the reference's
    runStatus,         // 1 valid, 0 "dead", -1 "error": heads the runner's table
    displayedQuantity, // the code of what the row shows: shown whatever the status, never as %
};

// One scalar of a result row and how it is shown.
struct RowIndex {
    RowField field;
    std::string_view jsonKey; // key in the runner's JSON line
    std::string_view name;    // results table's name; the runner's label where the table has none
    std::string_view unit;
    int gridRow;   // line of the results table, 0 for none
    int precision; // significant digits of the results table's value
    int decimals;  // digits after the decimal separator
    Comparison comparison;
    IndexKind kind;
    float resetValue; // what a run starts the working row with
};

// In stored order, which is the order of the runner's JSON keys.
// clang-format off
inline constexpr std::array<RowIndex, kRowFieldCount> kRowIndices{{
    {RowField::fev1, "fev1", "FEV1", "l", 1, 4, 2, Comparison::percentInEveryVariant,
     IndexKind::measured, 0.0f},
    {RowField::fvcex, "fvcex", "FVCEX", "l", 2, 4, 2, Comparison::percentInEveryVariant,
     IndexKind::measured, 0.0f},
    {RowField::fev1PctFvc, "fev1PctFvc", "FEV1%FVC", "%", 3, 4, 2,
     Comparison::percentInEveryVariant, IndexKind::measured, 0.0f},
    {RowField::pef, "pef", "PEF", "l/s", 4, 4, 2, Comparison::percent, IndexKind::measured, 0.0f},
    {RowField::mef75, "mef75", "MEF75", "l/s", 5, 4, 2, Comparison::percent, IndexKind::measured,
     0.0f},
    {RowField::mef50, "mef50", "MEF50", "l/s", 6, 4, 2, Comparison::percent, IndexKind::measured,
     0.0f},
    {RowField::mef25, "mef25", "MEF25", "l/s", 7, 4, 2, Comparison::percent, IndexKind::measured,
     0.0f},
    {RowField::erv, "erv", "ERV", "l", 8, 4, 2, Comparison::percentInEveryVariant,
     IndexKind::measured, 0.0f},
    {RowField::flowAt1s, "flowAt1s", "flow at 1 s", "l/s", 0, 4, 2, Comparison::none,
     IndexKind::measured, 0.0f},
    // FRC starts at 100 and is the lung volume once the tidal breathing begins.
    {RowField::frc, "frc", "FRC", "l", 12, 4, 2, Comparison::percent, IndexKind::measured, 100.0f},
    {RowField::tlc, "tlc", "TLC", "l", 13, 4, 2, Comparison::percent, IndexKind::measured, 0.0f},
    {RowField::runStatus, "runStatus", "run status", "", 0, 4, 2, Comparison::none,
     IndexKind::runStatus, 1.0f},
    {RowField::fet, "fet", "FET", "s", 11, 4, 2, Comparison::none, IndexKind::measured, 0.0f},
    {RowField::modelVariant, "modelVariant", "Zmienna", " ", 15, 2, 0, Comparison::none,
     IndexKind::displayedQuantity, 1.0f},
}};
// clang-format on

constexpr const RowIndex& rowIndexOf(RowField field) {
    return kRowIndices[static_cast<std::size_t>(field)];
}

namespace vocabulary {
constexpr bool inStoredOrder() {
    for (std::size_t i = 0; i < kRowIndices.size(); ++i)
        if (kRowIndices[i].field != static_cast<RowField>(i))
            return false;
    return true;
}
} // namespace vocabulary
static_assert(vocabulary::inStoredOrder(), "rowIndexOf looks an index up by its stored place");
static_assert(layout::kIndices + sizeof(float) * kRowIndices.size() <= layout::kPatient,
              "the indices fit in the row's unused floats before the patient");

} // namespace vm::record

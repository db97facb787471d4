#include "ui/track_bar_scales.h"

#include "record/simulation_record.h"
#include "record/vocabulary.h"

#include <array>
#include <cfenv>
#include <cmath>
#include <string>

using namespace vm::record;

namespace vm::ui {

namespace {

using enum TrackBarScale;

// One line per track bar: number, law, range, default position, section, shown, setting column,
// row-grid column, note key, caption, scale labels.
// clang-format off
constexpr std::array<TrackBarSpec, 9> kTrackBars{{
    {1, exponential, 100, 500, 200, 1, true, SettingColumn::rCentral, 0, 1, {"Label24", "R"},
     {{{"Label33", "50%"}, {"Label1", "100%"}, {"Label2", "200%"}, {"Label3", "400%"},
       {"Label4", "800%"}}}},
    {2, half, 100, 500, 200, 3, true, SettingColumn::vdc, 1, 2, {"Label25", "VDc"},
     {{{"Label40", "50%"}, {"Label41", "100%"}, {"Label42", "150%"}, {"Label43", "200%"},
       {"Label44", "250%"}}}},
    {3, exponential, 100, 600, 200, 3, true, SettingColumn::rIntermediate, 3, 3, {"Label28", " R(1/światło)"},
     {{{"Label7", "100 (norma)"}, {"Label8", "200 (łagodna)"}, {"Label9", "400 (umiar.)"},
       {"Label10", "800 (ciężka)"}, {"Label51", "1600 (b.ciężka)"}}}},
    {4, exponential, 100, 500, 200, 3, false, SettingColumn::stiffness, 4, 4, {"Label27", "Stiff"}, {}},
    {5, exponential, 100, 500, 200, 4, true, SettingColumn::rPeripheral, 6, 5, {"Label29", " R(1/światło)"},
     {{{"Label34", "50%"}, {"Label12", "100%"}, {"Label13", "200%"}, {"Label14", "400%"},
       {"Label15", "800%"}}}},
    {6, half, 100, 500, 200, 4, true, SettingColumn::ccc, 7, 6, {"Label30", "CCC"},
     {{{"Label45", "50%"}, {"Label46", "100%"}, {"Label47", "150%"}, {"Label48", "200%"},
       {"Label49", "250%"}}}},
    {7, quarter, 100, 500, 300, 5, true, SettingColumn::lungSize, 9, 7, {"Label31", "Rozmiar"},
     {{{"Label36", "50%"}, {"Label37", "75%"}, {"Label18", "100%"}, {"Label38", "125%"},
       {"Label39", "150%"}}}},
    {8, quarter, 100, 500, 300, 5, true, SettingColumn::cm, 10, 8, {"Label32", "Cm"}, {}},
    // The expiration depth: only "Both lungs" is ever edited, so it has no visible control.
    {9, exponential, 0, 400, 200, 0, false, -1, -1, 0, {"Label53", "głębokość wydechu"}, {}},
}};
// clang-format on

// Clicking a group's panel selects its section and shows its region of the airway picture; the
// two numberings differ only for the central airways.
constexpr std::array<ControlGroupSpec, 4> kGroups{{
    {1, 1, 2}, // central airways
    {2, 3, 3}, // intermediate airways
    {3, 4, 4}, // peripheral airways
    {4, 5, 5}, // lungs
}};

constexpr double kSettingFloor = 10.0;

} // namespace

double roundHalfEven(double v) {
    // nearbyint follows the rounding mode, which the program never changes from to-nearest-even.
    return std::nearbyint(v);
}

std::span<const TrackBarSpec> trackBarTable() {
    return kTrackBars;
}

const TrackBarSpec& trackBarSpecOf(int number) {
    if (number < 1 || number > static_cast<int>(kTrackBars.size()))
        throw RangeError("Range check error: track bar " + std::to_string(number));
    return kTrackBars[static_cast<std::size_t>(number - 1)];
}

std::span<const ControlGroupSpec> controlGroups() {
    return kGroups;
}

const ControlGroupSpec& controlGroupOfSection(unsigned char section) {
    for (const ControlGroupSpec& group : kGroups)
        if (group.section == section)
            return group;
    throw RangeError("Range check error: section " + std::to_string(section));
}

double trackBarValue(int number, int position) {
    const TrackBarSpec& spec = trackBarSpecOf(number);
    const double p = position;
    double v = 0.0;
    switch (spec.scale) {
    case TrackBarScale::exponential:
        v = roundHalfEven(100.0 * std::exp2(p / 100.0 - 2.0));
        break;
    case TrackBarScale::half:
        v = roundHalfEven(p / 2.0);
        break;
    case TrackBarScale::quarter:
        v = roundHalfEven(p / 4.0 + 25.0);
        break;
    }
    return v < kSettingFloor ? kSettingFloor : v;
}

int trackBarPosition(int number, double value) {
    const TrackBarSpec& spec = trackBarSpecOf(number);
    if (!std::isfinite(value) || value <= 0.0)
        return spec.minimum;
    double p = 0.0;
    switch (spec.scale) {
    case TrackBarScale::exponential:
        p = roundHalfEven((std::log2(value / 100.0) + 2.0) * 100.0);
        break;
    case TrackBarScale::half:
        p = roundHalfEven(2.0 * value);
        break;
    case TrackBarScale::quarter:
        p = roundHalfEven((value - 25.0) * 4.0);
        break;
    }
    // Clamp before converting: a huge stored value must not overflow the integer position.
    if (p < spec.minimum)
        return spec.minimum;
    if (p > spec.maximum)
        return spec.maximum;
    return static_cast<int>(p);
}

} // namespace vm::ui

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

constexpr std::array<TrackBarSpec, 9> kSpecs{{
    {1, TrackBarScale::exponential, 100, 500, 200, SettingColumn::rCentral, 0},
    {2, TrackBarScale::half, 100, 500, 200, SettingColumn::vdc, 1},
    {3, TrackBarScale::exponential, 100, 600, 200, SettingColumn::rIntermediate, 3},
    {4, TrackBarScale::exponential, 100, 500, 200, SettingColumn::stiffness, 4},
    {5, TrackBarScale::exponential, 100, 500, 200, SettingColumn::rPeripheral, 6},
    {6, TrackBarScale::half, 100, 500, 200, SettingColumn::ccc, 7},
    {7, TrackBarScale::quarter, 100, 500, 300, SettingColumn::lungSize, 9},
    {8, TrackBarScale::quarter, 100, 500, 300, SettingColumn::cm, 10},
    {9, TrackBarScale::exponential, 0, 400, 200, -1, -1},
}};

constexpr double kSettingFloor = 10.0;

} // namespace

double RoundHalfEven(double v) {
    // nearbyint follows the rounding mode, which the program never changes from to-nearest-even.
    return std::nearbyint(v);
}

const TrackBarSpec& TrackBarSpecOf(int number) {
    if (number < 1 || number > 9)
        throw RangeError("Range check error: track bar " + std::to_string(number));
    return kSpecs[static_cast<std::size_t>(number - 1)];
}

double TrackBarValue(int number, int position) {
    const TrackBarSpec& spec = TrackBarSpecOf(number);
    const double p = position;
    double v = 0.0;
    switch (spec.scale) {
    case TrackBarScale::exponential:
        v = RoundHalfEven(100.0 * std::exp2(p / 100.0 - 2.0));
        break;
    case TrackBarScale::half:
        v = RoundHalfEven(p / 2.0);
        break;
    case TrackBarScale::quarter:
        v = RoundHalfEven(p / 4.0 + 25.0);
        break;
    }
    return v < kSettingFloor ? kSettingFloor : v;
}

int TrackBarPosition(int number, double value) {
    const TrackBarSpec& spec = TrackBarSpecOf(number);
    if (!std::isfinite(value) || value <= 0.0) return spec.minimum;
    double p = 0.0;
    switch (spec.scale) {
    case TrackBarScale::exponential:
        p = RoundHalfEven((std::log2(value / 100.0) + 2.0) * 100.0);
        break;
    case TrackBarScale::half:
        p = RoundHalfEven(2.0 * value);
        break;
    case TrackBarScale::quarter:
        p = RoundHalfEven((value - 25.0) * 4.0);
        break;
    }
    // Clamp before converting: a huge stored value must not overflow the integer position.
    if (p < spec.minimum) return spec.minimum;
    if (p > spec.maximum) return spec.maximum;
    return static_cast<int>(p);
}

} // namespace vm::ui

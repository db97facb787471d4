#include "ui/track_bar_scales.h"

#include <cmath>

using namespace vm::record;

namespace vm::ui {

namespace {
constexpr double kSettingFloor = 10.0;
} // namespace

double roundHalfEven(double v) {
    // nearbyint follows the rounding mode, which the program never changes from to-nearest-even.
    return std::nearbyint(v);
}

double trackBarValue(int number, int position) {
    const Setting& spec = settingOfTrackBar(number);
    const double p = position;
    double v = 0.0;
    switch (spec.law) {
    case TrackBarLaw::exponential:
        v = roundHalfEven(100.0 * std::exp2(p / 100.0 - 2.0));
        break;
    case TrackBarLaw::half:
        v = roundHalfEven(p / 2.0);
        break;
    case TrackBarLaw::quarter:
        v = roundHalfEven(p / 4.0 + 25.0);
        break;
    }
    return v < kSettingFloor ? kSettingFloor : v;
}

int trackBarPosition(int number, double value) {
    const Setting& spec = settingOfTrackBar(number);
    if (!std::isfinite(value) || value <= 0.0)
        return spec.minimum;
    double p = 0.0;
    switch (spec.law) {
    case TrackBarLaw::exponential:
        p = roundHalfEven((std::log2(value / 100.0) + 2.0) * 100.0);
        break;
    case TrackBarLaw::half:
        p = roundHalfEven(2.0 * value);
        break;
    case TrackBarLaw::quarter:
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

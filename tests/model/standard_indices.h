#pragma once
// Regression pin: the indices of the standard run (all settings 100 from a freshly initialised
// model) as this model computes them, kept so that any change to the model's numbers shows in
// the tests and is made on purpose. Other tests measure the direction of a change against them.

namespace standard_indices {
inline constexpr double fev1 = 2.84107471;
inline constexpr double fvcex = 3.42206001;
inline constexpr double fev1PctFvc = 83.0223541;
inline constexpr double pef = 8.58076286;
inline constexpr double mef75 = 7.19045401;
inline constexpr double mef50 = 3.50734091;
inline constexpr double mef25 = 1.33165967;
inline constexpr double erv = 1.10770607;
inline constexpr double flowAt1s = -0.862178206;
inline constexpr double frc = 2.98445415;
inline constexpr double tlc = 5.2988081;
inline constexpr double fet = 2.66898894;
} // namespace standard_indices

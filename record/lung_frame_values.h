#pragma once
// What one frame of the lung animation shows: per lobe its volume, airway resistances and whether
// its flow is limited, and the central airways' coefficients. The session takes them from the
// live model during a run, the replay from a row's stored traces.

#include <array>

namespace vm::record {

inline constexpr int kFrameLobes = 5;

// A resistance or coefficient that is not a positive finite number draws nothing for its lobe or
// airway; a lobe volume that is negative or not finite draws no balloon.
struct LungFrameValues {
    std::array<double, kFrameLobes> lobeVolume{};             // V, litres
    std::array<double, kFrameLobes> peripheralResistance{};   // R1
    std::array<double, kFrameLobes> intermediateResistance{}; // R2 (effective)
    std::array<bool, kFrameLobes> flowLimited{};
    double tracheaCoefficient = 0.0;       // KT
    double leftBronchusCoefficient = 0.0;  // KL
    double rightBronchusCoefficient = 0.0; // KR
};

} // namespace vm::record

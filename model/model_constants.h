#pragma once
// The model's fixed tables and the reference values its settings scale.

#include <array>
#include <cstddef>

namespace vm::model {

inline constexpr int kLobeCount = 5; // 1 upper left, 2 lower left, 3 upper right, 4 middle right,
                                     // 5 lower right; index 0..4 here
inline constexpr int kLeftLobeCount = 2;

// Share of each lobe in the lungs.
inline constexpr std::array<double, kLobeCount> lobeFraction{0.2, 0.25, 0.15, 0.2, 0.2};

// Local pleural pressure offsets that every run sets (kPa).
inline constexpr std::array<double, kLobeCount> runPleuralOffset{-0.1, 0.05, -0.1, 0.0, 0.1};

// Substeps per 1-ms step for integration states 1..7.
inline constexpr std::array<int, 7> substepsPerStep{2, 4, 8, 15, 25, 50, 150};

// How finely a step is integrated: states 1..7, named by their substeps per step.
enum class IntegrationState {
    substeps2 = 1,
    substeps4,
    substeps8,
    substeps15,
    substeps25,
    substeps50,
    substeps150,
};

constexpr int substepCount(IntegrationState s) {
    return substepsPerStep[static_cast<std::size_t>(s) - 1];
}

inline constexpr double kStepLength_s = 0.001;

namespace reference {
inline constexpr double kLungVolume_l = 3.13;
inline constexpr double kCentralVolume_l = 0.06;
inline constexpr double kTracheaInertance = 0.00056;
inline constexpr double kTracheaLaminarResistance = 0.000067;
inline constexpr double kTracheaTurbulentCoefficient = 0.0454575;
inline constexpr double kBronchusInertance = 0.0025;
inline constexpr double kBronchusCoefficient = 0.00057;
inline constexpr double kCentralReferenceVolume_l = 0.032;
inline constexpr double kCentralCompliance = 0.0032;
inline constexpr double kChestWallResistance = 0.03;
inline constexpr double kChestWallMinVolume_l = 1.5;
inline constexpr double kChestWallScale = 10.0 / 3.0;
inline constexpr double kChestWallConstant = 4.686690374525147; // 1.722 / (0.3 * sqrt(1.5))
inline constexpr double kAtmosphericPressure_kPa = 100.0;
inline constexpr double kInspiratoryPressure_kPa = -2.5;
inline constexpr double kExpiratoryPressure_kPa = 3.54;
inline constexpr double kEffortRiseRate_kPaps = 68.04;
inline constexpr double kEndFlowThreshold_lps = 0.025;
// Per unit of lobeFraction where a lobe's value scales with its share.
inline constexpr double kIntermediateResistance = 0.0567;
inline constexpr double kWallStiffness_kPa = 0.4;
inline constexpr double kPeripheralConductance = 500.0;
inline constexpr double kLobeMinVolume_l = 0.36;
inline constexpr double kLobeMaxVolume_l = 6.2;
inline constexpr double kLobeElasticScale = 1.0;
inline constexpr double kTissueResistance = 0.04;
} // namespace reference

} // namespace vm::model

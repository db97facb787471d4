#pragma once
// The state of the respiratory model: global scalars, the five lobes, the parameters the run
// ramps towards its targets, and the run's own progress variables. Units: litres, l/s, kPa, s;
// flow is positive into the lungs.

#include "model/model_constants.h"
#include "model/ramped_parameter.h"

#include <array>
#include <cstdint>

namespace vm::model {

using LobeValues = std::array<double, kLobeCount>;
using LobeRamped = std::array<RampedParameter, kLobeCount>;
using SideValues = std::array<double, 2>;          // [0] left, [1] right
using SideRamped = std::array<RampedParameter, 2>; // [0] left, [1] right

struct ModelState {
    // Global scalars.
    double modelTime = 0.0;
    double lungVolume = reference::kLungVolume_l;
    double volumeRate = 0.0;
    double mouthFlow = 0.0;
    double leftBronchusFlow = 0.0;
    double rightBronchusFlow = 0.0;
    double carinaPressure = 0.0;
    double pleuralPressure = 0.0;
    double chestWallPressure = 0.0;

    // Ramped parameters; mouthPressure and musclePressure ramp in every step.
    RampedParameter mouthPressure;
    RampedParameter musclePressure;
    // Airway group.
    RampedParameter tracheaInertance;
    RampedParameter tracheaLaminarResistance;
    RampedParameter tracheaTurbulentCoefficient;
    SideRamped bronchusInertance;
    SideRamped bronchusCoefficient;
    SideRamped centralReferenceVolume;
    SideRamped centralCompliance;
    // Chest-and-tissue group (with the per-lobe pleuralOffset and tissueResistance).
    RampedParameter chestWallResistance;
    RampedParameter chestWallMinVolume;
    RampedParameter chestWallScale;
    RampedParameter chestWallConstant;
    RampedParameter atmosphericPressure;

    // Central-airway compartments.
    double leftCentralVolume = reference::kCentralVolume_l;
    double rightCentralVolume = reference::kCentralVolume_l;
    double PcL = 0.0; // transmural pressures of the central compartments
    double PcR = 0.0;
    double leftCentralPressure = 0.0;
    double rightCentralPressure = 0.0;

    // Muscle drive and end of test; not reset by initialisation, set by each run.
    double inspiratoryPressure = reference::kInspiratoryPressure_kPa;
    double expiratoryPressure = 2.95;
    double effortRiseRate = reference::kEffortRiseRate_kPaps;
    double effortRiseTime =
        (2.95 - reference::kInspiratoryPressure_kPa) / reference::kEffortRiseRate_kPaps;
    double endFlowThreshold = reference::kEndFlowThreshold_lps;
    double inspiratoryHold = 1.0;
    double relativeLungSize = 1.0; // Σ of the lung-size settings, 1 at 100 %
    std::uint8_t solverFailed = 0;

    // Lobes, index 0..4 for lobes 1..5.
    LobeValues lobeVolume{};
    LobeValues gasCompression{};
    LobeValues alveolarPressure{};
    LobeValues lobeFlow{};
    LobeValues lobeVolumeRate{};
    LobeValues elasticRecoil{};
    LobeValues peripheralResistance{};
    LobeValues intermediateEffResistance{};
    LobeValues localPleuralPressure{};
    std::array<std::uint8_t, kLobeCount> flowLimited{};
    // Geometry group.
    LobeRamped lobeMaxVolume;
    LobeRamped lobeElasticScale;
    LobeRamped peripheralConductance;
    LobeRamped lobeMinVolume;
    LobeRamped intermediateResistance;
    LobeRamped wallStiffness;
    // Chest-and-tissue group.
    LobeRamped pleuralOffset;
    LobeRamped tissueResistance;

    // Copies of the upper-airway coefficients taken in every substep: what a recorded sample and
    // the live lung frame show.
    double tracheaCoefficientCopy = reference::kTracheaTurbulentCoefficient;
    SideValues bronchusCoefficientCopy{reference::kBronchusCoefficient,
                                       reference::kBronchusCoefficient};

    // Ramping: the three groups, and ramping as a whole, which outlasts them by rampCountdown.
    bool rampGeometry = false;
    bool rampAirways = false;
    bool rampChestTissue = false;
    bool rampActive = false;
    int rampCountdown = 100;

    // Progress of the forced-expiration run.
    int integrationState = 4; // 1..7, index into substepsPerStep + 1
    int manoeuvrePhase = 0;   // 4..8 during the final manoeuvre
    int breathCount = 1;
    double breathStart = 0.0; // t0
    bool inspiring = false;
    double inspTime = 0.2;
    double expTime = 0.3;
    double breathStartVolume = 0.0;
    double previousVolume = 0.0;
    double pressureStep = 0.001;
    int relaxDivisor = 100;
    bool recording = false;
    bool forcedRecording = false;
    bool integrating = true;
    double recordStart = 0.0;
    int stepCount = 0;
    int sampleCount = 0;
    double phase4EndPressure = 0.0;
    double runClockTime = 0.0;

    // Work counters, for measurement only.
    long long substepTotal = 0;
    long long solverIterationTotal = 0;
};

// The program's one model.
ModelState& programModel();

} // namespace vm::model

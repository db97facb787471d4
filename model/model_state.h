#pragma once
// The state of the respiratory model, in four parts: its parameters, the state the step
// integrates, the progress of the run, and work counters. Units: litres, l/s, kPa, s; flow is
// positive into the lungs.

#include "model/model_constants.h"
#include "model/ramped_parameter.h"
#include "model/run_timeline.h"

#include <array>
#include <cstdint>

namespace vm::model {

using LobeValues = std::array<double, kLobeCount>;
using LobeRamped = std::array<RampedParameter, kLobeCount>;
using SideValues = std::array<double, 2>;          // [0] left, [1] right
using SideRamped = std::array<RampedParameter, 2>; // [0] left, [1] right

// Every parameter the run moves towards a target; the ramp table (ramp_table.h) lists them by
// group. Nothing but ramped parameters belongs here: the table's test counts them by size.
struct RampedParameters {
    // Drive, ramped in every step.
    RampedParameter mouthPressure;
    RampedParameter musclePressure;
    // Airways.
    RampedParameter tracheaInertance;
    RampedParameter tracheaLaminarResistance;
    RampedParameter tracheaTurbulentCoefficient;
    SideRamped bronchusInertance;
    SideRamped bronchusCoefficient;
    SideRamped centralReferenceVolume;
    SideRamped centralCompliance;
    // Chest and tissue.
    RampedParameter chestWallResistance;
    RampedParameter chestWallMinVolume;
    RampedParameter chestWallScale;
    RampedParameter chestWallConstant;
    RampedParameter atmosphericPressure;
    LobeRamped pleuralOffset;
    LobeRamped tissueResistance;
    // Lobe geometry.
    LobeRamped lobeMaxVolume;
    LobeRamped lobeElasticScale;
    LobeRamped peripheralConductance;
    LobeRamped lobeMinVolume;
    LobeRamped intermediateResistance;
    LobeRamped wallStiffness;
};

// The ramped parameters and those each run sets outright from its settings; initialisation
// keeps the latter.
struct Parameters : RampedParameters {
    double inspiratoryPressure = reference::kInspiratoryPressure_kPa;
    double expiratoryPressure = 2.95;
    double effortRiseRate = reference::kEffortRiseRate_kPaps;
    double effortRiseTime =
        (2.95 - reference::kInspiratoryPressure_kPa) / reference::kEffortRiseRate_kPaps;
    double endFlowThreshold = reference::kEndFlowThreshold_lps;
    double relativeLungSize = 1.0; // Σ of the lung-size settings, 1 at 100 %
};

// What the step integrates and the values it derives on the way.
struct IntegratedState {
    double modelTime = 0.0;
    double lungVolume = reference::kLungVolume_l;
    double volumeRate = 0.0;
    double mouthFlow = 0.0;
    double leftBronchusFlow = 0.0;
    double rightBronchusFlow = 0.0;
    double carinaPressure = 0.0;
    double pleuralPressure = 0.0;
    double chestWallPressure = 0.0;

    // Central-airway compartments.
    double leftCentralVolume = reference::kCentralVolume_l;
    double rightCentralVolume = reference::kCentralVolume_l;
    double PcL = 0.0; // transmural pressures of the central compartments
    double PcR = 0.0;
    double leftCentralPressure = 0.0;
    double rightCentralPressure = 0.0;

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

    // Copies of the upper-airway coefficients taken in every substep: what a recorded sample
    // and the live lung frame show.
    double tracheaCoefficientCopy = reference::kTracheaTurbulentCoefficient;
    SideValues bronchusCoefficientCopy{reference::kBronchusCoefficient,
                                       reference::kBronchusCoefficient};

    std::uint8_t solverFailed = 0;
};

// Which ramp groups still move; the drive group moves in every step. Ramping as a whole
// outlasts the groups by the countdown.
struct RampProgress {
    bool airways = false;
    bool chestTissue = false;
    bool geometry = false;
    bool active = false;
    int countdown = 100;
};

// The run's own variables; a run starts from RunProgress::atStart.
struct RunProgress {
    IntegrationState integrationState = IntegrationState::substeps15;
    ManoeuvrePhase manoeuvrePhase = ManoeuvrePhase::none;
    RampProgress ramp;
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
    double inspiratoryHold = 1.0; // lengthened while the lungs still fill
    double runClockTime = 0.0;

    // Every group ramping towards the run's new targets; the breathing pattern afresh.
    static RunProgress atStart(double lungVolume) {
        RunProgress p;
        p.ramp = {.airways = true, .chestTissue = true, .geometry = true, .active = true};
        p.previousVolume = lungVolume;
        return p;
    }
};

// For measurement only.
struct WorkCounters {
    long long substepTotal = 0;
    long long solverIterationTotal = 0;
};

// Values the step derives from parameters that seldom move, kept from step to step with the
// parameter values they came from; a NaN seen value matches nothing, so a fresh cache recomputes.
struct DerivedCache {
    LobeValues minVolumeSeen{nan(), nan(), nan(), nan(), nan()};
    LobeValues minVolumeRoot{}; // cube roots of the lobes' minimal volumes
    static constexpr double nan() { return __builtin_nan(""); }
};

struct ModelState {
    Parameters parameters;
    IntegratedState state;
    RunProgress progress;
    WorkCounters work;
    DerivedCache derived;
};

// The program's one model.
ModelState& programModel();

} // namespace vm::model

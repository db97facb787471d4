#include "model/run_phases.h"

#include "model/run_recording.h"
#include "model/run_status.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace vm::record;

namespace vm::model {

using namespace timeline;

namespace {

constexpr double pi = std::numbers::pi;

// Tidal breathing: an inspiration ends once the lungs have taken in 0.36 l plus 0.15 l per
// second of the last breath (scaled by the lung size); its pressure grows until they fill at
// about 1 ml per step, and lungs that need more than -3 kPa make the run dead. The expiration
// relaxes, slowly after a long expiration, and the next breath begins once the flow has nearly
// stopped, at the earliest 2.2 s after the inspiration ended.
constexpr double kTidalVolumeBase_l = 0.36;
constexpr double kTidalVolumePerSecond_l = 0.15;
constexpr double kTidalFillPerStep_l = 0.001;
constexpr double kPressureStepDecrease_kPa = 0.0002;
constexpr double kPressureStepIncrease_kPa = 0.00001;
constexpr double kPressureStep_kPa = 0.001;
constexpr double kStrongestTidalPressure_kPa = -3.0;
constexpr double kLongExpiration_s = 1.0;
constexpr int kSlowRelaxDivisor = 100;
constexpr int kFastRelaxDivisor = 2000;
constexpr double kRelaxRate = 3.5;
constexpr double kBreathEndFlow_lps = 0.2; // scaled by the lung size
constexpr double kShortestBreathRest_s = 2.2;
// The effort's rise and the final inspiration.
constexpr int kEffortRelaxDivisor = 50;
constexpr double kFinalInspirationRate = 10.0;
constexpr double kNearTlcShare = 0.97;

void failNumerically(ModelState& m, SimulationRecord& record) {
    m.state.solverFailed = 1;
    record.setField(workingRow, RowField::runStatus, kRunError);
}

// tlc follows the largest volume of the inspiration and hold, kept in the row.
void raiseTlc(const ModelState& m, SimulationRecord& record) {
    const double tlc = record.field(workingRow, RowField::tlc);
    if (m.state.lungVolume > tlc)
        record.setField(workingRow, RowField::tlc, static_cast<float>(m.state.lungVolume));
}

void tidalInspiration(ModelState& m, SimulationRecord& record, double t) {
    RunProgress& run = m.progress;
    double& P = m.parameters.musclePressure.target;
    const double V = m.state.lungVolume;
    if (kTidalVolumePerSecond_l * m.parameters.relativeLungSize * (run.inspTime + run.expTime) <=
        V - (run.breathStartVolume + kTidalVolumeBase_l)) {
        run.inspTime = t - run.breathStart;
        run.inspiring = false;
        return;
    }
    if (V - run.previousVolume >= kTidalFillPerStep_l)
        run.pressureStep -= kPressureStepDecrease_kPa;
    else
        run.pressureStep += kPressureStepIncrease_kPa;
    run.previousVolume = V;
    run.integrationState = IntegrationState::substeps4;
    run.relaxDivisor = run.expTime >= kLongExpiration_s ? kSlowRelaxDivisor : kFastRelaxDivisor;
    if (P > kStrongestTidalPressure_kPa)
        P -= run.pressureStep;
    else if (runIsValid(record))
        // Dead: the lungs would not fill. An earlier numerical failure keeps its status.
        record.setField(workingRow, RowField::runStatus, kRunDead);
}

void tidalExpiration(ModelState& m, double t) {
    RunProgress& run = m.progress;
    double& P = m.parameters.musclePressure.target;
    run.pressureStep = kPressureStep_kPa;
    if (P < 0) {
        run.relaxDivisor = std::max(run.relaxDivisor - 1, 1);
        run.integrationState = IntegrationState::substeps8;
        P += kRelaxRate * run.pressureStep / run.relaxDivisor;
        return;
    }
    run.integrationState = IntegrationState::substeps2;
    if (-m.state.mouthFlow < kBreathEndFlow_lps * m.parameters.relativeLungSize &&
        t >= run.breathStart + run.inspTime + kShortestBreathRest_s) {
        run.expTime = t - (run.breathStart + run.inspTime);
        run.breathStart = t;
        run.breathCount += 1;
        run.integrationState = IntegrationState::substeps4;
        run.breathStartVolume = m.state.lungVolume;
        run.inspiring = true;
        if (run.breathCount == kRecordingBreath) {
            run.recording = true;
            if (run.recordStart == 0)
                run.recordStart = t;
        }
    }
}

// The chest-wall factor c scales the muscle pressure down as the lungs empty towards the
// chest wall's own minimal volume. Returns false when it has no real value.
bool chestWallFactor(const ModelState& m, double& c) {
    const double radicand =
        1 - 1 / (2 * m.state.lungVolume / m.parameters.chestWallMinVolume.current - 1);
    if (!(radicand >= 0) || !std::isfinite(radicand))
        return false;
    c = std::sqrt(radicand);
    return true;
}

// Applies c to the pressure; a chest-wall factor without a real value fails the run.
void scaleByChestWall(ModelState& m, SimulationRecord& record, double pressure, double& out) {
    double c;
    if (!chestWallFactor(m, c)) {
        failNumerically(m, record);
        return;
    }
    out = c * pressure;
}

// Slow expiration up to full inspiration and its hold: t0 <= t < T.
void slowExpirationAndInspiration(ModelState& m, SimulationRecord& record, double t) {
    RunProgress& run = m.progress;
    const Parameters& p = m.parameters;
    double& P = m.parameters.musclePressure.target;
    const double t0 = run.breathStart;
    if (t < t0 + kSlowExpirationEnd_s) {
        if (t < t0 + kStandstillCheckFrom_s)
            P = 0.5 * p.expiratoryPressure * (1 - std::cos((t - t0) * pi / kSlowExpirationEnd_s));
        else if (std::fabs(m.state.volumeRate) < kStandstillRate_lps)
            run.integrating = false;
        else
            P = 0.5 * p.expiratoryPressure * (1 - std::cos((t - t0) * pi / kSlowExpirationEnd_s));
        scaleByChestWall(m, record, P, P);
        run.phase4EndPressure = p.musclePressure.current;
    } else if (t < t0 + kIntegrationResumes_s) {
    } else if (t < t0 + kMaximalInspirationStart_s) {
        run.integrating = true;
    } else if (t < t0 + kMaximalInspirationStart_s + run.inspiratoryHold) {
        run.manoeuvrePhase = ManoeuvrePhase::maximalInspiration;
        P = (p.inspiratoryPressure - run.phase4EndPressure) * 0.5 *
                (1 - std::cos((t - t0 - kMaximalInspirationStart_s) * pi / run.inspiratoryHold)) +
            run.phase4EndPressure;
        run.forcedRecording = true;
        raiseTlc(m, record);
    } else {
        // Hold, lengthened while the lungs still fill.
        if (t > t0 + kHoldLengthensAfter_s + run.inspiratoryHold &&
            m.state.volumeRate > kHoldFillingRate_lps && run.inspiratoryHold < kLongestHold_s)
            run.inspiratoryHold += kStepLength_s;
        raiseTlc(m, record);
    }
}

// The forced expiration from T on, and the final inspiration back to near total capacity.
void forcedExpirationAndAfter(ModelState& m, SimulationRecord& record, double t) {
    RunProgress& run = m.progress;
    const Parameters& p = m.parameters;
    double& P = m.parameters.musclePressure.target;
    const double T = effortStart(m);
    const double riseEnd = T + p.effortRiseTime;
    if (t < riseEnd) {
        run.manoeuvrePhase = ManoeuvrePhase::effortRise;
        scaleByChestWall(m, record,
                         (p.expiratoryPressure - p.inspiratoryPressure) * 0.5 *
                                 (1 - std::cos((t - T) * pi / p.effortRiseTime)) +
                             p.inspiratoryPressure,
                         P);
        run.integrationState = IntegrationState::substeps25;
        run.relaxDivisor = kEffortRelaxDivisor;
    } else if (run.forcedRecording && t < riseEnd + kForcedExpirationLimit_s &&
               !(t >= riseEnd + kEndFlowCheckAfterRise_s &&
                 -m.state.volumeRate <= p.endFlowThreshold)) {
        run.manoeuvrePhase = ManoeuvrePhase::forcedExpiration;
        scaleByChestWall(m, record, p.expiratoryPressure, P);
    } else {
        run.manoeuvrePhase = ManoeuvrePhase::finalInspiration;
        run.forcedRecording = false;
        run.relaxDivisor = std::max(run.relaxDivisor - 1, 1);
        const double frc = record.field(workingRow, RowField::frc);
        const double tlc = record.field(workingRow, RowField::tlc);
        if (P > p.inspiratoryPressure) {
            P -= kFinalInspirationRate * run.pressureStep / run.relaxDivisor;
        } else if (m.state.lungVolume > frc + kNearTlcShare * (tlc - frc)) {
            run.integrationState = IntegrationState::substeps2;
            run.recording = false;
        } else if (m.state.lungVolume > frc) {
            run.integrationState = IntegrationState::substeps8;
        }
    }
}

void finalManoeuvre(ModelState& m, SimulationRecord& record, double t) {
    m.progress.integrationState = IntegrationState::substeps8;
    m.progress.manoeuvrePhase = ManoeuvrePhase::slowExpiration;
    if (t < effortStart(m))
        slowExpirationAndInspiration(m, record, t);
    else
        forcedExpirationAndAfter(m, record, t);
}

} // namespace

double effortStart(const ModelState& m) {
    return m.progress.breathStart + kEffortStart_s + m.progress.inspiratoryHold;
}

void applyRunPhase(ModelState& m, SimulationRecord& record, double t) {
    RunProgress& run = m.progress;
    double& P = m.parameters.musclePressure.target;
    if (t < kPressureHeldUntil_s) {
        run.integrationState = IntegrationState::substeps150;
        P = m.parameters.inspiratoryPressure;
    } else if (t < kReleaseStart_s) {
        run.integrationState = IntegrationState::substeps8;
    } else if (t < kReleaseEnd_s) {
        run.integrationState = IntegrationState::substeps4;
        P = 0.5 * m.parameters.inspiratoryPressure *
            (1 + std::cos((t - kReleaseStart_s) * pi / kReleaseLength_s));
    } else if (t < kTidalBreathingStart_s) {
        run.integrationState = IntegrationState::substeps2;
        run.breathCount = 1;
        // Written whether or not the run has failed: after a failure the phases still run on
        // time alone, on the state the failure left.
        record.setField(workingRow, RowField::frc, static_cast<float>(m.state.lungVolume));
        run.breathStartVolume = m.state.lungVolume;
        run.breathStart = t;
        run.inspiring = true;
        storeLobeTraces(m, record, 0);
    } else if (run.breathCount < kManoeuvreBreath) {
        if (run.inspiring)
            tidalInspiration(m, record, t);
        else
            tidalExpiration(m, t);
    } else {
        finalManoeuvre(m, record, t);
    }
}

// Where the state is stiff: a central compartment far from its reference volume, a lobe near
// its minimal volume or the volume at which its recoil diverges.
void adjustIntegrationState(ModelState& m) {
    const Parameters& p = m.parameters;
    const IntegratedState& s = m.state;
    IntegrationState& state = m.progress.integrationState;
    if (state < IntegrationState::substeps15) {
        for (int side = 0; side < 2; ++side) {
            const double volume = side == 0 ? s.leftCentralVolume : s.rightCentralVolume;
            const double ratio = volume / p.centralReferenceVolume[side].current;
            if (ratio < 0.03 || ratio > 5)
                state = IntegrationState::substeps15;
        }
    }
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        if (V < p.lobeMinVolume[k].current + 0.05 || V / p.lobeMaxVolume[k].current > 0.9)
            state = IntegrationState::substeps25;
    }
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        if (V < p.lobeMinVolume[k].current + 0.005 || V / p.lobeMaxVolume[k].current > 0.95)
            state = IntegrationState::substeps50;
    }
}

} // namespace vm::model

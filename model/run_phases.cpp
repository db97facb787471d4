#include "model/run_phases.h"

#include "model/run_recording.h"
#include "model/run_status.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace vm::record;

namespace vm::model {

namespace {

constexpr double pi = std::numbers::pi;

void FailNumerically(ModelState& m, SimulationRecord& record) {
    m.solverFailed = 1;
    record.setField(workingRow, RowField::runStatus, kRunError);
}

// tlc follows the largest volume of the inspiration and hold, kept in the row.
void RaiseTlc(const ModelState& m, SimulationRecord& record) {
    const double tlc = record.field(workingRow, RowField::tlc);
    if (m.lungVolume > tlc)
        record.setField(workingRow, RowField::tlc, static_cast<float>(m.lungVolume));
}

void TidalBreathing(ModelState& m, SimulationRecord& record, double t) {
    double& P = m.musclePressure.target;
    const double sigma = m.relativeLungSize;
    if (m.inspiring) {
        if (0.15 * sigma * (m.inspTime + m.expTime) <=
            m.lungVolume - (m.breathStartVolume + 0.36)) {
            m.inspTime = t - m.breathStart;
            m.inspiring = false;
            return;
        }
        // The inspiratory pressure grows until the lungs fill at about 1 ml per step.
        if (m.lungVolume - m.previousVolume >= 0.001)
            m.pressureStep -= 0.0002;
        else
            m.pressureStep += 0.00001;
        m.previousVolume = m.lungVolume;
        m.integrationState = 2;
        m.relaxDivisor = m.expTime >= 1 ? 100 : 2000;
        if (P > -3)
            P -= m.pressureStep;
        else if (RunIsValid(record))
            // Dead: the lungs would not fill. An earlier numerical failure keeps its status.
            record.setField(workingRow, RowField::runStatus, kRunDead);
        return;
    }
    m.pressureStep = 0.001;
    if (P < 0) {
        m.relaxDivisor = std::max(m.relaxDivisor - 1, 1);
        m.integrationState = 3;
        P += 3.5 * m.pressureStep / m.relaxDivisor;
        return;
    }
    m.integrationState = 1;
    if (-m.mouthFlow < 0.2 * sigma && t >= m.breathStart + m.inspTime + 2.2) {
        m.expTime = t - (m.breathStart + m.inspTime);
        m.breathStart = t;
        m.breathCount += 1;
        m.integrationState = 2;
        m.breathStartVolume = m.lungVolume;
        m.inspiring = true;
        if (m.breathCount == 4) {
            m.recording = true;
            if (m.recordStart == 0)
                m.recordStart = t;
        }
    }
}

// The chest-wall factor c scales the muscle pressure down as the lungs empty towards the
// chest wall's own minimal volume. Returns false when it has no real value.
bool ChestWallFactor(const ModelState& m, double& c) {
    const double radicand = 1 - 1 / (2 * m.lungVolume / m.chestWallMinVolume.current - 1);
    if (!(radicand >= 0) || !std::isfinite(radicand))
        return false;
    c = std::sqrt(radicand);
    return true;
}

void FinalManoeuvre(ModelState& m, SimulationRecord& record, double t) {
    double& P = m.musclePressure.target;
    const double t0 = m.breathStart;
    m.integrationState = 3;
    m.manoeuvrePhase = 4;
    // Applies c to the pressure; a chest-wall factor without a real value fails the run.
    const auto scaled = [&](double pressure, double& out) {
        double c;
        if (!ChestWallFactor(m, c)) {
            FailNumerically(m, record);
            return;
        }
        out = c * pressure;
    };

    const double T = EffortStart(m);
    if (t < t0 + 5) {
        // Slow expiration.
        if (t < t0 + 1.5)
            P = 0.5 * m.expiratoryPressure * (1 - std::cos((t - t0) * pi / 5));
        else if (std::fabs(m.volumeRate) < 0.0005)
            m.integrating = false;
        else
            P = 0.5 * m.expiratoryPressure * (1 - std::cos((t - t0) * pi / 5));
        scaled(P, P);
        m.phase4EndPressure = m.musclePressure.current;
    } else if (t < t0 + 5.9) {
    } else if (t < t0 + 6) {
        m.integrating = true;
    } else if (t < t0 + 6 + m.inspiratoryHold) {
        // Maximal inspiration.
        m.manoeuvrePhase = 5;
        P = (m.inspiratoryPressure - m.phase4EndPressure) * 0.5 *
                (1 - std::cos((t - t0 - 6) * pi / m.inspiratoryHold)) +
            m.phase4EndPressure;
        m.forcedRecording = true;
        RaiseTlc(m, record);
    } else if (t < T) {
        // Hold, lengthened while the lungs still fill.
        if (t > t0 + 6.7 + m.inspiratoryHold && m.volumeRate > 0.02 && m.inspiratoryHold < 4)
            m.inspiratoryHold += 0.001;
        RaiseTlc(m, record);
    } else if (t < T + m.effortRiseTime) {
        m.manoeuvrePhase = 6;
        scaled((m.expiratoryPressure - m.inspiratoryPressure) * 0.5 *
                       (1 - std::cos((t - T) * pi / m.effortRiseTime)) +
                   m.inspiratoryPressure,
               P);
        m.integrationState = 5;
        m.relaxDivisor = 50;
    } else if (m.forcedRecording && t < T + m.effortRiseTime + 25 &&
               !(t >= T + m.effortRiseTime + 1.5 && -m.volumeRate <= m.endFlowThreshold)) {
        m.manoeuvrePhase = 7;
        scaled(m.expiratoryPressure, P);
    } else {
        // Final inspiration back to near total lung capacity.
        m.manoeuvrePhase = 8;
        m.forcedRecording = false;
        m.relaxDivisor = std::max(m.relaxDivisor - 1, 1);
        const double frc = record.field(workingRow, RowField::frc);
        const double tlc = record.field(workingRow, RowField::tlc);
        if (P > m.inspiratoryPressure) {
            P -= 10 * m.pressureStep / m.relaxDivisor;
        } else if (m.lungVolume > frc + 0.97 * (tlc - frc)) {
            m.integrationState = 1;
            m.recording = false;
        } else if (m.lungVolume > frc) {
            m.integrationState = 3;
        }
    }
}

} // namespace

double EffortStart(const ModelState& m) {
    return m.breathStart + 7 + m.inspiratoryHold;
}

void ApplyRunPhase(ModelState& m, SimulationRecord& record, double t) {
    double& P = m.musclePressure.target;
    if (t < 0.5) {
        m.integrationState = 7;
        P = m.inspiratoryPressure;
    } else if (t < 1) {
        m.integrationState = 3;
    } else if (t < 3) {
        m.integrationState = 2;
        P = 0.5 * m.inspiratoryPressure * (1 + std::cos((t - 1) * pi / 2));
    } else if (t < 6) {
        m.integrationState = 1;
        m.breathCount = 1;
        if (RunIsValid(record))
            record.setField(workingRow, RowField::frc, static_cast<float>(m.lungVolume));
        m.breathStartVolume = m.lungVolume;
        m.breathStart = t;
        m.inspiring = true;
        if (RunIsValid(record))
            StoreLobeTraces(m, record, 0);
    } else if (m.breathCount < 7) {
        TidalBreathing(m, record, t);
    } else {
        FinalManoeuvre(m, record, t);
    }
}

void AdjustIntegrationState(ModelState& m) {
    if (m.integrationState < 4) {
        for (int side = 0; side < 2; ++side) {
            const double volume = side == 0 ? m.leftCentralVolume : m.rightCentralVolume;
            const double ratio = volume / m.centralReferenceVolume[side].current;
            if (ratio < 0.03 || ratio > 5)
                m.integrationState = 4;
        }
    }
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = m.lobeVolume[k];
        if (V < m.lobeMinVolume[k].current + 0.05 || V / m.lobeMaxVolume[k].current > 0.9)
            m.integrationState = 5;
    }
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = m.lobeVolume[k];
        if (V < m.lobeMinVolume[k].current + 0.005 || V / m.lobeMaxVolume[k].current > 0.95)
            m.integrationState = 6;
    }
}

} // namespace vm::model

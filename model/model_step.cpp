#include "model/model_step.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>


namespace vm::model {

namespace {

using ramp_mark::kGeometryMark;
using ramp_mark::kPressureMark;

constexpr double kProbeOffset_kPa = 0.05;

void RampAirways(ModelState& m, int i, int n) {
    m.tracheaInertance.rampTo(i, n, kGeometryMark);
    m.tracheaLaminarResistance.rampTo(i, n, kPressureMark);
    m.tracheaTurbulentCoefficient.rampTo(i, n, kPressureMark);
    for (int side = 0; side < 2; ++side) {
        m.bronchusInertance[side].rampTo(i, n, kGeometryMark);
        m.bronchusCoefficient[side].rampTo(i, n, kPressureMark);
        m.centralReferenceVolume[side].rampTo(i, n, kPressureMark);
        m.centralCompliance[side].rampTo(i, n, kPressureMark);
    }
}

void RampChestTissue(ModelState& m, int i, int n) {
    m.chestWallResistance.rampTo(i, n, kGeometryMark);
    m.chestWallMinVolume.rampTo(i, n, kGeometryMark);
    m.chestWallScale.rampTo(i, n, kGeometryMark);
    m.chestWallConstant.rampTo(i, n, kGeometryMark);
    m.atmosphericPressure.rampTo(i, n, kGeometryMark);
    for (int k = 0; k < kLobeCount; ++k) {
        m.pleuralOffset[k].rampTo(i, n, kPressureMark);
        m.tissueResistance[k].rampTo(i, n, kGeometryMark);
    }
}

void RampGeometry(ModelState& m, int i, int n) {
    for (int k = 0; k < kLobeCount; ++k) {
        m.lobeMaxVolume[k].rampTo(i, n, kGeometryMark);
        m.lobeElasticScale[k].rampTo(i, n, kGeometryMark);
        m.peripheralConductance[k].rampTo(i, n, kGeometryMark);
        m.lobeMinVolume[k].rampTo(i, n, kGeometryMark);
        m.intermediateResistance[k].rampTo(i, n, kGeometryMark);
        m.wallStiffness[k].rampTo(i, n, kGeometryMark);
        // Never let the recoil law diverge at, or the peripheral airway close above, the lobe's
        // present volume.
        const double V = m.lobeVolume[k];
        m.lobeMaxVolume[k].current = std::max(m.lobeMaxVolume[k].current, V + 0.01);
        m.lobeMinVolume[k].current = std::min(m.lobeMinVolume[k].current, V - 0.001);
    }
}

// D = 1/chestWallResistance + Σ 1/tissueResistance.
double PleuralDamping(const ModelState& m) {
    double d = 1.0 / m.chestWallResistance.current;
    for (int k = 0; k < kLobeCount; ++k)
        d += 1.0 / m.tissueResistance[k].current;
    return d;
}

double CentralNetInflow(const ModelState& m) {
    return (m.leftBronchusFlow - m.lobeFlow[0] - m.lobeFlow[1]) +
           (m.rightBronchusFlow - m.lobeFlow[2] - m.lobeFlow[3] - m.lobeFlow[4]);
}

bool Implausible(const ModelState& m) {
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = m.lobeVolume[k];
        if (!(m.gasCompression[k] <= 2) || !(V <= 6) || !(V >= 0.01) ||
            !(std::fabs(m.lobeFlow[k]) <= 40) || !(std::fabs(m.lobeVolumeRate[k]) <= 40) ||
            !(m.elasticRecoil[k] <= 10) || !(m.elasticRecoil[k] >= 0.01) ||
            !std::isfinite(m.peripheralResistance[k]) ||
            !std::isfinite(m.intermediateEffResistance[k]))
            return true;
    }
    // Written so that a NaN anywhere fails as well.
    return !(std::fabs(m.mouthFlow) <= 40) || !(std::fabs(m.leftBronchusFlow) <= 40) ||
           !(m.chestWallPressure <= 10) || !(m.lungVolume <= 20) ||
           !std::isfinite(m.rightBronchusFlow) || !std::isfinite(m.leftCentralVolume) ||
           !std::isfinite(m.rightCentralVolume) || !std::isfinite(m.pleuralPressure) ||
           !std::isfinite(m.volumeRate);
}

} // namespace

double ChestWallPressure(const ModelState& m, double lungVolume) {
    const double minVolume = m.chestWallMinVolume.current;
    if (lungVolume > 1.0001 * minVolume)
        return (lungVolume - m.chestWallConstant.current / std::sqrt(lungVolume / minVolume - 1)) /
               m.chestWallScale.current;
    return -100 * lungVolume * m.chestWallConstant.current / m.chestWallScale.current;
}

double PeripheralResistance(double conductance, double lobeVolume, double lobeMinVolume) {
    return PeripheralResistance(conductance, lobeVolume, lobeMinVolume, std::cbrt(lobeMinVolume));
}

double PeripheralResistance(double conductance, double lobeVolume, double lobeMinVolume,
                            double lobeMinVolumeRoot) {
    const double V = lobeVolume > lobeMinVolume + 0.0001 ? lobeVolume : lobeMinVolume + 0.0001;
    const double span = std::cbrt(V) - lobeMinVolumeRoot;
    const double span2 = span * span;
    return 1.0 / (conductance * (span2 * span2));
}

double CentralTransmuralPressure(double Vc, double Vr, double C, double bronchusFlow,
                                 double lobeInflow, double lobeConductanceSum, double constant) {
    const double rho = std::max(Vc / Vr, 0.001);
    const double elastic = (1.0 - 1.0 / rho) * std::fabs(rho - 1.0) * Vr / C;
    const double Vp = Vc <= 0.001 ? 0.001 : Vc;
    const double kappa = (Vr + Vp) * (constant + 1.0 / lobeConductanceSum) / Vp;
    return 0.05 * (bronchusFlow - lobeInflow) * kappa + elastic;
}

namespace {

// Start values of every parameter that ramps in the coming step (the active groups, and the
// mouth and muscle pressures always).
void PrepareRamps(ModelState& m) {
    m.mouthPressure.prepareRamp(kPressureMark);
    m.musclePressure.prepareRamp(kPressureMark);
    if (!m.rampActive)
        return;
    if (m.rampAirways) {
        m.tracheaInertance.prepareRamp(kGeometryMark);
        m.tracheaLaminarResistance.prepareRamp(kPressureMark);
        m.tracheaTurbulentCoefficient.prepareRamp(kPressureMark);
        for (int side = 0; side < 2; ++side) {
            m.bronchusInertance[side].prepareRamp(kGeometryMark);
            m.bronchusCoefficient[side].prepareRamp(kPressureMark);
            m.centralReferenceVolume[side].prepareRamp(kPressureMark);
            m.centralCompliance[side].prepareRamp(kPressureMark);
        }
    }
    if (m.rampChestTissue) {
        m.chestWallResistance.prepareRamp(kGeometryMark);
        m.chestWallMinVolume.prepareRamp(kGeometryMark);
        m.chestWallScale.prepareRamp(kGeometryMark);
        m.chestWallConstant.prepareRamp(kGeometryMark);
        m.atmosphericPressure.prepareRamp(kGeometryMark);
        for (int k = 0; k < kLobeCount; ++k) {
            m.pleuralOffset[k].prepareRamp(kPressureMark);
            m.tissueResistance[k].prepareRamp(kGeometryMark);
        }
    }
    if (m.rampGeometry) {
        for (int k = 0; k < kLobeCount; ++k) {
            m.lobeMaxVolume[k].prepareRamp(kGeometryMark);
            m.lobeElasticScale[k].prepareRamp(kGeometryMark);
            m.peripheralConductance[k].prepareRamp(kGeometryMark);
            m.lobeMinVolume[k].prepareRamp(kGeometryMark);
            m.intermediateResistance[k].prepareRamp(kGeometryMark);
            m.wallStiffness[k].prepareRamp(kGeometryMark);
        }
    }
}

} // namespace

SolverOutcome ModelStep(ModelState& m, int integrationState) {
    const int n = substepsPerStep[static_cast<std::size_t>(integrationState - 1)];
    const double dt = kStepLength_s / n;
    PrepareRamps(m);
    const bool rampAirways = m.rampActive && m.rampAirways;
    const bool rampChestTissue = m.rampActive && m.rampChestTissue;
    const bool rampGeometry = m.rampActive && m.rampGeometry;
    double D = PleuralDamping(m);
    LobeValues probeFlows{};
    // The minimal volumes change only while the geometry ramps; their cube roots are kept.
    LobeValues minVolumeSeen;
    LobeValues minVolumeRoot{};
    minVolumeSeen.fill(std::numeric_limits<double>::quiet_NaN());

    for (int i = 1; i <= n; ++i) {
        ++m.substepTotal;
        // 1. Time and ramps.
        m.modelTime += dt;
        m.mouthPressure.rampTo(i, n, kPressureMark);
        m.musclePressure.rampTo(i, n, kPressureMark);
        if (rampAirways)
            RampAirways(m, i, n);
        if (rampChestTissue) {
            RampChestTissue(m, i, n);
            D = PleuralDamping(m);
        }
        if (rampGeometry)
            RampGeometry(m, i, n);

        // 2. Chest wall.
        m.chestWallPressure = ChestWallPressure(m, m.lungVolume);

        // 3. Lobe tissue and gas.
        for (int k = 0; k < kLobeCount; ++k) {
            const double V = m.lobeVolume[k];
            const double theta = (V / m.lobeMaxVolume[k].current - 0.17) * std::numbers::pi * 0.5;
            m.elasticRecoil[k] = std::tan(theta) / m.lobeElasticScale[k].current;
            m.alveolarPressure[k] = m.atmosphericPressure.current * m.gasCompression[k] / V;
            const double minVolume = m.lobeMinVolume[k].current;
            if (!(minVolume == minVolumeSeen[k])) {
                minVolumeSeen[k] = minVolume;
                minVolumeRoot[k] = std::cbrt(minVolume);
            }
            m.peripheralResistance[k] = PeripheralResistance(m.peripheralConductance[k].current, V,
                                                             minVolume, minVolumeRoot[k]);
        }

        // 4. Central compartments.
        const LobeAirways airways = CollectLobeAirways(m);
        const double leftConductance = airways[0].r + airways[1].r;
        const double rightConductance = airways[2].r + airways[3].r + airways[4].r;
        m.PcL = CentralTransmuralPressure(m.leftCentralVolume, m.centralReferenceVolume[0].current,
                                          m.centralCompliance[0].current, m.leftBronchusFlow,
                                          m.lobeFlow[0] + m.lobeFlow[1], leftConductance, 0.4);
        m.PcR = CentralTransmuralPressure(m.rightCentralVolume, m.centralReferenceVolume[1].current,
                                          m.centralCompliance[1].current, m.rightBronchusFlow,
                                          m.lobeFlow[2] + m.lobeFlow[3] + m.lobeFlow[4],
                                          rightConductance, 0.1);

        // 5. Tissue drive and the central compartments' net inflow.
        LobeValues Ak;
        double A = 0.0;
        double G = 0.0;
        for (int k = 0; k < kLobeCount; ++k) {
            const double Rt = m.tissueResistance[k].current;
            Ak[k] = (m.alveolarPressure[k] - m.pleuralOffset[k].current - m.elasticRecoil[k]) / Rt;
            A += Ak[k];
            G += 1.0 / Rt;
        }
        const double Rcw = m.chestWallResistance.current;
        const double drive = m.chestWallPressure + m.musclePressure.current;
        const double denominator = Rcw * G + 1;

        // 6.-9. Pleural pressure: a first estimate, corrected by the flows' slope found with a
        // probe, then the flows committed at the corrected pressure.
        const double x0 = ((A + CentralNetInflow(m)) * Rcw + drive) / denominator;
        SolverOutcome outcome =
            SolveLobeFlows(m, airways, x0, m.PcL, m.PcR, SolverMode::commit, probeFlows);
        if (m.solverFailed)
            return outcome;
        outcome = SolveLobeFlows(m, airways, x0 + kProbeOffset_kPa, m.PcL, m.PcR, SolverMode::probe,
                                 probeFlows);
        if (m.solverFailed)
            return outcome;
        double g = 0.0;
        for (int k = 0; k < kLobeCount; ++k)
            g += (probeFlows[k] - m.lobeFlow[k]) / kProbeOffset_kPa;
        const double x1 = ((A + CentralNetInflow(m)) * Rcw + drive) / denominator;
        m.pleuralPressure = (x1 * D + x0 * g) / (g + D);
        outcome = SolveLobeFlows(m, airways, m.pleuralPressure, m.PcL, m.PcR, SolverMode::commit,
                                 probeFlows);
        if (m.solverFailed)
            return outcome;

        // 10. Pressures and volume rates.
        m.leftCentralPressure = m.PcL + m.pleuralPressure;
        m.rightCentralPressure = m.PcR + m.pleuralPressure;
        m.volumeRate = CentralNetInflow(m);
        for (int k = 0; k < kLobeCount; ++k) {
            m.lobeVolumeRate[k] = Ak[k] - m.pleuralPressure / m.tissueResistance[k].current;
            m.volumeRate += m.lobeVolumeRate[k];
            m.localPleuralPressure[k] = m.pleuralPressure + m.pleuralOffset[k].current;
        }

        // 11. What a sample and the live frame show.
        m.tracheaCoefficientCopy = m.tracheaTurbulentCoefficient.current;
        m.bronchusCoefficientCopy[0] = m.bronchusCoefficient[0].current;
        m.bronchusCoefficientCopy[1] = m.bronchusCoefficient[1].current;

        // 12. Trachea and main bronchi.
        const double IT = m.tracheaInertance.current;
        const double IL = m.bronchusInertance[0].current;
        const double IR = m.bronchusInertance[1].current;
        const double KL = m.bronchusCoefficient[0].current;
        const double KR = m.bronchusCoefficient[1].current;
        const double QL = m.leftBronchusFlow;
        const double QR = m.rightBronchusFlow;
        const double QT = m.mouthFlow;
        const double deltaL = KL * QL * (std::fabs(QL) + 1) + m.leftCentralPressure;
        const double deltaR = KR * QR * (std::fabs(QR) + 1) + m.rightCentralPressure;
        const double DT = (m.tracheaTurbulentCoefficient.current * std::fabs(QT) +
                           m.tracheaLaminarResistance.current) *
                          QT;
        const double mouth = m.mouthPressure.current;
        m.carinaPressure =
            (deltaL * IT / IL + mouth + deltaR * IT / IR - DT) / (IT / IR + IT / IL + 1);
        m.leftBronchusFlow += (m.carinaPressure - deltaL) * dt / IL;
        m.rightBronchusFlow += (m.carinaPressure - deltaR) * dt / IR;
        m.mouthFlow += (mouth - m.carinaPressure - DT) * dt / IT;

        // 13. Euler integration.
        m.leftCentralVolume += (m.leftBronchusFlow - m.lobeFlow[0] - m.lobeFlow[1]) * dt;
        m.rightCentralVolume +=
            (m.rightBronchusFlow - m.lobeFlow[2] - m.lobeFlow[3] - m.lobeFlow[4]) * dt;
        m.lungVolume += m.volumeRate * dt;
        for (int k = 0; k < kLobeCount; ++k) {
            m.gasCompression[k] += (m.lobeFlow[k] - m.lobeVolumeRate[k]) * dt;
            m.lobeVolume[k] += m.lobeVolumeRate[k] * dt;
        }

        // 14. Plausibility.
        if (Implausible(m)) {
            m.solverFailed = 1;
            return SolverOutcome::arithmeticFault;
        }
    }

    // After the substeps: the ramped groups settle on their targets.
    if (rampGeometry) {
        bool limited = false;
        for (int k = 0; k < kLobeCount; ++k) {
            const double V = m.lobeVolume[k];
            m.lobeMaxVolume[k].current = m.lobeMaxVolume[k].target;
            m.lobeMinVolume[k].current = m.lobeMinVolume[k].target;
            if (m.lobeMaxVolume[k].current < V + 0.01) {
                m.lobeMaxVolume[k].current = V + 0.01;
                limited = true;
            }
            if (m.lobeMinVolume[k].current > V - 0.001) {
                m.lobeMinVolume[k].current = V - 0.001;
                limited = true;
            }
            m.lobeElasticScale[k].takeTarget();
            m.peripheralConductance[k].takeTarget();
            m.intermediateResistance[k].takeTarget();
            m.wallStiffness[k].takeTarget();
        }
        m.rampGeometry = limited;
    }
    if (rampAirways) {
        m.tracheaInertance.takeTarget();
        m.tracheaLaminarResistance.takeTarget();
        m.tracheaTurbulentCoefficient.takeTarget();
        for (int side = 0; side < 2; ++side) {
            m.bronchusInertance[side].takeTarget();
            m.bronchusCoefficient[side].takeTarget();
            m.centralReferenceVolume[side].takeTarget();
            m.centralCompliance[side].takeTarget();
        }
        m.rampAirways = false;
    }
    if (rampChestTissue) {
        m.chestWallResistance.takeTarget();
        m.chestWallMinVolume.takeTarget();
        m.chestWallScale.takeTarget();
        m.chestWallConstant.takeTarget();
        m.atmosphericPressure.takeTarget();
        for (int k = 0; k < kLobeCount; ++k) {
            m.pleuralOffset[k].takeTarget();
            m.tissueResistance[k].takeTarget();
        }
        m.rampChestTissue = false;
    }
    m.rampCountdown -= 1;
    if (m.rampActive && !m.rampGeometry && m.rampCountdown < 0)
        m.rampActive = false;
    m.mouthPressure.takeTarget();
    m.musclePressure.takeTarget();
    return SolverOutcome::solved;
}

} // namespace vm::model

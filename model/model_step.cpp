#include "model/model_step.h"

#include "model/batch_math.h"
#include "model/ramp_table.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vm::model {

double chestWallPressureAt(const ModelState& m, double lungVolume) {
    const Parameters& p = m.parameters;
    const double minVolume = p.chestWallMinVolume.current;
    if (lungVolume > 1.0001 * minVolume)
        return (lungVolume - p.chestWallConstant.current / std::sqrt(lungVolume / minVolume - 1)) /
               p.chestWallScale.current;
    return -100 * lungVolume * p.chestWallConstant.current / p.chestWallScale.current;
}

double peripheralResistanceAt(double conductance, double lobeVolume, double lobeMinVolume) {
    return peripheralResistanceAt(conductance, lobeVolume, lobeMinVolume, std::cbrt(lobeMinVolume));
}

double peripheralResistanceAt(double conductance, double lobeVolume, double lobeMinVolume,
                              double lobeMinVolumeRoot) {
    return peripheralResistanceFromRoots(
        conductance, std::cbrt(openPeripheralVolume(lobeVolume, lobeMinVolume)), lobeMinVolumeRoot);
}

double centralTransmuralPressure(double Vc, double Vr, double C, double bronchusFlow,
                                 double lobeInflow, double lobeConductanceSum, double constant) {
    const double rho = std::max(Vc / Vr, 0.001);
    const double elastic = (1.0 - 1.0 / rho) * std::fabs(rho - 1.0) * Vr / C;
    const double Vp = Vc <= 0.001 ? 0.001 : Vc;
    const double kappa = (Vr + Vp) * (constant + 1.0 / lobeConductanceSum) / Vp;
    return 0.05 * (bronchusFlow - lobeInflow) * kappa + elastic;
}

namespace {

constexpr double kProbeOffset_kPa = 0.05;

// Ramping ---------------------------------------------------------------------------------------

// Which groups move in this step, indexed by RampGroup.
using MovingGroups = std::array<bool, kRampGroupCount>;

bool moves(const MovingGroups& groups, RampGroup group) {
    return groups[static_cast<std::size_t>(group)];
}

// The drive moves in every step, the other groups while ramping has them moving.
bool groupMoves(const RampProgress& ramp, RampGroup group) {
    switch (group) {
    case RampGroup::drive:
        return true;
    case RampGroup::airways:
        return ramp.active && ramp.airways;
    case RampGroup::chestTissue:
        return ramp.active && ramp.chestTissue;
    case RampGroup::geometry:
        return ramp.active && ramp.geometry;
    }
    return false;
}

MovingGroups movingGroups(const RampProgress& ramp) {
    MovingGroups groups{};
    for (const RampGroupList& list : rampGroups)
        groups[static_cast<std::size_t>(list.group)] = groupMoves(ramp, list.group);
    return groups;
}

// The parameters that ramp in this step: those of the moving groups away from their targets.
struct RampPlan {
    MovingGroups groups;
    std::array<RampedParameter*, kRampedParameterCount> ramping;
    std::size_t count = 0;
};

// Start values of every parameter of the moving groups.
RampPlan prepareRamps(ModelState& m) {
    RampPlan plan;
    plan.groups = movingGroups(m.progress.ramp);
    for (const RampGroupList& group : rampGroups) {
        if (!moves(plan.groups, group.group))
            continue;
        for (const RampedEntry& entry : group.entries)
            for (RampedParameter& parameter : entry.members(m.parameters))
                if (parameter.prepareRamp(entry.mark))
                    plan.ramping[plan.count++] = &parameter;
    }
    return plan;
}

// D = 1/chestWallResistance + Σ 1/tissueResistance.
double pleuralDamping(const Parameters& p) {
    double d = 1.0 / p.chestWallResistance.current;
    for (int k = 0; k < kLobeCount; ++k)
        d += 1.0 / p.tissueResistance[k].current;
    return d;
}

// Never lets the recoil law diverge at, or the peripheral airway close above, a lobe's present
// volume; returns whether a limit applied.
bool keepGeometryClearOfLobeVolumes(Parameters& p, const IntegratedState& s) {
    bool limited = false;
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        if (p.lobeMaxVolume[k].current < V + 0.01) {
            p.lobeMaxVolume[k].current = V + 0.01;
            limited = true;
        }
        if (p.lobeMinVolume[k].current > V - 0.001) {
            p.lobeMinVolume[k].current = V - 0.001;
            limited = true;
        }
    }
    return limited;
}

// Substep i of n; the pleural damping D follows the resistances while they ramp.
void rampSubstep(ModelState& m, const RampPlan& plan, int i, int n, double& D) {
    for (std::size_t j = 0; j < plan.count; ++j)
        plan.ramping[j]->rampTo(i, n);
    if (moves(plan.groups, RampGroup::chestTissue))
        D = pleuralDamping(m.parameters);
    if (moves(plan.groups, RampGroup::geometry))
        keepGeometryClearOfLobeVolumes(m.parameters, m.state);
}

// After the substeps the moving groups take their targets. The geometry keeps moving while a
// lobe's volume still holds it back; ramping as a whole ends once the countdown has run out.
void settleRamps(ModelState& m, const MovingGroups& groups) {
    for (const RampGroupList& group : rampGroups) {
        if (!moves(groups, group.group))
            continue;
        for (const RampedEntry& entry : group.entries)
            for (RampedParameter& parameter : entry.members(m.parameters))
                parameter.takeTarget();
    }
    RampProgress& ramp = m.progress.ramp;
    if (moves(groups, RampGroup::geometry))
        ramp.geometry = keepGeometryClearOfLobeVolumes(m.parameters, m.state);
    if (moves(groups, RampGroup::airways))
        ramp.airways = false;
    if (moves(groups, RampGroup::chestTissue))
        ramp.chestTissue = false;
    ramp.countdown -= 1;
    if (ramp.active && !ramp.geometry && ramp.countdown < 0)
        ramp.active = false;
}

// Lobe mechanics --------------------------------------------------------------------------------

// Lobe tissue and gas: recoil, alveolar pressure, peripheral resistance. The five tangents and
// cube roots are taken together.
// The minimal volumes change only while the geometry ramps; their cube roots are kept.
void lobeTissue(ModelState& m) {
    DerivedCache& roots = m.derived;
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    std::array<double, mathBatchSize(kLobeCount)> tangents{};
    std::array<double, mathBatchSize(kLobeCount)> cubeRoots{};
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        tangents[k] = (V / p.lobeMaxVolume[k].current - 0.17) * std::numbers::pi * 0.5;
        cubeRoots[k] = openPeripheralVolume(V, p.lobeMinVolume[k].current);
    }
    takeTangents(tangents);
    takeCubeRoots(cubeRoots);
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        s.elasticRecoil[k] = tangents[k] / p.lobeElasticScale[k].current;
        s.alveolarPressure[k] = p.atmosphericPressure.current * s.gasCompression[k] / V;
        const double minVolume = p.lobeMinVolume[k].current;
        if (!(minVolume == roots.minVolumeSeen[k])) {
            roots.minVolumeSeen[k] = minVolume;
            roots.minVolumeRoot[k] = std::cbrt(minVolume);
        }
        s.peripheralResistance[k] = peripheralResistanceFromRoots(
            p.peripheralConductance[k].current, cubeRoots[k], roots.minVolumeRoot[k]);
    }
}

// Chest wall, lobe tissue and the central compartments' transmural pressures of one substep;
// returns what the solver needs of the lobes' airways.
LobeAirways lobeMechanics(ModelState& m) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    s.chestWallPressure = chestWallPressureAt(m, s.lungVolume);
    lobeTissue(m);

    LobeAirways airways = collectLobeAirways(m);
    const double leftConductance = airways.r[0] + airways.r[1];
    const double rightConductance = airways.r[2] + airways.r[3] + airways.r[4];
    s.PcL = centralTransmuralPressure(s.leftCentralVolume, p.centralReferenceVolume[0].current,
                                      p.centralCompliance[0].current, s.leftBronchusFlow,
                                      s.lobeFlow[0] + s.lobeFlow[1], leftConductance, 0.4);
    s.PcR = centralTransmuralPressure(
        s.rightCentralVolume, p.centralReferenceVolume[1].current, p.centralCompliance[1].current,
        s.rightBronchusFlow, s.lobeFlow[2] + s.lobeFlow[3] + s.lobeFlow[4], rightConductance, 0.1);
    return airways;
}

// Pleural solve ---------------------------------------------------------------------------------

// The lobes' tissue drive: per lobe A_k, A = Σ A_k and G = Σ 1/tissueResistance.
struct TissueDrive {
    LobeValues Ak;
    double A;
    double G;
};

TissueDrive tissueDrive(const ModelState& m) {
    const Parameters& p = m.parameters;
    const IntegratedState& s = m.state;
    TissueDrive drive;
    drive.A = 0.0;
    drive.G = 0.0;
    for (int k = 0; k < kLobeCount; ++k) {
        const double Rt = p.tissueResistance[k].current;
        drive.Ak[k] =
            (s.alveolarPressure[k] - p.pleuralOffset[k].current - s.elasticRecoil[k]) / Rt;
        drive.A += drive.Ak[k];
        drive.G += 1.0 / Rt;
    }
    return drive;
}

double centralNetInflow(const IntegratedState& s) {
    return (s.leftBronchusFlow - s.lobeFlow[0] - s.lobeFlow[1]) +
           (s.rightBronchusFlow - s.lobeFlow[2] - s.lobeFlow[3] - s.lobeFlow[4]);
}

// A first estimate of the pleural pressure, corrected by the flows' slope found with a probe,
// then the flows committed at the corrected pressure. Stops at the first solver failure.
SolverOutcome solvePleuralPressure(ModelState& m, const LobeAirways& airways,
                                   const TissueDrive& tissue, double D, LobeValues& probeFlows) {
    IntegratedState& s = m.state;
    const double Rcw = m.parameters.chestWallResistance.current;
    const double drive = s.chestWallPressure + m.parameters.musclePressure.current;
    const double denominator = Rcw * tissue.G + 1;
    const double x0 = ((tissue.A + centralNetInflow(s)) * Rcw + drive) / denominator;
    const SolverOutcome outcome =
        solveLobeFlowsWithProbe(m, airways, x0, x0 + kProbeOffset_kPa, s.PcL, s.PcR, probeFlows);
    if (s.solverFailed)
        return outcome;
    double g = 0.0;
    for (int k = 0; k < kLobeCount; ++k)
        g += (probeFlows[k] - s.lobeFlow[k]) / kProbeOffset_kPa;
    const double x1 = ((tissue.A + centralNetInflow(s)) * Rcw + drive) / denominator;
    s.pleuralPressure = (x1 * D + x0 * g) / (g + D);
    return solveLobeFlows(m, airways, s.pleuralPressure, s.PcL, s.PcR, SolverMode::commit,
                          probeFlows);
}

// Central pressures and volume rates at the solved pleural pressure.
void applyPleuralPressure(ModelState& m, const TissueDrive& tissue) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    s.leftCentralPressure = s.PcL + s.pleuralPressure;
    s.rightCentralPressure = s.PcR + s.pleuralPressure;
    s.volumeRate = centralNetInflow(s);
    for (int k = 0; k < kLobeCount; ++k) {
        s.lobeVolumeRate[k] = tissue.Ak[k] - s.pleuralPressure / p.tissueResistance[k].current;
        s.volumeRate += s.lobeVolumeRate[k];
        s.localPleuralPressure[k] = s.pleuralPressure + p.pleuralOffset[k].current;
    }
}

// Upper airways, integration, plausibility -----------------------------------------------------

// Trachea and main bronchi: the carina's pressure, then the three flows.
void upperAirways(ModelState& m, double dt) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    // What a sample and the live frame show.
    s.tracheaCoefficientCopy = p.tracheaTurbulentCoefficient.current;
    s.bronchusCoefficientCopy[0] = p.bronchusCoefficient[0].current;
    s.bronchusCoefficientCopy[1] = p.bronchusCoefficient[1].current;

    const double IT = p.tracheaInertance.current;
    const double IL = p.bronchusInertance[0].current;
    const double IR = p.bronchusInertance[1].current;
    const double KL = p.bronchusCoefficient[0].current;
    const double KR = p.bronchusCoefficient[1].current;
    const double QL = s.leftBronchusFlow;
    const double QR = s.rightBronchusFlow;
    const double QT = s.mouthFlow;
    const double deltaL = KL * QL * (std::fabs(QL) + 1) + s.leftCentralPressure;
    const double deltaR = KR * QR * (std::fabs(QR) + 1) + s.rightCentralPressure;
    const double DT = (p.tracheaTurbulentCoefficient.current * std::fabs(QT) +
                       p.tracheaLaminarResistance.current) *
                      QT;
    const double mouth = p.mouthPressure.current;
    s.carinaPressure = (deltaL * IT / IL + mouth + deltaR * IT / IR - DT) / (IT / IR + IT / IL + 1);
    s.leftBronchusFlow += (s.carinaPressure - deltaL) * dt / IL;
    s.rightBronchusFlow += (s.carinaPressure - deltaR) * dt / IR;
    s.mouthFlow += (mouth - s.carinaPressure - DT) * dt / IT;
}

// Euler integration; the central volumes take the bronchus flows just updated.
void integrateSubstep(IntegratedState& s, double dt) {
    s.leftCentralVolume += (s.leftBronchusFlow - s.lobeFlow[0] - s.lobeFlow[1]) * dt;
    s.rightCentralVolume +=
        (s.rightBronchusFlow - s.lobeFlow[2] - s.lobeFlow[3] - s.lobeFlow[4]) * dt;
    s.lungVolume += s.volumeRate * dt;
    for (int k = 0; k < kLobeCount; ++k) {
        s.gasCompression[k] += (s.lobeFlow[k] - s.lobeVolumeRate[k]) * dt;
        s.lobeVolume[k] += s.lobeVolumeRate[k] * dt;
    }
}

bool implausible(const IntegratedState& s) {
    for (int k = 0; k < kLobeCount; ++k) {
        const double V = s.lobeVolume[k];
        if (!(s.gasCompression[k] <= 2) || !(V <= 6) || !(V >= 0.01) ||
            !(std::fabs(s.lobeFlow[k]) <= 40) || !(std::fabs(s.lobeVolumeRate[k]) <= 40) ||
            !(s.elasticRecoil[k] <= 10) || !(s.elasticRecoil[k] >= 0.01) ||
            !std::isfinite(s.peripheralResistance[k]) ||
            !std::isfinite(s.intermediateEffResistance[k]))
            return true;
    }
    // Written so that a NaN anywhere fails as well.
    return !(std::fabs(s.mouthFlow) <= 40) || !(std::fabs(s.leftBronchusFlow) <= 40) ||
           !(s.chestWallPressure <= 10) || !(s.lungVolume <= 20) ||
           !std::isfinite(s.rightBronchusFlow) || !std::isfinite(s.leftCentralVolume) ||
           !std::isfinite(s.rightCentralVolume) || !std::isfinite(s.pleuralPressure) ||
           !std::isfinite(s.volumeRate);
}

} // namespace

SolverOutcome ModelStep(ModelState& m, IntegrationState integrationState) {
    const int n = substepCount(integrationState);
    const double dt = kStepLength_s / n;
    const RampPlan plan = prepareRamps(m);
    double D = pleuralDamping(m.parameters);
    LobeValues probeFlows{};

    for (int i = 1; i <= n; ++i) {
        ++m.work.substepTotal;
        m.state.modelTime += dt;
        rampSubstep(m, plan, i, n, D);
        const LobeAirways airways = lobeMechanics(m);
        const TissueDrive tissue = tissueDrive(m);
        const SolverOutcome outcome = solvePleuralPressure(m, airways, tissue, D, probeFlows);
        if (m.state.solverFailed)
            return outcome;
        applyPleuralPressure(m, tissue);
        upperAirways(m, dt);
        integrateSubstep(m.state, dt);
        if (implausible(m.state)) {
            m.state.solverFailed = 1;
            return SolverOutcome::arithmeticFault;
        }
    }
    settleRamps(m, plan.groups);
    return SolverOutcome::solved;
}

} // namespace vm::model

#include "model/model_step.h"

#include "model/ramp_table.h"
#include "model/simd/batch_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vm::model {

namespace {

// The chest wall's law with the reciprocals of its minimal volume and scale worked out already.
double chestWallPressureFrom(const Parameters& p, double inverseMinVolume, double inverseScale,
                             double lungVolume) {
    if (lungVolume > 1.0001 * p.chestWallMinVolume.current)
        return (lungVolume -
                p.chestWallConstant.current / std::sqrt(lungVolume * inverseMinVolume - 1)) *
               inverseScale;
    return -100 * lungVolume * p.chestWallConstant.current * inverseScale;
}

} // namespace

double chestWallPressureAt(const ModelState& m, double lungVolume) {
    const Parameters& p = m.parameters;
    return chestWallPressureFrom(p, 1.0 / p.chestWallMinVolume.current,
                                 1.0 / p.chestWallScale.current, lungVolume);
}

double centralTransmuralPressure(double Vc, double Vr, double C, double bronchusFlow,
                                 double lobeInflow, double lobeConductanceSum, double constant) {
    return centralTransmuralPressure(Vc, Vr, 1.0 / Vr, Vr / C, bronchusFlow, lobeInflow,
                                     lobeConductanceSum, constant);
}

double centralTransmuralPressure(double Vc, double Vr, double inverseVr, double VrOverC,
                                 double bronchusFlow, double lobeInflow, double lobeConductanceSum,
                                 double constant) {
    const double rho = std::max(Vc * inverseVr, 0.001);
    const double elastic = (1.0 - 1.0 / rho) * std::fabs(rho - 1.0) * VrOverC;
    const double Vp = Vc <= 0.001 ? 0.001 : Vc;
    // (constant + 1/Σ)/Vp with one division.
    const double kappa =
        (Vr + Vp) * (constant * lobeConductanceSum + 1.0) / (lobeConductanceSum * Vp);
    return 0.05 * (bronchusFlow - lobeInflow) * kappa + elastic;
}

namespace {

constexpr double kProbeOffset_kPa = 0.05;
constexpr double kPerProbeOffset = 1.0 / kProbeOffset_kPa;

// Reciprocals and quotients of parameters that move only while ramping: worked out once a step,
// and again in every substep while a group other than the drive moves, so that the substep
// multiplies where it would divide.
struct StepReciprocals {
    LobeValues tissueConductance;     // 1/tissueResistance
    double tissueConductanceSum;      // G = Σ 1/tissueResistance
    double pleuralDamping;            // D = 1/chestWallResistance + G
    double inversePleuralDenominator; // 1/(chestWallResistance·G + 1)
    double inverseChestWallMinVolume;
    double inverseChestWallScale;
    SideValues inverseCentralReferenceVolume;
    SideValues centralReferenceOverCompliance;
    double inverseTracheaInertance;
    SideValues inverseBronchusInertance;
    SideValues tracheaOverBronchusInertance; // IT/IL, IT/IR
    double inverseCarinaDenominator;         // 1/(IT/IR + IT/IL + 1)
    // The lobes' tissue columns and airways, every column of parameters filled here; a substep
    // fills in the rest.
    LobeTissueColumns tissueColumns;
    LobeAirways airways;
};

// The minimal volumes change only while the geometry ramps; their cube roots are kept.
StepReciprocals reciprocalsOf(const Parameters& p, DerivedCache& roots) {
    StepReciprocals q;
    q.tissueConductanceSum = 0.0;
    LobeTissueColumns& columns = q.tissueColumns;
    LobeAirways& a = q.airways;
    for (int k = 0; k < kLobeCount; ++k) {
        q.tissueConductance[k] = 1.0 / p.tissueResistance[k].current;
        q.tissueConductanceSum += q.tissueConductance[k];
        const double minVolume = p.lobeMinVolume[k].current;
        if (!(minVolume == roots.minVolumeSeen[k])) {
            roots.minVolumeSeen[k] = minVolume;
            roots.minVolumeRoot[k] = std::cbrt(minVolume);
        }
        columns.inverseMaxVolume[k] = 1.0 / p.lobeMaxVolume[k].current;
        columns.inverseElasticScale[k] = 1.0 / p.lobeElasticScale[k].current;
        columns.minVolume[k] = minVolume;
        columns.minVolumeRoot[k] = roots.minVolumeRoot[k];
        columns.conductance[k] = p.peripheralConductance[k].current;
        a.r[k] = 1.0 / p.intermediateResistance[k].current;
        a.u[k] = p.wallStiffness[k].current;
        a.v[k] = a.r[k] * a.u[k];
        a.A[k] = a.u[k] * a.u[k];
        a.pleuralOffset[k] = p.pleuralOffset[k].current;
    }
    columns.atmosphericPressure = p.atmosphericPressure.current;
    const double Rcw = p.chestWallResistance.current;
    q.pleuralDamping = 1.0 / Rcw + q.tissueConductanceSum;
    q.inversePleuralDenominator = 1.0 / (Rcw * q.tissueConductanceSum + 1);
    q.inverseChestWallMinVolume = 1.0 / p.chestWallMinVolume.current;
    q.inverseChestWallScale = 1.0 / p.chestWallScale.current;
    const double IT = p.tracheaInertance.current;
    q.inverseTracheaInertance = 1.0 / IT;
    for (int side = 0; side < 2; ++side) {
        const double Vr = p.centralReferenceVolume[side].current;
        q.inverseCentralReferenceVolume[side] = 1.0 / Vr;
        q.centralReferenceOverCompliance[side] = Vr / p.centralCompliance[side].current;
        q.inverseBronchusInertance[side] = 1.0 / p.bronchusInertance[side].current;
        q.tracheaOverBronchusInertance[side] = IT * q.inverseBronchusInertance[side];
    }
    q.inverseCarinaDenominator =
        1.0 / (q.tracheaOverBronchusInertance[1] + q.tracheaOverBronchusInertance[0] + 1);
    return q;
}

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

// Substep i of n; the reciprocals follow the parameters while any group but the drive moves.
void rampSubstep(ModelState& m, const RampPlan& plan, int i, int n, StepReciprocals& q) {
    for (std::size_t j = 0; j < plan.count; ++j)
        plan.ramping[j]->rampTo(i, n);
    if (moves(plan.groups, RampGroup::geometry))
        keepGeometryClearOfLobeVolumes(m.parameters, m.state);
    if (moves(plan.groups, RampGroup::airways) || moves(plan.groups, RampGroup::chestTissue) ||
        moves(plan.groups, RampGroup::geometry))
        q = reciprocalsOf(m.parameters, m.derived);
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

// Lobe tissue and gas: recoil, alveolar pressure, peripheral resistance, and with them the
// columns of the lobes' airways the solver takes; the five lobes at once.
void lobeTissue(IntegratedState& s, StepReciprocals& q) {
    LobeTissueColumns& columns = q.tissueColumns;
    std::copy(s.lobeVolume.begin(), s.lobeVolume.end(), columns.volume);
    std::copy(s.gasCompression.begin(), s.gasCompression.end(), columns.gasCompression);
    LobeTissue tissue;
    takeLobeTissue(columns, tissue);
    LobeAirways& a = q.airways;
    std::copy_n(tissue.elasticRecoil, kLobeCount, s.elasticRecoil.begin());
    std::copy_n(tissue.alveolarPressure, kLobeCount, s.alveolarPressure.begin());
    std::copy_n(tissue.peripheralResistance, kLobeCount, s.peripheralResistance.begin());
    std::copy_n(tissue.alveolarPressure, kLobeCount, a.alveolarPressure.begin());
    std::copy_n(tissue.peripheralResistance, kLobeCount, a.peripheralResistance.begin());
    std::copy_n(tissue.peripheralConductance, kLobeCount, a.o.begin());
    for (int k = 0; k < kLobeCount; ++k)
        a.t[k] = a.o[k] + a.r[k];
}

// Chest wall, lobe tissue and the central compartments' transmural pressures of one substep;
// returns what the solver needs of the lobes' airways.
const LobeAirways& lobeMechanics(ModelState& m, StepReciprocals& q) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    s.chestWallPressure = chestWallPressureFrom(p, q.inverseChestWallMinVolume,
                                                q.inverseChestWallScale, s.lungVolume);
    lobeTissue(s, q);
    const LobeAirways& airways = q.airways;
    const double leftConductance = airways.r[0] + airways.r[1];
    const double rightConductance = airways.r[2] + airways.r[3] + airways.r[4];
    s.PcL = centralTransmuralPressure(s.leftCentralVolume, p.centralReferenceVolume[0].current,
                                      q.inverseCentralReferenceVolume[0],
                                      q.centralReferenceOverCompliance[0], s.leftBronchusFlow,
                                      s.lobeFlow[0] + s.lobeFlow[1], leftConductance, 0.4);
    s.PcR = centralTransmuralPressure(
        s.rightCentralVolume, p.centralReferenceVolume[1].current,
        q.inverseCentralReferenceVolume[1], q.centralReferenceOverCompliance[1],
        s.rightBronchusFlow, s.lobeFlow[2] + s.lobeFlow[3] + s.lobeFlow[4], rightConductance, 0.1);
    return airways;
}

// Pleural solve ---------------------------------------------------------------------------------

// The lobes' tissue drive: per lobe A_k and A = Σ A_k.
struct TissueDrive {
    LobeValues Ak;
    double A;
};

TissueDrive tissueDrive(const ModelState& m, const StepReciprocals& q) {
    const IntegratedState& s = m.state;
    TissueDrive drive;
    drive.A = 0.0;
    for (int k = 0; k < kLobeCount; ++k) {
        drive.Ak[k] = (s.alveolarPressure[k] - q.airways.pleuralOffset[k] - s.elasticRecoil[k]) *
                      q.tissueConductance[k];
        drive.A += drive.Ak[k];
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
                                   const TissueDrive& tissue, const StepReciprocals& q,
                                   LobeValues& probeFlows) {
    IntegratedState& s = m.state;
    const double Rcw = m.parameters.chestWallResistance.current;
    const double drive = s.chestWallPressure + m.parameters.musclePressure.current;
    const double x0 =
        ((tissue.A + centralNetInflow(s)) * Rcw + drive) * q.inversePleuralDenominator;
    const SolverOutcome outcome =
        solveLobeFlowsWithProbe(m, airways, x0, x0 + kProbeOffset_kPa, s.PcL, s.PcR, probeFlows);
    if (s.solverFailed)
        return outcome;
    double g = 0.0;
    for (int k = 0; k < kLobeCount; ++k)
        g += (probeFlows[k] - s.lobeFlow[k]) * kPerProbeOffset;
    const double x1 =
        ((tissue.A + centralNetInflow(s)) * Rcw + drive) * q.inversePleuralDenominator;
    const double D = q.pleuralDamping;
    s.pleuralPressure = (x1 * D + x0 * g) / (g + D);
    return solveLobeFlows(m, airways, s.pleuralPressure, s.PcL, s.PcR, SolverMode::commit,
                          probeFlows);
}

// Central pressures, the central part of the volume rate and the lobes' local pleural pressures
// at the solved pleural pressure; the lobes' volume rates come with their integration.
void applyPleuralPressure(ModelState& m) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    s.leftCentralPressure = s.PcL + s.pleuralPressure;
    s.rightCentralPressure = s.PcR + s.pleuralPressure;
    s.volumeRate = centralNetInflow(s);
    for (int k = 0; k < kLobeCount; ++k)
        s.localPleuralPressure[k] = s.pleuralPressure + p.pleuralOffset[k].current;
}

// Upper airways, integration, plausibility -----------------------------------------------------

// Trachea and main bronchi: the carina's pressure, then the three flows.
void upperAirways(ModelState& m, const StepReciprocals& q, double dt) {
    const Parameters& p = m.parameters;
    IntegratedState& s = m.state;
    // What a sample and the live frame show.
    s.tracheaCoefficientCopy = p.tracheaTurbulentCoefficient.current;
    s.bronchusCoefficientCopy[0] = p.bronchusCoefficient[0].current;
    s.bronchusCoefficientCopy[1] = p.bronchusCoefficient[1].current;

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
    s.carinaPressure = (deltaL * q.tracheaOverBronchusInertance[0] + mouth +
                        deltaR * q.tracheaOverBronchusInertance[1] - DT) *
                       q.inverseCarinaDenominator;
    s.leftBronchusFlow += (s.carinaPressure - deltaL) * dt * q.inverseBronchusInertance[0];
    s.rightBronchusFlow += (s.carinaPressure - deltaR) * dt * q.inverseBronchusInertance[1];
    s.mouthFlow += (mouth - s.carinaPressure - DT) * dt * q.inverseTracheaInertance;
}

// Euler integration; the central volumes take the bronchus flows just updated. Returns whether
// every lobe stays plausible.
bool integrateSubstep(IntegratedState& s, const TissueDrive& tissue, const StepReciprocals& q,
                      double dt) {
    s.leftCentralVolume += (s.leftBronchusFlow - s.lobeFlow[0] - s.lobeFlow[1]) * dt;
    s.rightCentralVolume +=
        (s.rightBronchusFlow - s.lobeFlow[2] - s.lobeFlow[3] - s.lobeFlow[4]) * dt;
    const bool lobesPlausible = advanceLobes(
        {tissue.Ak.data(), q.tissueConductance.data(), s.lobeFlow.data(), s.elasticRecoil.data(),
         s.peripheralResistance.data(), s.intermediateEffResistance.data(), s.lobeVolumeRate.data(),
         s.gasCompression.data(), s.lobeVolume.data(), s.pleuralPressure, dt});
    for (int k = 0; k < kLobeCount; ++k)
        s.volumeRate += s.lobeVolumeRate[k];
    s.lungVolume += s.volumeRate * dt;
    return lobesPlausible;
}

bool implausible(const IntegratedState& s, bool lobesPlausible) {
    // Written so that a NaN anywhere fails as well.
    return !lobesPlausible || !(std::fabs(s.mouthFlow) <= 40) ||
           !(std::fabs(s.leftBronchusFlow) <= 40) || !(s.chestWallPressure <= 10) ||
           !(s.lungVolume <= 20) || !std::isfinite(s.rightBronchusFlow) ||
           !std::isfinite(s.leftCentralVolume) || !std::isfinite(s.rightCentralVolume) ||
           !std::isfinite(s.pleuralPressure) || !std::isfinite(s.volumeRate);
}

} // namespace

SolverOutcome ModelStep(ModelState& m, IntegrationState integrationState) {
    const int n = substepCount(integrationState);
    const double dt = kStepLength_s / n;
    const RampPlan plan = prepareRamps(m);
    StepReciprocals q = reciprocalsOf(m.parameters, m.derived);
    LobeValues probeFlows{};

    for (int i = 1; i <= n; ++i) {
        ++m.work.substepTotal;
        m.state.modelTime += dt;
        rampSubstep(m, plan, i, n, q);
        const LobeAirways& airways = lobeMechanics(m, q);
        const TissueDrive tissue = tissueDrive(m, q);
        const SolverOutcome outcome = solvePleuralPressure(m, airways, tissue, q, probeFlows);
        if (m.state.solverFailed)
            return outcome;
        applyPleuralPressure(m);
        upperAirways(m, q, dt);
        const bool lobesPlausible = integrateSubstep(m.state, tissue, q, dt);
        if (implausible(m.state, lobesPlausible)) {
            m.state.solverFailed = 1;
            return SolverOutcome::arithmeticFault;
        }
    }
    settleRamps(m, plan.groups);
    return SolverOutcome::solved;
}

} // namespace vm::model

#include "model/lobe_physics.h"

#include <cmath>
#include <numbers>

namespace vm::model {

// Tissue ------------------------------------------------------------------------------------------

double elasticRecoilAt(double volume_l, double maxVolume_l, double elasticScale) {
    return std::tan((volume_l / maxVolume_l - 0.17) * std::numbers::pi * 0.5) / elasticScale;
}

double alveolarPressureAt(double atmosphericPressure_kPa, double gasCompression_l,
                          double volume_l) {
    return atmosphericPressure_kPa * gasCompression_l / volume_l;
}

double openPeripheralVolume(double volume_l, double minVolume_l) {
    const double floor = minVolume_l + 0.0001;
    return volume_l > floor ? volume_l : floor;
}

double peripheralConductanceAt(double conductance, double volume_l, double minVolume_l) {
    const double span =
        std::cbrt(openPeripheralVolume(volume_l, minVolume_l)) - std::cbrt(minVolume_l);
    const double span2 = span * span;
    return conductance * (span2 * span2);
}

double peripheralResistanceAt(double conductance, double volume_l, double minVolume_l) {
    return 1.0 / peripheralConductanceAt(conductance, volume_l, minVolume_l);
}

// Junction searches -------------------------------------------------------------------------------

LobeAirway lobeAirwayOf(const LobeAirways& a, int k) {
    return {a.alveolarPressure[k], a.peripheralResistance[k], a.o[k], a.r[k], a.u[k],
            a.pleuralOffset[k]};
}

namespace {

// The flow from the alveoli to the junction through the peripheral airway, less the flow on from
// the junction through the intermediate airway, as a function of the junction pressure z:
//   F(z) = (m − z)/R1 − (1/R2)·∫ y²/(1 + y²) dP over P from the airway's mouth-side end P0 up to z
//        = w − t·z − v·atan(...),   w = m/R1 + P0/R2,  t = 1/R1 + 1/R2,  v = u/R2,
// the arctangents of y at both ends joined into one. P0 is f where the airway is open, h where
// it has collapsed. F falls with z at least as fast as 1/R1, so it has one root.
struct JunctionResidual {
    double m, f, h, u;
    bool collapsed;
    double w, t, v;

    double operator()(double z) const {
        if (collapsed)
            return w - t * z - v * std::atan((h - z) / u);
        return w - t * z - v * std::atan((f - z) * u / ((z - h) * (f - h) + u * u));
    }
    // F at a pressure where the arctangent's argument is zero: at f, open; at h, collapsed.
    double withoutArctangent(double z) const { return w - z * t; }
};

JunctionResidual residualOf(const LobeAirway& lobe, double f, double h) {
    JunctionResidual F;
    F.m = lobe.alveolarPressure_kPa;
    F.f = f;
    F.h = h;
    F.u = lobe.wallStiffness_kPa;
    F.collapsed = !(f > h);
    const double o = lobe.peripheralConductance;
    const double r = lobe.intermediateConductance;
    F.w = F.m * o + (F.collapsed ? h : f) * r;
    F.t = o + r;
    F.v = r * F.u;
    return F;
}

// The next regula-falsi point: where the chord through (za, Fa) and (zc, Fc) crosses zero.
double chordRoot(double za, double Fa, double zc, double Fc) {
    return zc - (zc - za) * Fc / (Fc - Fa);
}

} // namespace

JunctionSearch searchJunctionPressure(const LobeAirway& lobe, double centralPressure_kPa,
                                      double localPleuralPressure_kPa, int& iterationsUsed) {
    const double f = centralPressure_kPa;
    const double h = localPleuralPressure_kPa;
    const JunctionResidual F = residualOf(lobe, f, h);
    const double m = F.m;
    const int cap = F.collapsed ? kLimitedIterationCap : kOpenIterationCap;
    JunctionSearch search{SolverOutcome::solved, F.collapsed, m, 0.0};
    const auto end = [&](SolverOutcome outcome, double z) {
        search.outcome = outcome;
        search.junctionPressure_kPa = z;
        search.flow_lps = (z - m) * lobe.peripheralConductance;
        return search;
    };

    // The bracket [za, zc] and its residuals. The junction lies between the alveoli and the
    // airway's mouth-side end: open, between m and the midpoint towards f, or between the midpoint
    // and f; collapsed, between m and h.
    double za = m;
    double Fa = F(m);
    double zc;
    double Fc;
    if (!F.collapsed) {
        zc = (m + f) / 2.0;
        Fc = F(zc);
        if (Fa * Fc > 0.0) {
            za = f;
            Fa = F.withoutArctangent(f);
        }
    } else {
        zc = h;
        Fc = F.withoutArctangent(h);
        if (!(Fa * Fc <= 0.0)) { // no sign change: only an end that is a root already will do
            if (std::fabs(Fa) < kSolverTolerance)
                return end(SolverOutcome::solved, m);
            if (std::fabs(Fc) < kSolverTolerance)
                return end(SolverOutcome::solved, h);
            return end(SolverOutcome::unbracketed, m);
        }
    }
    if (Fc - Fa == 0.0)
        return end(SolverOutcome::arithmeticFault, m);
    double z = chordRoot(za, Fa, zc, Fc);

    for (;;) {
        const double Fz = F(z);
        if (std::isnan(Fz))
            return end(SolverOutcome::arithmeticFault, z);
        if (std::fabs(Fz) <= kSolverTolerance)
            return end(SolverOutcome::solved, z);
        if (++iterationsUsed > cap) {
            iterationsUsed = cap + 1;
            return end(SolverOutcome::iterationCap, z);
        }
        // z replaces the end whose residual has its sign.
        if (Fz * Fc >= 0.0) {
            zc = z;
            Fc = Fz;
        } else {
            za = z;
            Fa = Fz;
        }
        if (Fc - Fa == 0.0)
            return end(SolverOutcome::arithmeticFault, z);
        z = chordRoot(za, Fa, zc, Fc);
    }
}

SolverOutcome solveLobesInTurn(ModelState& model, const LobeAirways& airways, double x,
                               double pcLeft, double pcRight, SolverMode mode,
                               LobeValues& probeFlows) {
    IntegratedState& s = model.state;
    int iterationsUsed = 0;
    SolverOutcome outcome = SolverOutcome::solved;
    for (int k = 0; k < kLobeCount; ++k) {
        const LobeAirway lobe = lobeAirwayOf(airways, k);
        const double f = x + (k < kLeftLobeCount ? pcLeft : pcRight);
        const double h = x + lobe.pleuralOffset_kPa;
        const JunctionSearch search = searchJunctionPressure(lobe, f, h, iterationsUsed);
        s.flowLimited[k] = search.flowLimited ? 1 : 0;
        if (search.outcome != SolverOutcome::solved) {
            outcome = search.outcome;
            break;
        }
        const double Q = search.flow_lps;
        if (mode == SolverMode::probe) {
            probeFlows[k] = Q;
            continue;
        }
        s.lobeFlow[k] = Q;
        // The intermediate airway's resistance as the flow sees it, from the drop beyond the
        // peripheral airway; too small a flow would make it noise.
        if (std::fabs(Q) > 0.001)
            s.intermediateEffResistance[k] =
                (f - lobe.alveolarPressure_kPa) / Q - lobe.peripheralResistance;
    }
    model.work.solverIterationTotal += iterationsUsed;
    if (outcome != SolverOutcome::solved)
        s.solverFailed = 1;
    return outcome;
}

// The Euler step ----------------------------------------------------------------------------------

LobeAfterStep advanceLobe(const LobeBeforeStep& lobe, double pleuralPressure_kPa, double dt_s) {
    const double rate = lobe.tissueDrive_lps - pleuralPressure_kPa * lobe.tissueConductance;
    return {rate, lobe.gasCompression_l + (lobe.airwayFlow_lps - rate) * dt_s,
            lobe.volume_l + rate * dt_s};
}

bool lobeStaysPlausible(const LobeBeforeStep& before, const LobeAfterStep& after) {
    // Each test written so that a NaN fails it.
    const auto within = [](double x, double low, double high) { return x >= low && x <= high; };
    return after.gasCompression_l <= 2 && within(after.volume_l, 0.01, 6) &&
           within(before.airwayFlow_lps, -40, 40) && within(after.volumeRate_lps, -40, 40) &&
           within(before.elasticRecoil_kPa, 0.01, 10) &&
           std::isfinite(before.peripheralResistance) &&
           std::isfinite(before.effectiveIntermediateResistance);
}

} // namespace vm::model

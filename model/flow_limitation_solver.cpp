#include "model/flow_limitation_solver.h"

#include <cmath>

namespace vm::model {

// The five lobes are solved side by side rather than one after the other: their root searches
// are independent, and interleaving them lets the processor overlap the long arctangent and
// division chains. The order-dependent rules (the shared iteration count and the failure that
// stops the call at the failing lobe) are then applied lobe by lobe in order, so the outcome and
// every value written are those of solving the lobes in turn.

namespace {

struct LobeSearch {
    bool limited;
    // Residual F(z) = w − t·z − v·atan(...), open or collapsed form.
    double f, h, m, w, t, v, u, d, A;
    double za, Fa, zc, Fc, z, Fz;
    int iterations; // regula-falsi iterations this lobe performed
    SolverOutcome outcome;
    bool searching;
};

inline double residual(const LobeSearch& s, double z) {
    if (s.limited)
        return s.w - s.t * z - s.v * std::atan((s.h - z) / s.u);
    return s.w - s.t * z - s.v * std::atan((s.f - z) * s.u / ((z - s.h) * s.d + s.A));
}

inline int iterationCapOf(const LobeSearch& s) {
    return s.limited ? kLimitedIterationCap : kOpenIterationCap;
}

// Sets up lobe k's search up to its first regula-falsi point.
void startSearch(LobeSearch& s, const LobeAirway& a, double x, double pc) {
    s.f = x + pc;
    s.h = x + a.pleuralOffset;
    s.m = a.alveolarPressure;
    s.t = a.t;
    s.u = a.u;
    s.v = a.v;
    s.iterations = 0;
    s.outcome = SolverOutcome::solved;
    s.searching = false;
    s.limited = !(s.f > s.h);
    if (!s.limited) {
        s.w = s.m * a.o + s.f * a.r;
        s.A = a.A;
        s.d = s.f - s.h;
    } else {
        // Collapsed at the mouth-side end: the pressure around the airway replaces the
        // downstream pressure.
        s.w = s.m * a.o + s.h * a.r;
    }
    s.za = s.m;
    s.Fa = residual(s, s.m);
}

void firstPoint(LobeSearch& s) {
    if (!s.limited) {
        s.zc = (s.m + s.f) / 2;
        s.Fc = residual(s, s.zc);
        if (s.Fa * s.Fc > 0) {
            s.za = s.f;
            s.Fa = s.w - s.f * s.t;
        }
        if (s.Fc - s.Fa == 0.0) {
            s.outcome = SolverOutcome::arithmeticFault;
            return;
        }
        s.z = s.zc - (s.zc - s.za) * s.Fc / (s.Fc - s.Fa);
    } else {
        s.zc = s.h;
        s.Fc = s.w - s.h * s.t;
        if (s.Fa * s.Fc <= 0) {
            if (s.Fc - s.Fa == 0.0) {
                s.outcome = SolverOutcome::arithmeticFault;
                return;
            }
            s.z = s.h - (s.h - s.m) * s.Fc / (s.Fc - s.Fa);
        } else if (std::fabs(s.Fa) < kSolverTolerance) {
            s.z = s.m;
            s.Fz = s.Fa;
            s.searching = true;
            return;
        } else if (std::fabs(s.Fc) < kSolverTolerance) {
            s.z = s.h;
            s.Fz = s.Fc;
            s.searching = true;
            return;
        } else {
            s.outcome = SolverOutcome::unbracketed;
            return;
        }
    }
    s.Fz = residual(s, s.z);
    s.searching = true;
}

// One regula-falsi iteration, or the end of the search. Returns whether the search goes on.
bool Iterate(LobeSearch& s) {
    if (!(std::fabs(s.Fz) > kSolverTolerance)) {
        if (!std::isfinite(s.z) || !std::isfinite(s.Fz))
            s.outcome = SolverOutcome::arithmeticFault;
        return s.searching = false;
    }
    // Past its own cap a lobe fails whatever the lobes before it used.
    if (++s.iterations > iterationCapOf(s)) {
        s.outcome = SolverOutcome::iterationCap;
        return s.searching = false;
    }
    if (s.Fz * s.Fc >= 0) {
        s.zc = s.z;
        s.Fc = s.Fz;
    } else {
        s.za = s.z;
        s.Fa = s.Fz;
    }
    const double slope = s.Fc - s.Fa;
    if (slope == 0.0) {
        s.outcome = SolverOutcome::arithmeticFault;
        return s.searching = false;
    }
    s.z = s.zc - (s.zc - s.za) * s.Fc / slope;
    s.Fz = residual(s, s.z);
    return true;
}

} // namespace

LobeAirways collectLobeAirways(const ModelState& model) {
    LobeAirways airways;
    for (int k = 0; k < kLobeCount; ++k) {
        LobeAirway& a = airways[k];
        a.alveolarPressure = model.state.alveolarPressure[k];
        a.peripheralResistance = model.state.peripheralResistance[k];
        a.o = 1.0 / a.peripheralResistance;
        a.r = 1.0 / model.parameters.intermediateResistance[k].current;
        a.t = a.o + a.r;
        a.u = model.parameters.wallStiffness[k].current;
        a.v = a.r * a.u;
        a.A = a.u * a.u;
        a.pleuralOffset = model.parameters.pleuralOffset[k].current;
    }
    return airways;
}

SolverOutcome solveLobeFlows(ModelState& model, double x, double pcLeft, double pcRight,
                             SolverMode mode, LobeValues& probeFlows) {
    return solveLobeFlows(model, collectLobeAirways(model), x, pcLeft, pcRight, mode, probeFlows);
}

SolverOutcome solveLobeFlows(ModelState& model, const LobeAirways& airways, double x, double pcLeft,
                             double pcRight, SolverMode mode, LobeValues& probeFlows) {
    std::array<LobeSearch, kLobeCount> search;
    for (int k = 0; k < kLobeCount; ++k)
        startSearch(search[k], airways[k], x, k < kLeftLobeCount ? pcLeft : pcRight);
    for (LobeSearch& s : search)
        firstPoint(s);
    for (bool any = true; any;) {
        any = false;
        for (LobeSearch& s : search)
            if (s.searching)
                any = Iterate(s) || any;
    }

    // In lobe order: the iteration count is shared, and a failure ends the call at its lobe.
    int used = 0;
    SolverOutcome outcome = SolverOutcome::solved;
    for (int k = 0; k < kLobeCount; ++k) {
        const LobeSearch& s = search[k];
        model.state.flowLimited[k] = s.limited ? 1 : 0;
        // A lobe that needed no iteration never meets the cap.
        if (s.iterations > 0 && used + s.iterations > iterationCapOf(s)) {
            used = iterationCapOf(s) + 1;
            outcome = SolverOutcome::iterationCap;
            break;
        }
        used += s.iterations;
        if (s.outcome != SolverOutcome::solved) {
            outcome = s.outcome;
            break;
        }
        const double Q = (s.z - s.m) * airways[k].o;
        if (mode == SolverMode::commit) {
            model.state.lobeFlow[k] = Q;
            if (std::fabs(Q) > 0.001)
                model.state.intermediateEffResistance[k] =
                    (s.f - s.m) / Q - airways[k].peripheralResistance;
        } else {
            probeFlows[k] = Q;
        }
    }
    model.work.solverIterationTotal += used;
    if (outcome != SolverOutcome::solved)
        model.state.solverFailed = 1;
    return outcome;
}

} // namespace vm::model

#include "model/flow_limitation_solver.h"

#include "model/batch_math.h"

#include <cmath>
#include <cstdint>

namespace vm::model {

// The lobes' root searches are independent, so they run side by side in lanes, and with them
// those of a second call at another trial pressure. They go in rounds: in each, every search
// still going has its residual worked out at one point, all lanes at once, the arctangents four
// to a vector instruction. An open airway's search evaluates F(m), then F((m + f)/2), then its
// regula-falsi points; a collapsed one's F(m), then its points. The order-dependent rules (the
// shared iteration count and the failure that stops a call at the failing lobe) are applied
// afterwards lobe by lobe in order, so the outcome and every value written are those of solving
// the lobes in turn, one call after the other.

namespace {

template <std::size_t N> struct SearchLanes {
    static constexpr std::size_t kLanes = static_cast<std::size_t>(mathBatchSize(N));
    using Values = std::array<double, kLanes>;
    // Residual F(z) = w − t·z − v·atan(...), open or collapsed form. Lanes past N stay idle.
    Values f, h, m, w, t, v, u, d, A;
    // The arctangent's argument in one form for both: (P − z)·S / ((z − H)·D + B). Open,
    // P = f, S = u, H = h, D = d, B = A; collapsed, P = h, S = 1, D = 0, B = u, which gives
    // (h − z)/u to the last bit.
    Values P, S, H, D, B;
    Values za, Fa, zc, Fc, z, Fz;
    Values point;    // where the round evaluates
    Values residual; // F(point), after the round
    std::array<std::uint8_t, kLanes> limited;
    std::array<std::uint8_t, kLanes> going; // to be evaluated in the next round
    std::array<int, kLanes> iterations;     // regula-falsi iterations this lobe performed
    std::array<SolverOutcome, kLanes> outcome;
};

template <std::size_t N> int iterationCapOf(const SearchLanes<N>& s, std::size_t i) {
    return s.limited[i] ? kLimitedIterationCap : kOpenIterationCap;
}

template <std::size_t N> void end(SearchLanes<N>& s, std::size_t i, SolverOutcome outcome) {
    s.outcome[i] = outcome;
    s.going[i] = 0;
}

// Sets up lane i's search at the trial pressure x; its first point is m.
template <std::size_t N>
void startSearch(SearchLanes<N>& s, std::size_t i, const LobeAirway& a, double x, double pc) {
    s.f[i] = x + pc;
    s.h[i] = x + a.pleuralOffset;
    s.m[i] = a.alveolarPressure;
    s.t[i] = a.t;
    s.u[i] = a.u;
    s.v[i] = a.v;
    s.iterations[i] = 0;
    s.outcome[i] = SolverOutcome::solved;
    s.limited[i] = !(s.f[i] > s.h[i]);
    s.A[i] = a.A;
    s.d[i] = s.f[i] - s.h[i];
    s.P[i] = s.limited[i] ? s.h[i] : s.f[i];
    s.S[i] = s.limited[i] ? 1.0 : s.u[i];
    s.H[i] = s.h[i];
    s.D[i] = s.limited[i] ? 0.0 : s.d[i];
    s.B[i] = s.limited[i] ? s.u[i] : s.A[i];
    // Collapsed at the mouth-side end: the pressure around the airway replaces the downstream
    // pressure.
    s.w[i] = s.m[i] * a.o + (s.limited[i] ? s.h[i] : s.f[i]) * a.r;
    s.za[i] = s.m[i];
    s.point[i] = s.m[i];
    s.going[i] = 1;
}

// Lanes with nothing to do evaluate a harmless open residual.
template <std::size_t N> void idleLanes(SearchLanes<N>& s) {
    for (std::size_t i = N; i < SearchLanes<N>::kLanes; ++i) {
        s.f[i] = s.u[i] = s.d[i] = s.A[i] = s.P[i] = s.S[i] = s.D[i] = s.B[i] = 1.0;
        s.h[i] = s.H[i] = s.m[i] = s.w[i] = s.t[i] = s.v[i] = s.point[i] = 0.0;
        s.limited[i] = 0;
        s.going[i] = 0;
    }
}

// F at every lane's point; whole batches only where a lane of theirs is going.
template <std::size_t N> void evaluate(SearchLanes<N>& s) {
    unsigned batches = 0;
    for (std::size_t i = 0; i < N; ++i)
        if (s.going[i])
            batches |= 1u << (i / kMathBatch);
    takeResiduals({s.P.data(), s.S.data(), s.H.data(), s.D.data(), s.B.data(), s.w.data(),
                   s.t.data(), s.v.data(), s.point.data(), s.residual.data()},
                  batches, static_cast<int>(SearchLanes<N>::kLanes));
}

// With Fz known: the end of the search, or one regula-falsi iteration up to its new point.
template <std::size_t N> void iterate(SearchLanes<N>& s, std::size_t i) {
    if (!(std::fabs(s.Fz[i]) > kSolverTolerance)) {
        end(s, i,
            std::isfinite(s.z[i]) && std::isfinite(s.Fz[i]) ? SolverOutcome::solved
                                                            : SolverOutcome::arithmeticFault);
        return;
    }
    // Past its own cap a lobe fails whatever the lobes before it used.
    if (++s.iterations[i] > iterationCapOf(s, i)) {
        end(s, i, SolverOutcome::iterationCap);
        return;
    }
    if (s.Fz[i] * s.Fc[i] >= 0) {
        s.zc[i] = s.z[i];
        s.Fc[i] = s.Fz[i];
    } else {
        s.za[i] = s.z[i];
        s.Fa[i] = s.Fz[i];
    }
    const double slope = s.Fc[i] - s.Fa[i];
    if (slope == 0.0) {
        end(s, i, SolverOutcome::arithmeticFault);
        return;
    }
    s.z[i] = s.zc[i] - (s.zc[i] - s.za[i]) * s.Fc[i] / slope;
    s.point[i] = s.z[i];
}

// A collapsed airway's first regula-falsi point, once F(m) is known.
template <std::size_t N> void firstLimitedPoint(SearchLanes<N>& s, std::size_t i) {
    s.zc[i] = s.h[i];
    s.Fc[i] = s.w[i] - s.h[i] * s.t[i];
    if (s.Fa[i] * s.Fc[i] <= 0) {
        if (s.Fc[i] - s.Fa[i] == 0.0) {
            end(s, i, SolverOutcome::arithmeticFault);
            return;
        }
        s.z[i] = s.h[i] - (s.h[i] - s.m[i]) * s.Fc[i] / (s.Fc[i] - s.Fa[i]);
        s.point[i] = s.z[i];
    } else if (std::fabs(s.Fa[i]) < kSolverTolerance) {
        s.z[i] = s.m[i];
        s.Fz[i] = s.Fa[i];
        iterate(s, i);
    } else if (std::fabs(s.Fc[i]) < kSolverTolerance) {
        s.z[i] = s.h[i];
        s.Fz[i] = s.Fc[i];
        iterate(s, i);
    } else {
        end(s, i, SolverOutcome::unbracketed);
    }
}

// An open airway's first regula-falsi point, once F((m + f)/2) is known.
template <std::size_t N> void firstOpenPoint(SearchLanes<N>& s, std::size_t i) {
    if (s.Fa[i] * s.Fc[i] > 0) {
        s.za[i] = s.f[i];
        s.Fa[i] = s.w[i] - s.f[i] * s.t[i];
    }
    if (s.Fc[i] - s.Fa[i] == 0.0) {
        end(s, i, SolverOutcome::arithmeticFault);
        return;
    }
    s.z[i] = s.zc[i] - (s.zc[i] - s.za[i]) * s.Fc[i] / (s.Fc[i] - s.Fa[i]);
    s.point[i] = s.z[i];
}

template <std::size_t N> void runSearches(SearchLanes<N>& s) {
    evaluate(s);
    for (std::size_t i = 0; i < N; ++i) {
        s.Fa[i] = s.residual[i];
        if (s.limited[i]) {
            firstLimitedPoint(s, i);
        } else {
            s.zc[i] = (s.m[i] + s.f[i]) / 2;
            s.point[i] = s.zc[i];
        }
    }
    evaluate(s);
    for (std::size_t i = 0; i < N; ++i) {
        if (!s.going[i])
            continue;
        if (s.limited[i]) {
            s.Fz[i] = s.residual[i];
            iterate(s, i);
        } else {
            s.Fc[i] = s.residual[i];
            firstOpenPoint(s, i);
        }
    }
    for (;;) {
        bool any = false;
        for (std::size_t i = 0; i < N; ++i)
            any = any || s.going[i];
        if (!any)
            return;
        evaluate(s);
        for (std::size_t i = 0; i < N; ++i) {
            if (!s.going[i])
                continue;
            s.Fz[i] = s.residual[i];
            iterate(s, i);
        }
    }
}

// One call's effects from the five finished searches from lane `first` on, lobe by lobe in
// order: the iteration count is shared, and a failure ends the call at its lobe.
template <std::size_t N>
SolverOutcome applySearches(ModelState& model, const LobeAirways& airways, const SearchLanes<N>& s,
                            std::size_t first, SolverMode mode, LobeValues& probeFlows) {
    int used = 0;
    SolverOutcome outcome = SolverOutcome::solved;
    for (int k = 0; k < kLobeCount; ++k) {
        const std::size_t i = first + static_cast<std::size_t>(k);
        model.state.flowLimited[k] = s.limited[i] ? 1 : 0;
        // A lobe that needed no iteration never meets the cap.
        if (s.iterations[i] > 0 && used + s.iterations[i] > iterationCapOf(s, i)) {
            used = iterationCapOf(s, i) + 1;
            outcome = SolverOutcome::iterationCap;
            break;
        }
        used += s.iterations[i];
        if (s.outcome[i] != SolverOutcome::solved) {
            outcome = s.outcome[i];
            break;
        }
        const double Q = (s.z[i] - s.m[i]) * airways[k].o;
        if (mode == SolverMode::commit) {
            model.state.lobeFlow[k] = Q;
            if (std::fabs(Q) > 0.001)
                model.state.intermediateEffResistance[k] =
                    (s.f[i] - s.m[i]) / Q - airways[k].peripheralResistance;
        } else {
            probeFlows[k] = Q;
        }
    }
    model.work.solverIterationTotal += used;
    if (outcome != SolverOutcome::solved)
        model.state.solverFailed = 1;
    return outcome;
}

template <std::size_t N>
void startSearches(SearchLanes<N>& s, std::size_t first, const LobeAirways& airways, double x,
                   double pcLeft, double pcRight) {
    for (int k = 0; k < kLobeCount; ++k)
        startSearch(s, first + static_cast<std::size_t>(k), airways[k], x,
                    k < kLeftLobeCount ? pcLeft : pcRight);
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
    SearchLanes<kLobeCount> lanes;
    idleLanes(lanes);
    startSearches(lanes, 0, airways, x, pcLeft, pcRight);
    runSearches(lanes);
    return applySearches(model, airways, lanes, 0, mode, probeFlows);
}

SolverOutcome solveLobeFlowsWithProbe(ModelState& model, const LobeAirways& airways, double x,
                                      double probeX, double pcLeft, double pcRight,
                                      LobeValues& probeFlows) {
    SearchLanes<2 * kLobeCount> lanes;
    idleLanes(lanes);
    startSearches(lanes, 0, airways, x, pcLeft, pcRight);
    startSearches(lanes, kLobeCount, airways, probeX, pcLeft, pcRight);
    runSearches(lanes);
    const SolverOutcome outcome =
        applySearches(model, airways, lanes, 0, SolverMode::commit, probeFlows);
    if (model.state.solverFailed)
        return outcome;
    return applySearches(model, airways, lanes, kLobeCount, SolverMode::probe, probeFlows);
}

} // namespace vm::model

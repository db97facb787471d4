#include "model/flow_limitation_solver.h"

#include "model/batch_math.h"

#include <cmath>
#include <cstdint>

namespace vm::model {

// The lobes' root searches are independent, so they run side by side in lanes, and with them
// those of a second call at another trial pressure (search_rounds.h). An open airway's search
// evaluates F(m), then F((m + f)/2), then its regula-falsi points; a collapsed one's F(m), then its
// points. The order-dependent rules (the shared iteration count and the failure that stops a call
// at the failing lobe) are applied afterwards lobe by lobe in order, so the outcome and every
// value written are those of solving the lobes in turn, one call after the other.

namespace {

template <std::size_t N> struct SearchLanes {
    static constexpr std::size_t kLanes = static_cast<std::size_t>(mathBatchSize(N));
    using Values = std::array<double, kLanes>;
    // Residual F(z) = w − t·z − v·atan((P − z)·S / ((z − H)·D + B)), open or collapsed. Open,
    // P = f, S = u, H = h, D = f − h, B = u²; collapsed, P = h, S = 1, D = 0, B = u, which gives
    // (h − z)/u to the last bit.
    Values f, h, m, w, t, v, P, S, H, D, B;
    Values limited, going; // 1 or 0; lanes past N never go
    Values z, iterations, outcome;

    SearchColumns columns() {
        return {P.data(),     S.data(), H.data(),          D.data(),      B.data(), w.data(),
                t.data(),     v.data(), m.data(),          f.data(),      h.data(), limited.data(),
                going.data(), z.data(), iterations.data(), outcome.data()};
    }
};

template <std::size_t N> int iterationCapOf(const SearchLanes<N>& s, std::size_t i) {
    return s.limited[i] != 0.0 ? kLimitedIterationCap : kOpenIterationCap;
}

// Sets up lane i's search at the trial pressure x.
template <std::size_t N>
void startSearch(SearchLanes<N>& s, std::size_t i, const LobeAirway& a, double x, double pc) {
    const double f = x + pc;
    const double h = x + a.pleuralOffset;
    const bool limited = !(f > h);
    s.f[i] = f;
    s.h[i] = h;
    s.m[i] = a.alveolarPressure;
    s.t[i] = a.t;
    s.v[i] = a.v;
    s.limited[i] = limited ? 1.0 : 0.0;
    s.going[i] = 1.0;
    s.P[i] = limited ? h : f;
    s.S[i] = limited ? 1.0 : a.u;
    s.H[i] = h;
    s.D[i] = limited ? 0.0 : f - h;
    s.B[i] = limited ? a.u : a.A;
    // Collapsed at the mouth-side end: the pressure around the airway replaces the downstream
    // pressure.
    s.w[i] = a.alveolarPressure * a.o + (limited ? h : f) * a.r;
}

// Lanes with nothing to do evaluate a harmless open residual.
template <std::size_t N> void idleLanes(SearchLanes<N>& s) {
    for (std::size_t i = N; i < SearchLanes<N>::kLanes; ++i) {
        s.f[i] = s.P[i] = s.S[i] = s.D[i] = s.B[i] = 1.0;
        s.h[i] = s.H[i] = s.m[i] = s.w[i] = s.t[i] = s.v[i] = 0.0;
        s.limited[i] = s.going[i] = 0.0;
    }
}

template <std::size_t N> void runAll(SearchLanes<N>& s) {
    runSearches(s.columns(), static_cast<int>(SearchLanes<N>::kLanes));
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
        model.state.flowLimited[k] = s.limited[i] != 0.0 ? 1 : 0;
        const int iterations = static_cast<int>(s.iterations[i]);
        // A lobe that needed no iteration never meets the cap.
        if (iterations > 0 && used + iterations > iterationCapOf(s, i)) {
            used = iterationCapOf(s, i) + 1;
            outcome = SolverOutcome::iterationCap;
            break;
        }
        used += iterations;
        if (s.outcome[i] != static_cast<double>(SolverOutcome::solved)) {
            outcome = static_cast<SolverOutcome>(static_cast<int>(s.outcome[i]));
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
    runAll(lanes);
    return applySearches(model, airways, lanes, 0, mode, probeFlows);
}

SolverOutcome solveLobeFlowsWithProbe(ModelState& model, const LobeAirways& airways, double x,
                                      double probeX, double pcLeft, double pcRight,
                                      LobeValues& probeFlows) {
    SearchLanes<2 * kLobeCount> lanes;
    idleLanes(lanes);
    startSearches(lanes, 0, airways, x, pcLeft, pcRight);
    startSearches(lanes, kLobeCount, airways, probeX, pcLeft, pcRight);
    runAll(lanes);
    const SolverOutcome outcome =
        applySearches(model, airways, lanes, 0, SolverMode::commit, probeFlows);
    if (model.state.solverFailed)
        return outcome;
    return applySearches(model, airways, lanes, kLobeCount, SolverMode::probe, probeFlows);
}

} // namespace vm::model

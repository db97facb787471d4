#include "model/flow_limitation_solver.h"

#include "model/simd/batch_math.h"

#include <cmath>

namespace vm::model {

// The lobes' root searches are independent, so they run side by side in lanes, and with them
// those of a second call at another trial pressure (simd/search_rounds.h). An open airway's search
// evaluates F(m), then F((m + f)/2), then its regula-falsi points; a collapsed one's F(m), then its
// points. The order-dependent rules (the shared iteration count and the failure that stops a call
// at the failing lobe) are applied afterwards lobe by lobe in order, so the outcome and every
// value written are those of solving the lobes in turn, one call after the other: what
// solveLobesInTurn (lobe_physics.h) does plainly.

namespace {

LobeColumns columnsOf(const LobeAirways& a) {
    return {a.alveolarPressure.data(),
            a.o.data(),
            a.r.data(),
            a.t.data(),
            a.u.data(),
            a.v.data(),
            a.A.data(),
            a.pleuralOffset.data(),
            a.peripheralResistance.data()};
}

CallOutputs outputsOf(ModelState& model, SolverMode mode, LobeValues& probeFlows) {
    IntegratedState& s = model.state;
    if (mode == SolverMode::commit)
        return {s.lobeFlow.data(), s.intermediateEffResistance.data(), s.flowLimited.data()};
    return {probeFlows.data(), nullptr, s.flowLimited.data()};
}

int iterationCapOf(bool limited) {
    return limited ? kLimitedIterationCap : kOpenIterationCap;
}

// One call's effects from its five finished searches, lobe by lobe in order: the iteration count
// is shared, and a failure ends the call at its lobe.
SolverOutcome applySearches(ModelState& model, const LobeAirways& airways,
                            const SearchResults& results, int call, int calls, double x,
                            double pcLeft, double pcRight, SolverMode mode,
                            LobeValues& probeFlows) {
    if (results.plain) { // the searches have written the call's effects
        model.work.solverIterationTotal += static_cast<int>(results.used[call]);
        return SolverOutcome::solved;
    }
    int used = 0;
    SolverOutcome outcome = SolverOutcome::solved;
    for (int k = 0; k < kLobeCount; ++k) {
        const int i = searchLane(call, k, calls);
        const bool limited = results.limited[i] != 0.0;
        model.state.flowLimited[k] = limited ? 1 : 0;
        const int iterations = static_cast<int>(results.iterations[i]);
        // A lobe that needed no iteration never meets the cap.
        if (iterations > 0 && used + iterations > iterationCapOf(limited)) {
            used = iterationCapOf(limited) + 1;
            outcome = SolverOutcome::iterationCap;
            break;
        }
        used += iterations;
        if (results.outcome[i] != static_cast<double>(SolverOutcome::solved)) {
            outcome = static_cast<SolverOutcome>(static_cast<int>(results.outcome[i]));
            break;
        }
        const double m = airways.alveolarPressure[k];
        const double Q = (results.z[i] - m) * airways.o[k];
        if (mode == SolverMode::commit) {
            model.state.lobeFlow[k] = Q;
            const double f = x + (k < kLeftLobeCount ? pcLeft : pcRight);
            if (std::fabs(Q) > 0.001)
                model.state.intermediateEffResistance[k] =
                    (f - m) / Q - airways.peripheralResistance[k];
        } else {
            probeFlows[k] = Q;
        }
    }
    model.work.solverIterationTotal += used;
    if (outcome != SolverOutcome::solved)
        model.state.solverFailed = 1;
    return outcome;
}

} // namespace

LobeAirways collectLobeAirways(const ModelState& model) {
    LobeAirways a;
    for (int k = 0; k < kLobeCount; ++k) {
        a.alveolarPressure[k] = model.state.alveolarPressure[k];
        a.peripheralResistance[k] = model.state.peripheralResistance[k];
        a.o[k] = 1.0 / a.peripheralResistance[k];
        a.r[k] = 1.0 / model.parameters.intermediateResistance[k].current;
        a.t[k] = a.o[k] + a.r[k];
        a.u[k] = model.parameters.wallStiffness[k].current;
        a.v[k] = a.r[k] * a.u[k];
        a.A[k] = a.u[k] * a.u[k];
        a.pleuralOffset[k] = model.parameters.pleuralOffset[k].current;
    }
    return a;
}

SolverOutcome solveLobeFlows(ModelState& model, double x, double pcLeft, double pcRight,
                             SolverMode mode, LobeValues& probeFlows) {
    return solveLobeFlows(model, collectLobeAirways(model), x, pcLeft, pcRight, mode, probeFlows);
}

SolverOutcome solveLobeFlows(ModelState& model, const LobeAirways& airways, double x, double pcLeft,
                             double pcRight, SolverMode mode, LobeValues& probeFlows) {
    SearchResults results;
    const CallOutputs outputs = outputsOf(model, mode, probeFlows);
    runLobeSearches(columnsOf(airways), &x, 1, pcLeft, pcRight, &outputs, results);
    return applySearches(model, airways, results, 0, 1, x, pcLeft, pcRight, mode, probeFlows);
}

SolverOutcome solveLobeFlowsWithProbe(ModelState& model, const LobeAirways& airways, double x,
                                      double probeX, double pcLeft, double pcRight,
                                      LobeValues& probeFlows) {
    const double trials[] = {x, probeX};
    SearchResults results;
    const CallOutputs outputs[] = {outputsOf(model, SolverMode::commit, probeFlows),
                                   outputsOf(model, SolverMode::probe, probeFlows)};
    runLobeSearches(columnsOf(airways), trials, 2, pcLeft, pcRight, outputs, results);
    const SolverOutcome outcome = applySearches(model, airways, results, 0, 2, x, pcLeft, pcRight,
                                                SolverMode::commit, probeFlows);
    if (model.state.solverFailed)
        return outcome;
    return applySearches(model, airways, results, 1, 2, probeX, pcLeft, pcRight, SolverMode::probe,
                         probeFlows);
}

} // namespace vm::model

#pragma once
// For every lobe, the pressure at the junction of the peripheral and the collapsible
// intermediate airway at which both carry the same flow, and from it the lobe's airway flow.
// An intermediate airway whose mouth-side pressure is at or below its surroundings has
// collapsed there: its flow no longer depends on the pressure downstream (flow limitation).

#include "model/model_state.h"
#include "model/solver_outcome.h"

namespace vm::model {

enum class SolverMode {
    commit, // the flows become the model's lobe flows
    probe,  // the flows go to the caller only
};

// What the solver needs of the lobes, one element a lobe; fixed within a substep, so the model
// step works it out once for the three calls.
struct LobeAirways {
    LobeValues alveolarPressure;     // m
    LobeValues peripheralResistance; // R1
    LobeValues o;                    // 1/R1
    LobeValues r;                    // 1/R2
    LobeValues t;                    // o + r
    LobeValues u;                    // wallStiffness
    LobeValues v;                    // r*u
    LobeValues A;                    // u*u
    LobeValues pleuralOffset;
};

LobeAirways collectLobeAirways(const ModelState& model);

// Solves all five lobes at the trial pleural pressure x (kPa) with the central transmural
// pressures pcLeft and pcRight. Writes flowLimited in both modes; in commit mode the lobe flows
// and, where |flow| > 0.001, intermediateEffResistance; in probe mode the flows go to probeFlows.
// On failure sets solverFailed and returns at once, leaving the later lobes unsolved.
SolverOutcome solveLobeFlows(ModelState& model, double x, double pcLeft, double pcRight,
                             SolverMode mode, LobeValues& probeFlows);
SolverOutcome solveLobeFlows(ModelState& model, const LobeAirways& airways, double x, double pcLeft,
                             double pcRight, SolverMode mode, LobeValues& probeFlows);

// The first two calls of a substep at once: commit at x, then, unless solverFailed is set after
// it, probe at probeX. The effects are those of the two calls in turn; the two searches run
// side by side.
SolverOutcome solveLobeFlowsWithProbe(ModelState& model, const LobeAirways& airways, double x,
                                      double probeX, double pcLeft, double pcRight,
                                      LobeValues& probeFlows);

} // namespace vm::model

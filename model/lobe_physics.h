#pragma once
// A lobe's physics written for a reader, one lobe at a time: its tissue (recoil, alveolar gas,
// peripheral airway), the search for the pressure where its peripheral airway meets the
// collapsible intermediate airway, a call's five searches in turn, and the lobe's Euler step with
// its plausibility test. The model step runs the same laws several lobes and calls at once in
// vector lanes (simd/batch_math.h); these say what those compute, and the tests hold the lanes
// to them. Units: litres, l/s, kPa, s; pressures relative to atmospheric.

#include "model/flow_limitation_solver.h"
#include "model/model_state.h"
#include "model/solver_outcome.h"

namespace vm::model {

// Tissue ------------------------------------------------------------------------------------------

// The lobe's elastic recoil by the tangent law: tan(π/2·(V/Vmax − 0.17))/scale, zero at 17 % of
// its largest volume, growing without bound as V nears 1.17·Vmax.
double elasticRecoilAt(double volume_l, double maxVolume_l, double elasticScale);

// The alveolar gas's pressure by Boyle's law. The gas compression is the gas the lobe holds
// beyond what fills its volume at atmospheric pressure (litres at atmospheric pressure).
double alveolarPressureAt(double atmosphericPressure_kPa, double gasCompression_l, double volume_l);

// The volume the peripheral airway's law takes for a lobe: never below 0.1 ml above the minimal
// volume, so that a lobe emptied to it keeps a large but finite resistance.
double openPeripheralVolume(double volume_l, double minVolume_l);

// The peripheral (small) airways' conductance, conductance·(∛V − ∛Vmin)⁴ at the open volume:
// they narrow as the lobe empties and close at its minimal volume. The resistance R1 is its
// reciprocal.
double peripheralConductanceAt(double conductance, double volume_l, double minVolume_l);
double peripheralResistanceAt(double conductance, double volume_l, double minVolume_l);

// Junction searches -------------------------------------------------------------------------------

// One lobe's airway from its alveoli (pressure m) through the peripheral airway (resistance R1) to
// the junction (pressure z) and on through the collapsible intermediate airway (resistance R2) to
// its lung's central compartment (pressure f). The intermediate airway's conductance at pressure
// P inside it is (1/R2)·y²/(1 + y²), y = (P − h)/u: h the local pleural pressure around it, u its
// wall stiffness. Where f ≤ h the airway has collapsed at its mouth-side end and carries the flow
// it would carry to h, whatever lies downstream: the flow is limited.
struct LobeAirway {
    double alveolarPressure_kPa;    // m
    double peripheralResistance;    // R1
    double peripheralConductance;   // 1/R1, as the tissue gives it
    double intermediateConductance; // 1/R2
    double wallStiffness_kPa;       // u
    double pleuralOffset_kPa;       // the local pleural pressure less the pleural pressure
};

LobeAirway lobeAirwayOf(const LobeAirways& airways, int lobe);

struct JunctionSearch {
    SolverOutcome outcome;
    bool flowLimited;            // collapsed at its mouth-side end
    double junctionPressure_kPa; // z, where both airways carry the same flow
    double flow_lps;             // the lobe's airway flow, (z − m)/R1: negative out of the lobe
};

// The search for z by regula falsi, for a lobe whose central compartment is at f and whose
// surroundings are at h. The lobes of a call share one iteration count, iterationsUsed, which
// goes on from the lobes searched before: a search gives up once the count passes its cap
// (kOpenIterationCap, or kLimitedIterationCap for a collapsed airway), leaving it one past the
// cap.
JunctionSearch searchJunctionPressure(const LobeAirway& lobe, double centralPressure_kPa,
                                      double localPleuralPressure_kPa, int& iterationsUsed);

// One call of the flow-limitation solver, its five lobes searched in turn at the trial pleural
// pressure x with the central transmural pressures of the two lungs, with the effects that
// solveLobeFlows has: a failing lobe ends the call there and sets solverFailed.
SolverOutcome solveLobesInTurn(ModelState& model, const LobeAirways& airways, double x,
                               double pcLeft, double pcRight, SolverMode mode,
                               LobeValues& probeFlows);

// The Euler step ----------------------------------------------------------------------------------

// What a lobe's step takes: the tissue's drive, G·(m − pleural offset − recoil), is the rate at
// which its tissue would let the volume grow at zero pleural pressure, G = 1/tissue resistance.
struct LobeBeforeStep {
    double tissueDrive_lps;
    double tissueConductance;
    double airwayFlow_lps;
    double elasticRecoil_kPa;
    double peripheralResistance;
    double effectiveIntermediateResistance;
    double gasCompression_l;
    double volume_l;
};

struct LobeAfterStep {
    double volumeRate_lps;
    double gasCompression_l;
    double volume_l;
};

// One substep of length dt at the solved pleural pressure: the volume grows at the drive less
// the pleural pressure's share, and what flows in through the airway without going to the volume
// compresses the gas.
LobeAfterStep advanceLobe(const LobeBeforeStep& lobe, double pleuralPressure_kPa, double dt_s);

// Whether the lobe's state after its step is one the model can go on from: gas compression at
// most 2, volume within [0.01, 6], |flow| and |volume rate| at most 40, recoil within [0.01, 10],
// both resistances finite; a NaN anywhere fails.
bool lobeStaysPlausible(const LobeBeforeStep& before, const LobeAfterStep& after);

} // namespace vm::model

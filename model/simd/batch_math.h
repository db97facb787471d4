#pragma once
// Arctangents, tangents and cube roots of several values at once, and the lobes' root searches,
// tissue and Euler step, four to a vector instruction where the processor has AVX2 and FMA, two
// otherwise: the one header the model includes of the vector arms. The arctangent is the
// searches' own (arctangent_lanes.h), to 1.1e-13 relative, the tangent and cube root the lobe
// tissue's (tissue_rounds.h), to a few ulp. What each computes, one lobe at a time and plainly,
// is model/lobe_physics.h; the tests hold these to it.

#include "model/model_constants.h"

#include <cstdint>
#include <span>

namespace vm::model {

inline constexpr int kMathBatch = 4;

// The number of values to pass for count of them: count rounded up to a whole batch.
constexpr int mathBatchSize(int count) {
    return (count + kMathBatch - 1) / kMathBatch * kMathBatch;
}

// From now on every batched function on the arm that every x86-64 processor has, or again on the
// best this one has; tests compare the two.
void usePortableMathOnly(bool portable);

// Each replaces every value by its function's value; the size must be a multiple of kMathBatch.
void takeArctangents(std::span<double> values);
void takeTangents(std::span<double> values);
void takeCubeRoots(std::span<double> values);

// What the lobes' tissue takes of each lobe, one element a lobe.
struct LobeTissueColumns {
    double volume[kLobeCount];
    double inverseMaxVolume[kLobeCount];
    double inverseElasticScale[kLobeCount];
    double gasCompression[kLobeCount];
    double minVolume[kLobeCount];
    double minVolumeRoot[kLobeCount]; // cube root of minVolume
    double conductance[kLobeCount];   // the peripheral airway's conductance parameter
    double atmosphericPressure;
};

// And what it gives: the recoil (tangent law), the alveolar pressure (gas law) and the peripheral
// airway's conductance·(∛V − ∛Vmin)⁴ with its reciprocal, the resistance.
struct LobeTissue {
    double elasticRecoil[kLobeCount];
    double alveolarPressure[kLobeCount];
    double peripheralConductance[kLobeCount];
    double peripheralResistance[kLobeCount];
};

void takeLobeTissue(const LobeTissueColumns& lobes, LobeTissue& tissue);

// What the lobes' root searches need of each lobe, one element a lobe (see LobeAirways).
struct LobeColumns {
    const double* m; // alveolar pressure
    const double* o; // 1/R1
    const double* r; // 1/R2
    const double* t; // o + r
    const double* u; // wall stiffness
    const double* v; // r·u
    const double* A; // u²
    const double* pleuralOffset;
    const double* R1; // peripheral resistance
};

// The searches of one call, or of two at different trial pressures, in lanes: lobes 0 to 3 of
// each call fill a vector of their own, the last lobe of every call shares one.
inline constexpr int kSearchLanes = 3 * kMathBatch;
static_assert(kLobeCount == kMathBatch + 1);

constexpr int searchLane(int call, int lobe, int calls) {
    return lobe < kMathBatch ? kMathBatch * call + lobe : kMathBatch * calls + call;
}

// Where a call's effects go when every search of the call pair solved plainly: its lobe flows
// (the model's or the probe's), its effective resistances (none for a probe; each taken only
// where |flow| > 0.001, as a committed call does) and the collapsed flags.
struct CallOutputs {
    double* flow;
    double* effectiveResistance;
    std::uint8_t* flowLimited;
};

struct SearchResults {
    double z[kSearchLanes];          // the root found
    double iterations[kSearchLanes]; // regula-falsi iterations the search performed
    double outcome[kSearchLanes];    // how it ended, a SolverOutcome as a number
    double limited[kSearchLanes];    // 1 where the airway has collapsed at its mouth-side end
    double flow[kSearchLanes];       // the lobe's flow at that root, (z − m)·o
    double effectiveResistance[kSearchLanes]; // (f − m)/flow − R1, for the committed calls
    // Every search solved, none with more iterations than the lobes of a call may share under
    // the smaller cap, so the order-dependent rules cannot end a call: then the searches have
    // written each call's effects to its CallOutputs, and used[call] holds its iterations, and
    // the lanes above are left unwritten.
    bool plain;
    double used[2];
};

// Runs the lobes' searches of `calls` (1 or 2) calls at the trial pressures x[0..calls), with the
// central transmural pressures of the two lungs, each to its end; the residual is F(z) = w − t·z −
// v·atan(...), in its open or collapsed form.
void runLobeSearches(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                     double pcRight, const CallOutputs* outputs, SearchResults& results);

// The lobes' Euler step at the solved pleural pressure: volume rate A_k − P·G_k, then the gas
// compression and volume over dt, in place; one element a lobe.
struct LobeAdvance {
    const double* drive;             // A_k
    const double* tissueConductance; // G_k
    const double* flow;
    const double* recoil;
    const double* peripheralResistance;
    const double* effectiveResistance;
    double* volumeRate;
    double* gasCompression;
    double* volume;
    double pleuralPressure;
    double dt;
};

// Returns whether every lobe stays plausible: gas compression at most 2, volume within
// [0.01, 6], |flow| and |volume rate| at most 40, recoil within [0.01, 10], both resistances
// finite; a NaN fails.
bool advanceLobes(const LobeAdvance& lobes);

} // namespace vm::model

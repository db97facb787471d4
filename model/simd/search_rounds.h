#pragma once
// The lobes' root searches in lanes, four to a vector: every round works out the residual of
// every lane at once and takes one step of every search still going, its branches as lane masks.
// Lane code of the arms of batch_math.h, with internal linkage as lanes.h. A lane follows the
// plain search of model/lobe_physics.cpp step for step: apart from the arctangent and the
// residual's last product, fused, every sum, product and quotient is rounded as written there.
// The order-dependent rules of a call are applied by flow_limitation_solver.cpp.

#include "model/simd/arctangent_lanes.h"
#include "model/simd/batch_math.h"
#include "model/simd/lanes.h"
#include "model/solver_outcome.h"

#include <cmath>
#include <utility>

namespace vm::model {
namespace {

Lanes4 code4(SolverOutcome outcome) {
    return splat4(static_cast<double>(outcome));
}

// Only what a round needs lives through the rounds: whether an airway has collapsed is read off D,
// which is zero then and positive otherwise, and its iteration cap off that.
struct SearchBatch {
    Lanes4 P, S, H, D, B, w, t, minusV; // see startBatch
    Lanes4 cap;                         // the lane's iteration cap
    Lanes4 m, f;                        // for the first round only
    Lanes4 za, Fa, zc, Fc, z, Fz;
    Lanes4 iterations, outcome;
    Mask4 going;
};

Mask4 limitedOf(const SearchBatch& b) {
    return ~(b.D > 0.0);
}

// One lane's lobe, or four lanes' lobes, as the searches need them.
struct LobeLanes {
    Lanes4 m, o, r, t, u, v, A, pleuralOffset, R1, pc;
};

LobeLanes firstLobes(const LobeColumns& c, double pcLeft, double pcRight) {
    static_assert(kLeftLobeCount == 2);
    return {load4(c.m),  load4(c.o),
            load4(c.r),  load4(c.t),
            load4(c.u),  load4(c.v),
            load4(c.A),  load4(c.pleuralOffset),
            load4(c.R1), Lanes4{pcLeft, pcLeft, pcRight, pcRight}};
}

LobeLanes lastLobe(const LobeColumns& c, double pcRight) {
    constexpr int k = kMathBatch;
    return {splat4(c.m[k]),  splat4(c.o[k]), splat4(c.r[k]), splat4(c.t[k]),
            splat4(c.u[k]),  splat4(c.v[k]), splat4(c.A[k]), splat4(c.pleuralOffset[k]),
            splat4(c.R1[k]), splat4(pcRight)};
}

// The searches of the lobes in l at the trial pressures x, each starting at its alveolar pressure.
SearchBatch startBatch(const LobeLanes& l, Lanes4 x, Mask4 going) {
    SearchBatch b;
    b.f = x + l.pc;
    const Lanes4 h = x + l.pleuralOffset;
    b.m = l.m;
    b.t = l.t;
    b.minusV = -l.v;
    const Mask4 limited = ~(b.f > h);
    // The arctangent's argument in one form for both: open, (f − z)·u / ((z − h)·(f − h) + u²);
    // collapsed, (h − z)·1 / ((z − h)·0 + u), which gives (h − z)/u to the last bit. Collapsed at
    // its mouth-side end, the pressure around the airway replaces the downstream pressure.
    b.P = select4(limited, h, b.f);
    b.S = select4(limited, splat4(1.0), l.u);
    b.H = h;
    b.D = select4(limited, splat4(0.0), b.f - h);
    b.B = select4(limited, l.u, l.A);
    b.w = l.m * l.o + b.P * l.r;
    b.cap = select4(limited, splat4(kLimitedIterationCap), splat4(kOpenIterationCap));
    b.going = going;
    b.za = b.m;
    b.Fa = b.zc = b.Fc = b.z = b.Fz = b.iterations = splat4(0.0);
    b.outcome = code4(SolverOutcome::solved);
    return b;
}

// A finished batch's lanes for the lobe-by-lobe rules: the roots, how each search ended, the flows
// and, for the committed calls, the effective resistances.
void storeBatch(SearchResults& results, int first, const SearchBatch& b, const LobeLanes& l,
                bool committed) {
    store4(results.z + first, b.z);
    store4(results.iterations + first, b.iterations);
    store4(results.outcome + first, b.outcome);
    store4(results.limited + first, select4(limitedOf(b), splat4(1.0), splat4(0.0)));
    const Lanes4 Q = (b.z - l.m) * l.o;
    store4(results.flow + first, Q);
    if (committed)
        store4(results.effectiveResistance + first, (b.f - l.m) / Q - l.R1);
}

// f(b[0]), f(b[1]), ... written out, so that the vectors' values can stay in registers.
template <int Batches, typename F> [[gnu::always_inline]] inline void forEachBatch(F f) {
    [&]<int... I>(std::integer_sequence<int, I...>) {
        (f(I), ...);
    }
    (std::make_integer_sequence<int, Batches>{});
}

// Whether every search of the batches solved with no more iterations than the lobes of a call
// may share under the smaller cap.
template <int Batches> bool plainOf(const SearchBatch (&b)[Batches]) {
    constexpr double kShare = kLimitedIterationCap / kLobeCount;
    Mask4 faulted = Mask4{};
    forEachBatch<Batches>([&](int i) {
        faulted |= (b[i].outcome != code4(SolverOutcome::solved)) | (b[i].iterations > kShare);
    });
    return !any4(faulted);
}

// One call's effects, its lobes 0 to 3 in `b` and its last lobe in lane `lane` of `last`; returns
// the iterations it used.
[[gnu::always_inline]] inline double writeCall(const CallOutputs& out, const SearchBatch& b,
                                               const LobeLanes& l, const SearchBatch& last,
                                               const LobeLanes& ll, int lane) {
    static_assert(kLobeCount == kMathBatch + 1);
    const Lanes4 Q = (b.z - l.m) * l.o;
    const Lanes4 lastQ = (last.z - ll.m) * ll.o;
    store4(out.flow, Q);
    out.flow[kMathBatch] = lastQ[lane];
    if (out.effectiveResistance) {
        double* R = out.effectiveResistance;
        store4(R, select4(magnitude4(Q) > 0.001, (b.f - l.m) / Q - l.R1, load4(R)));
        if (std::fabs(lastQ[lane]) > 0.001)
            R[kMathBatch] = (last.f[lane] - ll.m[lane]) / lastQ[lane] - ll.R1[lane];
    }
    const Mask4 limited = limitedOf(b);
    for (int k = 0; k < kMathBatch; ++k)
        out.flowLimited[k] = limited[k] != 0;
    out.flowLimited[kMathBatch] = limitedOf(last)[lane] != 0;
    const Lanes4 n = b.iterations;
    return ((n[0] + n[1]) + (n[2] + n[3])) + last.iterations[lane];
}

[[gnu::always_inline]] inline Lanes4 residual(const SearchBatch& b, Lanes4 z) {
    // w − t·z − v·atan(n/d), the quotient's sign carried by v and the last product fused, so
    // that the arctangent's chain ends in one instruction.
    const Lanes4 n = (b.P - z) * b.S;
    const Lanes4 d = (z - b.H) * b.D + b.B;
    const Lanes4 minusV = (Lanes4)((Mask4)b.minusV ^ quotientSign4(n, d));
    return multiplyAdd4(minusV, arctangentOfRatio4(magnitude4(n), magnitude4(d)), b.w - b.t * z);
}

// The lanes of `ending` stop with `outcome`; every lane starts out solved.
[[gnu::always_inline]] inline void end(SearchBatch& b, Mask4 ending, SolverOutcome outcome) {
    if (outcome != SolverOutcome::solved)
        b.outcome = select4(ending, code4(outcome), b.outcome);
    b.going &= ~ending;
}

// For the going lanes of `active`, with Fz known: the end of the search, or one regula-falsi
// iteration up to its new point z. A residual within the tolerance has a finite z, since an
// infinite or NaN z gives an infinite or NaN residual; so only a NaN residual is unsound.
[[gnu::always_inline]] inline void iterate(SearchBatch& b, Mask4 active) {
    Mask4 a = active & b.going;
    const Mask4 unsound = a & (b.Fz != b.Fz);
    const Mask4 converged = a & (magnitude4(b.Fz) <= kSolverTolerance);
    end(b, converged, SolverOutcome::solved);
    a &= ~(converged | unsound);
    b.iterations += (Lanes4)(a & (Mask4)splat4(1.0));
    // Past its own cap a lobe fails whatever the lobes before it used.
    const Mask4 capped = a & (b.iterations > b.cap);
    end(b, capped, SolverOutcome::iterationCap);
    a &= ~capped;
    const Mask4 towardsC = b.Fz * b.Fc >= 0.0;
    b.zc = select4((a & towardsC), b.z, b.zc);
    b.Fc = select4((a & towardsC), b.Fz, b.Fc);
    b.za = select4((a & ~towardsC), b.z, b.za);
    b.Fa = select4((a & ~towardsC), b.Fz, b.Fa);
    const Lanes4 slope = b.Fc - b.Fa;
    const Mask4 flat = a & (slope == 0.0);
    end(b, unsound | flat, SolverOutcome::arithmeticFault);
    a &= ~flat;
    b.z = select4(a, b.zc - (b.zc - b.za) * b.Fc / slope, b.z);
}

// F(m) known, and for an open airway F at the midpoint zc as well: the first point of every
// search, by one regula-falsi formula. A collapsed airway brackets its root between m and h, an
// open one between the midpoint and m, or f where m gives the midpoint's sign. A collapsed airway
// without a bracket ends, unless m or h is a root already.
[[gnu::always_inline]] inline void startSearches(SearchBatch& b, Lanes4 Fmid) {
    const Mask4 limited = limitedOf(b);
    const Mask4 L = b.going & limited;
    const Mask4 open = b.going & ~limited;
    b.zc = select4(limited, b.H, b.zc);
    b.Fc = select4(limited, b.w - b.H * b.t, Fmid);
    const Mask4 outside = open & (b.Fa * b.Fc > 0.0);
    b.za = select4(outside, b.f, b.za);
    b.Fa = select4(outside, b.w - b.f * b.t, b.Fa);
    const Lanes4 slope = b.Fc - b.Fa;
    const Mask4 bracketed = L & (b.Fa * b.Fc <= 0.0);
    const Mask4 stepping = open | bracketed;
    const Mask4 flat = stepping & (slope == 0.0);
    b.z = select4(stepping & ~flat, b.zc - (b.zc - b.za) * b.Fc / slope, b.z);
    end(b, flat, SolverOutcome::arithmeticFault);
    const Mask4 unbracketed = L & ~bracketed;
    if (any4(unbracketed)) { // rare: a collapsed airway whose ends have one sign
        const Mask4 atM = unbracketed & within4(b.Fa, kSolverTolerance);
        const Mask4 atH = unbracketed & ~atM & within4(b.Fc, kSolverTolerance);
        b.z = select4(atM, b.m, select4(atH, b.H, b.z));
        b.Fz = select4(atM, b.Fa, select4(atH, b.Fc, b.Fz));
        iterate(b, atM | atH);
        end(b, unbracketed & ~atM & ~atH, SolverOutcome::unbracketed);
    }
}

template <int Batches> void runSearchRounds(SearchBatch (&b)[Batches]) {
    // An open airway's midpoint does not depend on F(m): both are worked out in the first round,
    // the midpoint's wasted on collapsed airways, whose next point needs F(m).
    Lanes4 Fmid[Batches];
    forEachBatch<Batches>([&](int i) {
        b[i].zc = (b[i].m + b[i].f) / 2.0;
        b[i].Fa = residual(b[i], b[i].m);
        Fmid[i] = residual(b[i], b[i].zc);
    });
    forEachBatch<Batches>([&](int i) { startSearches(b[i], Fmid[i]); });
    for (;;) {
        Mask4 going = Mask4{};
        forEachBatch<Batches>([&](int i) { going |= b[i].going; });
        if (!any4(going))
            break;
        forEachBatch<Batches>([&](int i) {
            b[i].Fz = residual(b[i], b[i].z);
            iterate(b[i], b[i].going);
        });
    }
}

void runLobeSearchesOf(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                       double pcRight, const CallOutputs* outputs, SearchResults& results) {
    const LobeLanes first = firstLobes(lobes, pcLeft, pcRight);
    const LobeLanes last = lastLobe(lobes, pcRight);
    const Mask4 all = Mask4{} == 0;
    if (calls == 2) {
        SearchBatch b[3] = {startBatch(first, splat4(x[0]), all),
                            startBatch(first, splat4(x[1]), all),
                            startBatch(last, Lanes4{x[0], x[1], x[0], x[0]}, Mask4{-1, -1, 0, 0})};
        runSearchRounds(b);
        results.plain = plainOf(b);
        if (results.plain) {
            results.used[0] = writeCall(outputs[0], b[0], first, b[2], last, 0);
            results.used[1] = writeCall(outputs[1], b[1], first, b[2], last, 1);
            return;
        }
        storeBatch(results, 0, b[0], first, true);
        storeBatch(results, kMathBatch, b[1], first, false);
        storeBatch(results, 2 * kMathBatch, b[2], last, true);
    } else {
        SearchBatch b[2] = {startBatch(first, splat4(x[0]), all),
                            startBatch(last, splat4(x[0]), Mask4{-1, 0, 0, 0})};
        runSearchRounds(b);
        results.plain = plainOf(b);
        if (results.plain) {
            results.used[0] = writeCall(outputs[0], b[0], first, b[1], last, 0);
            return;
        }
        storeBatch(results, 0, b[0], first, true);
        storeBatch(results, kMathBatch, b[1], last, true);
    }
}

} // namespace
} // namespace vm::model

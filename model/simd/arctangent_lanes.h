#pragma once
// The searches' arctangent in lanes, fitted rather than a library's, so that it stays in
// registers among the searches' own values. Lane code of the arms of batch_math.h, with
// internal linkage as lanes.h.

#include "model/simd/lanes.h"

namespace vm::model {
namespace {

// The quotient q = n/d is brought to |s| ≤ tan(π/8) with one division: s = |n|/|d| below
// tan(π/8), (|n| − |d|)/(|n| + |d|) with π/4 added up to tan(3π/8), −|d|/|n| with π/2 added
// beyond. There atan(s) = s + s·t·u(t) with t = s² and u of degree 7 fitted at the Chebyshev
// nodes of [0, tan²(π/8)] by tools/fit-arctangent.py, taken by Estrin's scheme for a short chain.
// It is 1.1e-13 relative at most from the C library's: a residual moves by less than 1e-12 of
// the searches' tolerance, and three degrees fewer save a twentieth of a whole run.
[[gnu::always_inline]] inline Lanes4 arctangentOfRatio4(Lanes4 a, Lanes4 b) { // a, b ≥ 0
    static constexpr double kU[] = {
        // u's coefficients from t⁰ up
        -0.33333333333266196, 0.19999999949854794, -0.142857081103604,   0.11110819716745676,
        -0.09084101895346429, 0.07604800046078292, -0.06027307460946675, 0.03295679541870136,
    };
    const Mask4 large = a > b * 2.414213562373095;
    const Mask4 middle = a > b * 0.41421356237309503;
    const Lanes4 s = select4(large, -b, select4(middle, a - b, a)) /
                     select4(large, a, select4(middle, a + b, b));
    const Lanes4 offset = select4(large, splat4(1.5707963267948966),
                                  select4(middle, splat4(0.7853981633974483), splat4(0.0)));
    const Lanes4 t = s * s;
    const Lanes4 t2 = t * t;
    const Lanes4 t4 = t2 * t2;
    const auto pair = [&](int j) { return multiplyAdd4(splat4(kU[j + 1]), t, splat4(kU[j])); };
    const Lanes4 r0 = multiplyAdd4(pair(2), t2, pair(0));
    const Lanes4 r1 = multiplyAdd4(pair(6), t2, pair(4));
    const Lanes4 u = multiplyAdd4(r1, t4, r0);
    // The offset joins the sum in the same rounding: one addition fewer on the way.
    return multiplyAdd4(s, t * u, s + offset);
}

[[gnu::always_inline]] inline Lanes4 arctangentOfQuotient4(Lanes4 numerator, Lanes4 denominator) {
    const Lanes4 r = arctangentOfRatio4(magnitude4(numerator), magnitude4(denominator));
    return (Lanes4)((Mask4)r ^ quotientSign4(numerator, denominator));
}

// values[0..count) replaced by their arctangents, count a multiple of 4; so that the test of the
// batched functions covers the searches' own.
void takeArctangentsOf(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        store4(values + i, arctangentOfQuotient4(load4(values + i), splat4(1.0)));
}

} // namespace
} // namespace vm::model

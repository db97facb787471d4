#pragma once
// Four doubles to a vector, the lane code's basics. Included by the arms of batch_math.h only
// (batch_math_portable.cpp, batch_math_avx2.cpp), each of which defines multiplyAdd4, select4 and
// any4 for its own instructions; everything here and in the rounds headers has internal linkage,
// so neither arm's copy can stand in for the other's.

namespace vm::model {
namespace {

using Lanes4 = double __attribute__((vector_size(4 * sizeof(double))));
using Mask4 = decltype(Lanes4{} < Lanes4{});

Lanes4 multiplyAdd4(Lanes4 a, Lanes4 b, Lanes4 c); // a·b + c, fused where the arm can
Lanes4 select4(Mask4 m, Lanes4 a, Lanes4 b);       // a where m is set, else b
bool any4(Mask4 m);                                // whether any lane of m is set

Lanes4 load4(const double* p) {
    Lanes4 v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

void store4(double* p, Lanes4 v) {
    __builtin_memcpy(p, &v, sizeof v);
}

Lanes4 splat4(double x) {
    return Lanes4{x, x, x, x};
}

// |x| < limit, false for a NaN as with fabs.
Mask4 within4(Lanes4 x, double limit) {
    return (x < limit) & (x > -limit);
}

Mask4 signBit4() {
    return (Mask4)splat4(-0.0);
}

// n's sign bit flipped by d's: the sign of n/d.
Mask4 quotientSign4(Lanes4 numerator, Lanes4 denominator) {
    return ((Mask4)numerator ^ (Mask4)denominator) & signBit4();
}

Lanes4 magnitude4(Lanes4 x) {
    return (Lanes4)((Mask4)x & ~signBit4());
}

} // namespace
} // namespace vm::model

#pragma once
// The lobes' tissue in lanes, four to a vector: the recoil law's tangent and the peripheral
// airway's cube root, then the lobes' recoil, alveolar pressure and peripheral conductance as
// model/lobe_physics.cpp states them for one lobe. Lane code of the arms of batch_math.h, with
// internal linkage as lanes.h. Each function here covers the arguments the model can give and
// more; a lane outside its reach is left to the C library's function by the caller.

#include "model/simd/batch_math.h"
#include "model/simd/lanes.h"

#include <cmath>
#include <numbers>

namespace vm::model {
namespace {

using Bits4 = unsigned long long __attribute__((vector_size(4 * sizeof(double))));

// tan(x) for |x| < kTangentReach: x less the nearest multiple j of π/2 (π/2 in three parts, so
// that j·part is exact for every j in reach), z, then tan(z) = z·(Q(w) + w·P(w))/Q(w), w = z²,
// the rational form of the Cephes library, and −1/tan(z) for an odd j, either with one
// division. Within 2 ulp of the C library's over the model's range.
inline constexpr double kTangentReach = 0x1p20;

[[gnu::always_inline]] inline Lanes4 tangent4(Lanes4 x) {
    static constexpr double kP[] = {-1.30936939181383777646e4, 1.15351664838587416140e6,
                                    -1.79565251976484877988e7};
    static constexpr double kQ[] = {1.36812963470692954678e4, -1.32089234440210967447e6,
                                    2.50083801823357915839e7, -5.38695755929454629881e7};
    static constexpr double kHalfPi[] = {1.570796310901641845703125, 1.589325471229585673428e-8,
                                         6.12323399573676588614e-17};
    constexpr double kRound = 0x1.8p52; // adding it rounds to an integer in the low bits
    const Lanes4 shifted = x * (2 / std::numbers::pi) + kRound;
    const Mask4 odd = (Mask4)(((Bits4)shifted & 1) != 0);
    const Lanes4 j = shifted - kRound;
    const Lanes4 z = ((x - j * kHalfPi[0]) - j * kHalfPi[1]) - j * kHalfPi[2];
    const Lanes4 w = z * z;
    const Lanes4 p = (kP[0] * w + kP[1]) * w + kP[2];
    const Lanes4 q = (((w + kQ[0]) * w + kQ[1]) * w + kQ[2]) * w + kQ[3];
    const Lanes4 n = z * (q + w * p);
    return select4(odd, -q, n) / select4(odd, n, q);
}

// The cube root of a positive normal x below 2¹⁰²⁰ (2t³ stays finite): a first guess from x's
// exponent bits divided by three, a polynomial to 23 bits (the C library of musl's way), rounded so
// that its square is exact, then one step of Halley's, t·(1 + (x − t³)/(2t³ + x)): within 1 ulp of
// the true root, a few ulp of the C library's.
[[gnu::always_inline]] inline Lanes4 cubeRoot4(Lanes4 x) {
    static constexpr double kC[] = {1.87595182427177009643, -1.88497979543377169875,
                                    1.621429720105354466140, -0.758397934778766047437,
                                    0.145996192886612446982};
    constexpr double kTwo52 = 0x1p52;
    constexpr double kThirdBias = 715094163; // (1023 − 1023/3 − 0.03306235651)·2²⁰
    const Bits4 magic = (Bits4)splat4(kTwo52);
    // The upper word as a number: its bits put under 2⁵² and 2⁵² taken away.
    const Lanes4 upper = (Lanes4)(((Bits4)x >> 32) | magic) - kTwo52;
    const Bits4 guessUpper = (Bits4)(upper * (1.0 / 3) + kThirdBias + kTwo52) - magic;
    Lanes4 t = (Lanes4)(guessUpper << 32);
    Lanes4 r = (t * t) * (t / x);
    t = t * ((kC[0] + r * (kC[1] + r * kC[2])) + ((r * r) * r) * (kC[3] + r * kC[4]));
    t = (Lanes4)(((Bits4)t + 0x80000000ull) & 0xffffffffc0000000ull);
    const Lanes4 cube = t * t * t; // t·t exact
    return t + t * ((x - cube) / ((cube + cube) + x));
}

// The C library's function in the lanes of `outside`, out of line: no lane the model gives goes
// there.
[[gnu::noinline]] Lanes4 byLibrary4(double (*function)(double), Lanes4 x, Lanes4 y, Mask4 outside) {
    for (int l = 0; l < 4; ++l)
        if (outside[l])
            y[l] = function(x[l]);
    return y;
}

// The same as tangent4 and cubeRoot4 with the C library's function in every lane out of reach.
[[gnu::always_inline]] inline Lanes4 tangentAnywhere4(Lanes4 x) {
    const Lanes4 t = tangent4(x);
    const Mask4 outside = ~within4(x, kTangentReach);
    return any4(outside) ? byLibrary4([](double v) { return std::tan(v); }, x, t, outside) : t;
}

[[gnu::always_inline]] inline Lanes4 cubeRootAnywhere4(Lanes4 x) {
    const Lanes4 t = cubeRoot4(x);
    const Mask4 outside = ~((x >= 0x1p-1022) & (x <= 0x1p1020));
    return any4(outside) ? byLibrary4([](double v) { return std::cbrt(v); }, x, t, outside) : t;
}

// values[0..count) replaced by their tangents or cube roots, count a multiple of 4.
void takeTangentsOf(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        store4(values + i, tangentAnywhere4(load4(values + i)));
}

void takeCubeRootsOf(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        store4(values + i, cubeRootAnywhere4(load4(values + i)));
}

// Four lobes' tissue, or one lobe's in every lane (see LobeTissueColumns).
struct TissueLanes {
    Lanes4 volume, inverseMaxVolume, inverseElasticScale, gasCompression, minVolume, minVolumeRoot,
        conductance;
};

[[gnu::always_inline]] inline void storeTissue(const TissueLanes& l, double atmosphericPressure,
                                               LobeTissue& out, int k, bool wholeVector) {
    const Lanes4 V = l.volume;
    const Lanes4 recoil =
        tangentAnywhere4((V * l.inverseMaxVolume - 0.17) * std::numbers::pi * 0.5) *
        l.inverseElasticScale;
    const Lanes4 alveolar = atmosphericPressure * l.gasCompression / V;
    const Lanes4 floor = l.minVolume + 0.0001; // the peripheral law's open volume never below
    const Lanes4 span = cubeRootAnywhere4(select4(V > floor, V, floor)) - l.minVolumeRoot;
    const Lanes4 span2 = span * span;
    const Lanes4 conductance = l.conductance * (span2 * span2);
    const Lanes4 resistance = 1.0 / conductance;
    if (wholeVector) {
        store4(out.elasticRecoil + k, recoil);
        store4(out.alveolarPressure + k, alveolar);
        store4(out.peripheralConductance + k, conductance);
        store4(out.peripheralResistance + k, resistance);
    } else {
        out.elasticRecoil[k] = recoil[0];
        out.alveolarPressure[k] = alveolar[0];
        out.peripheralConductance[k] = conductance[0];
        out.peripheralResistance[k] = resistance[0];
    }
}

void takeLobeTissueOf(const LobeTissueColumns& c, LobeTissue& out) {
    static_assert(kLobeCount == kMathBatch + 1);
    storeTissue({load4(c.volume), load4(c.inverseMaxVolume), load4(c.inverseElasticScale),
                 load4(c.gasCompression), load4(c.minVolume), load4(c.minVolumeRoot),
                 load4(c.conductance)},
                c.atmosphericPressure, out, 0, true);
    constexpr int k = kMathBatch;
    storeTissue({splat4(c.volume[k]), splat4(c.inverseMaxVolume[k]),
                 splat4(c.inverseElasticScale[k]), splat4(c.gasCompression[k]),
                 splat4(c.minVolume[k]), splat4(c.minVolumeRoot[k]), splat4(c.conductance[k])},
                c.atmosphericPressure, out, k, false);
}

} // namespace
} // namespace vm::model

#pragma once
// The lobes' Euler step and their plausibility in lanes: lobes 0-3 in one vector and 1-4 in
// another, so that five lobes take two vectors; the lobes both hold are worked out twice alike.
// Lane code of the arms of batch_math.h, with internal linkage as lanes.h; one lobe's step is
// model/lobe_physics.cpp's advanceLobe.

#include "model/simd/batch_math.h"
#include "model/simd/lanes.h"

namespace vm::model {
namespace {

struct AdvancedLobes {
    Lanes4 volumeRate, gasCompression, volume;
    Mask4 plausible;
};

// Every test written so that a NaN fails it: |x| <= b as −b <= x <= b, finite as x − x == 0.
[[gnu::always_inline]] inline AdvancedLobes advanceLobesFrom(const LobeAdvance& c, int k) {
    const Lanes4 rate = load4(c.drive + k) - c.pleuralPressure * load4(c.tissueConductance + k);
    const Lanes4 flow = load4(c.flow + k);
    const Lanes4 gas = load4(c.gasCompression + k) + (flow - rate) * c.dt;
    const Lanes4 V = load4(c.volume + k) + rate * c.dt;
    const Lanes4 recoil = load4(c.recoil + k);
    const Lanes4 R1 = load4(c.peripheralResistance + k);
    const Lanes4 R2 = load4(c.effectiveResistance + k);
    const Mask4 plausible = (gas <= 2) & (V <= 6) & (V >= 0.01) & (flow <= 40) & (flow >= -40) &
                            (rate <= 40) & (rate >= -40) & (recoil <= 10) & (recoil >= 0.01) &
                            (R1 - R1 == 0) & (R2 - R2 == 0);
    return {rate, gas, V, plausible};
}

[[gnu::always_inline]] inline void storeLobes(const LobeAdvance& c, const AdvancedLobes& lobes,
                                              int k) {
    store4(c.volumeRate + k, lobes.volumeRate);
    store4(c.gasCompression + k, lobes.gasCompression);
    store4(c.volume + k, lobes.volume);
}

bool advanceLobesOf(const LobeAdvance& c) {
    static_assert(kLobeCount == kMathBatch + 1);
    // Both read before either is written: the gas compression and volume are updated in place.
    const AdvancedLobes first = advanceLobesFrom(c, 0);
    const AdvancedLobes last = advanceLobesFrom(c, 1);
    storeLobes(c, first, 0);
    storeLobes(c, last, 1);
    return !any4(~(first.plausible & last.plausible));
}

} // namespace
} // namespace vm::model

// The portable arm of batch_math.h, for every x86-64 processor: the same lane code as the AVX2
// arm's, its vectors split by the compiler into what the processor has, nothing fused.

#include "model/simd/batch_math_arms.h"

#include "model/simd/arctangent_lanes.h"
#include "model/simd/lanes.h"
#include "model/simd/lobe_rounds.h"
#include "model/simd/search_rounds.h"
#include "model/simd/tissue_rounds.h"

namespace vm::model {

namespace {

Lanes4 multiplyAdd4(Lanes4 a, Lanes4 b, Lanes4 c) {
    return a * b + c;
}

Lanes4 select4(Mask4 m, Lanes4 a, Lanes4 b) {
    return (Lanes4)(((Mask4)a & m) | ((Mask4)b & ~m));
}

bool any4(Mask4 m) {
    return (m[0] | m[1] | m[2] | m[3]) != 0;
}

} // namespace

constinit const BatchFunctions kPortableArm{takeArctangentsOf, takeTangentsOf,    takeCubeRootsOf,
                                            takeLobeTissueOf,  runLobeSearchesOf, advanceLobesOf};

} // namespace vm::model

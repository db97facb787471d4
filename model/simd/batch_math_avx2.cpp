// The AVX2 arm of batch_math.h, compiled with -mavx2 -mfma -ffp-contract=off: a product and sum
// are fused into one rounding only where multiplyAdd4 says so. Nothing here may come from a
// header of inline functions shared with the rest of the program, lest the linker keep an AVX2
// copy of it for every caller.

#include "model/simd/batch_math_arms.h"

#include "model/simd/arctangent_lanes.h"
#include "model/simd/lanes.h"
#include "model/simd/lobe_rounds.h"
#include "model/simd/search_rounds.h"
#include "model/simd/tissue_rounds.h"

#include <immintrin.h>

namespace vm::model {

namespace {

Lanes4 multiplyAdd4(Lanes4 a, Lanes4 b, Lanes4 c) {
    return _mm256_fmadd_pd(a, b, c);
}

Lanes4 select4(Mask4 m, Lanes4 a, Lanes4 b) {
    return _mm256_blendv_pd(b, a, (__m256d)m);
}

bool any4(Mask4 m) {
    return _mm256_movemask_pd((__m256d)m) != 0;
}

} // namespace

constinit const BatchFunctions kAvx2Arm{takeArctangentsOf, takeTangentsOf,    takeCubeRootsOf,
                                        takeLobeTissueOf,  runLobeSearchesOf, advanceLobesOf};

} // namespace vm::model

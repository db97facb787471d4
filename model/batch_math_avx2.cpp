// Compiled with -mavx2 -mfma -ffp-contract=off: a product and sum are fused into one rounding
// only where multiplyAdd4 says so. Nothing here may come from a header of inline functions
// shared with the rest of the program, lest the linker keep an AVX2 copy of it for every caller.

#include "model/batch_math_avx2.h"

#include "model/batch_math.h"
#include "model/lobe_rounds.h"
#include "model/search_rounds.h"
#include "model/tissue_rounds.h"

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

void takeArctangentsAvx2(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        store4(values + i, arctangentOfQuotient4(load4(values + i), splat4(1.0)));
}

void takeTangentsAvx2(double* values, int count) {
    takeTangentsOf(values, count);
}

void takeCubeRootsAvx2(double* values, int count) {
    takeCubeRootsOf(values, count);
}

void takeLobeTissueAvx2(const LobeTissueColumns& lobes, LobeTissue& tissue) {
    takeLobeTissueOf(lobes, tissue);
}

void runLobeSearchesAvx2(const LobeColumns& lobes, const double* x, int calls, double pcLeft,
                         double pcRight, const CallOutputs* outputs, SearchResults& results) {
    runLobeSearchesOf(lobes, x, calls, pcLeft, pcRight, outputs, results);
}

bool advanceLobesAvx2(const LobeAdvance& lobes) {
    return advanceLobesOf(lobes);
}

} // namespace vm::model

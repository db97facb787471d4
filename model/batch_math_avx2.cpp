// Compiled with -mavx2 -mfma -ffp-contract=off: no product and sum fused into one rounding, so
// that every arm gives the same residuals. Nothing here may come from a header of inline functions
// shared with the rest of the program, lest the linker keep an AVX2 copy of it for every caller.

#include "model/batch_math_avx2.h"

#include "model/batch_math.h"

#include <immintrin.h>
#include <sleef.h>

namespace vm::model {

void takeArctangentsAvx2(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        _mm256_storeu_pd(values + i, Sleef_finz_atand4_u10avx2(_mm256_loadu_pd(values + i)));
}

void takeTangentsAvx2(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        _mm256_storeu_pd(values + i, Sleef_finz_tand4_u10avx2(_mm256_loadu_pd(values + i)));
}

void takeCubeRootsAvx2(double* values, int count) {
    for (int i = 0; i < count; i += 4)
        _mm256_storeu_pd(values + i, Sleef_finz_cbrtd4_u10avx2(_mm256_loadu_pd(values + i)));
}

void takeResidualsAvx2(const ResidualColumns& c, unsigned batches, int lanes) {
    for (int i = 0; i < lanes; i += 4, batches >>= 1) {
        if (!(batches & 1u))
            continue;
        const __m256d z = _mm256_loadu_pd(c.z + i);
        const __m256d numerator = _mm256_mul_pd(_mm256_sub_pd(_mm256_loadu_pd(c.top + i), z),
                                                _mm256_loadu_pd(c.scale + i));
        const __m256d denominator =
            _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(z, _mm256_loadu_pd(c.around + i)),
                                        _mm256_loadu_pd(c.slope + i)),
                          _mm256_loadu_pd(c.base + i));
        const __m256d arctangent = Sleef_finz_atand4_u10avx2(_mm256_div_pd(numerator, denominator));
        const __m256d linear =
            _mm256_sub_pd(_mm256_loadu_pd(c.w + i), _mm256_mul_pd(_mm256_loadu_pd(c.t + i), z));
        _mm256_storeu_pd(
            c.F + i, _mm256_sub_pd(linear, _mm256_mul_pd(_mm256_loadu_pd(c.v + i), arctangent)));
    }
}

} // namespace vm::model

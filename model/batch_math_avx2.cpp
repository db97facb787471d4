// Compiled with -mavx2 -mfma. Nothing here may come from a header of inline functions shared
// with the rest of the program, lest the linker keep an AVX2 copy of it for every caller.

#include "model/batch_math_avx2.h"

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

} // namespace vm::model

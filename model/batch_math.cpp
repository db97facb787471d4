#include "model/batch_math.h"

#include "model/batch_math_avx2.h"

#include <emmintrin.h>
#include <sleef.h>

namespace vm::model {

namespace {

using Batch = void (*)(double*, int);

// Two at a time with SSE2, which every x86-64 processor has; SLEEF picks its best variant.
void takeArctangentsSse2(double* values, int count) {
    for (int i = 0; i < count; i += 2)
        _mm_storeu_pd(values + i, Sleef_atand2_u10(_mm_loadu_pd(values + i)));
}

void takeTangentsSse2(double* values, int count) {
    for (int i = 0; i < count; i += 2)
        _mm_storeu_pd(values + i, Sleef_tand2_u10(_mm_loadu_pd(values + i)));
}

void takeCubeRootsSse2(double* values, int count) {
    for (int i = 0; i < count; i += 2)
        _mm_storeu_pd(values + i, Sleef_cbrtd2_u10(_mm_loadu_pd(values + i)));
}

void takeResidualsGeneric(const ResidualColumns& c, unsigned batches, int lanes) {
    for (int b = 0; b < lanes; b += kMathBatch, batches >>= 1) {
        if (!(batches & 1u))
            continue;
        double arctangent[kMathBatch];
        for (int i = b; i < b + kMathBatch; ++i)
            arctangent[i - b] = (c.top[i] - c.z[i]) * c.scale[i] /
                                ((c.z[i] - c.around[i]) * c.slope[i] + c.base[i]);
        takeArctangentsSse2(arctangent, kMathBatch);
        for (int i = b; i < b + kMathBatch; ++i)
            c.F[i] = c.w[i] - c.t[i] * c.z[i] - c.v[i] * arctangent[i - b];
    }
}

struct BatchFunctions {
    Batch arctangents;
    Batch tangents;
    Batch cubeRoots;
    void (*residuals)(const ResidualColumns&, unsigned, int);
};

BatchFunctions bestFunctions() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return {takeArctangentsAvx2, takeTangentsAvx2, takeCubeRootsAvx2, takeResidualsAvx2};
    return {takeArctangentsSse2, takeTangentsSse2, takeCubeRootsSse2, takeResidualsGeneric};
}

const BatchFunctions& functions() {
    static const BatchFunctions best = bestFunctions();
    return best;
}

} // namespace

void takeArctangents(std::span<double> values) {
    functions().arctangents(values.data(), static_cast<int>(values.size()));
}

void takeTangents(std::span<double> values) {
    functions().tangents(values.data(), static_cast<int>(values.size()));
}

void takeCubeRoots(std::span<double> values) {
    functions().cubeRoots(values.data(), static_cast<int>(values.size()));
}

void takeResiduals(const ResidualColumns& columns, unsigned batches, int lanes) {
    functions().residuals(columns, batches, lanes);
}

} // namespace vm::model

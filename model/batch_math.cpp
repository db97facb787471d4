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

struct BatchFunctions {
    Batch arctangents;
    Batch tangents;
    Batch cubeRoots;
};

BatchFunctions bestFunctions() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
        return {takeArctangentsAvx2, takeTangentsAvx2, takeCubeRootsAvx2};
    return {takeArctangentsSse2, takeTangentsSse2, takeCubeRootsSse2};
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

} // namespace vm::model

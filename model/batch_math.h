#pragma once
// Arctangents, tangents and cube roots of several values at once, four to a vector instruction
// where the processor has AVX2 and FMA, two otherwise. SLEEF's functions accurate to 1 ulp, as
// the C library's are.

#include <span>

namespace vm::model {

inline constexpr int kMathBatch = 4;

// The number of values to pass for count of them: count rounded up to a whole batch.
constexpr int mathBatchSize(int count) {
    return (count + kMathBatch - 1) / kMathBatch * kMathBatch;
}

// Each replaces every value by its function's value; the size must be a multiple of kMathBatch.
void takeArctangents(std::span<double> values);
void takeTangents(std::span<double> values);
void takeCubeRoots(std::span<double> values);

} // namespace vm::model

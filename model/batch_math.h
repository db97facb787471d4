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

// Columns of the lobe searches' residuals F(z) = w − t·z − v·atan((top − z)·scale / ((z −
// around)·slope + base)), one element a lane.
struct ResidualColumns {
    const double* top;
    const double* scale;
    const double* around;
    const double* slope;
    const double* base;
    const double* w;
    const double* t;
    const double* v;
    const double* z;
    double* F;
};

// F for the lanes of every batch of kMathBatch whose bit is set in batches (bit b: lanes 4b to
// 4b + 3), worked out as written, term by term, on every arm.
void takeResiduals(const ResidualColumns& columns, unsigned batches, int lanes);

} // namespace vm::model

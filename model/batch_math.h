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

// The columns of the lobes' root searches, one element a lane. Their residual is F(z) = w − t·z −
// v·atan((top − z)·scale / ((z − around)·slope + base)); m is the alveolar pressure, f the
// downstream pressure, h the pressure around the airway; limited and going are 1 or 0.
struct SearchColumns {
    const double* top;
    const double* scale;
    const double* around;
    const double* slope;
    const double* base;
    const double* w;
    const double* t;
    const double* v;
    const double* m;
    const double* f;
    const double* h;
    const double* limited;
    const double* going;
    double* z;          // the root found
    double* iterations; // regula-falsi iterations the search performed
    double* outcome;    // how it ended, a SolverOutcome as a number
};

// Runs every going lane's search to its end, all lanes a round at a time; lanes is a multiple of
// kMathBatch.
void runSearches(const SearchColumns& columns, int lanes);

} // namespace vm::model

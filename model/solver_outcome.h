#pragma once
// How a call of the flow-limitation solver ended, and the limits of its root searches.

namespace vm::model {

enum class SolverOutcome {
    solved,
    unbracketed,     // a limited lobe whose root could not be bracketed; fails without a beep
    iterationCap,    // too many iterations; fails with the system beep
    arithmeticFault, // division by zero or a non-finite value
};

// Only giving up after too many iterations sounds the system beep.
inline bool solverFailureBeeps(SolverOutcome outcome) {
    return outcome == SolverOutcome::iterationCap;
}

inline constexpr double kSolverTolerance = 0.0001;
inline constexpr int kOpenIterationCap = 100000;
inline constexpr int kLimitedIterationCap = 10000;

} // namespace vm::model

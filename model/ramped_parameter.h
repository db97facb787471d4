#pragma once

namespace vm::model {

// A parameter that the run may change: it moves from its start value to its target across the
// substeps of one 1-ms step, so that a changed setting never jolts the model.

namespace ramp_mark {
// A start value equal to its mark means "do not ramp". Two marks exist because zero is a valid
// start for pressures and some coefficients; -1111 is a value none of them ever takes. Zero
// serves the values that are never zero (volumes, scales, inertances, resistances).
inline constexpr double kUnreachableMark = -1111.0;
inline constexpr double kZeroMark = 0.0;
} // namespace ramp_mark

struct RampedParameter {
    double current = 0.0;
    double target = 0.0;
    double start = 0.0;

    void setBoth(double v) {
        current = v;
        target = v;
    }

    // Before the substeps: ramp from the current value, or not at all when already at the
    // target. Returns whether it ramps.
    bool prepareRamp(double mark) {
        start = current != target ? current : mark;
        return start != mark;
    }

    // Substep i of n of a parameter that ramps.
    void rampTo(int i, int n) { current = start + i * (target - start) / n; }

    void takeTarget() { current = target; }
};

} // namespace vm::model

#pragma once

namespace vm::model {

// A parameter that the run may change: it moves from its start value to its target across the
// substeps of one 1-ms step, so that a changed setting never jolts the model.

namespace ramp_mark {
// A start value equal to its mark means "do not ramp". Two marks exist because zero is a valid
// start for pressures and coefficients; -1111 is a value none of them ever takes.
inline constexpr double kPressureMark = -1111.0;
inline constexpr double kGeometryMark = 0.0;
} // namespace ramp_mark

struct RampedParameter {
    double current = 0.0;
    double target = 0.0;
    double start = 0.0;

    void setBoth(double v) {
        current = v;
        target = v;
    }

    // Before the substeps: ramp from the current value, or not at all when already at the target.
    void prepareRamp(double mark) { start = current != target ? current : mark; }

    // Substep i of n; a parameter whose start is its mark stays where it is.
    void rampTo(int i, int n, double mark) {
        if (start != mark)
            current = start + i * (target - start) / n;
    }

    void takeTarget() { current = target; }
};

} // namespace vm::model

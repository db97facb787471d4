#pragma once
// Reading a row's stored flow-volume curve where no index does: the expiratory flow at a lung
// volume, and the lowest volume MEF50 and MEF25 are placed from.

#include "model/forced_expiration_curve.h"
#include "record/simulation_record.h"

#include <algorithm>
#include <cmath>

namespace vm::test {

// The expiratory flow (positive) of a row's forced expiration at an absolute lung volume, linear
// between samples; NaN where the blow does not pass it.
inline double flowAtVolume(const record::SimulationRecord& record, int row, double volume_l) {
    const auto blow = model::forcedExpirationOf(record, row);
    if (!blow)
        return std::nan("");
    for (int n = blow->startSample; n < blow->lastSample; ++n) {
        const double v0 = record.fvVolume(row, n), v1 = record.fvVolume(row, n + 1);
        if (v0 >= volume_l && volume_l >= v1 && v0 > v1) {
            const double t = (v0 - volume_l) / (v0 - v1);
            return -(record.fvFlow(row, n) +
                     t * (record.fvFlow(row, n + 1) - record.fvFlow(row, n)));
        }
    }
    return std::nan("");
}

// The lowest lung volume of the row's flow-volume curve, from which the results table places
// MEF50 and MEF25.
inline double lowestVolume(const record::SimulationRecord& record, int row) {
    double lowest = INFINITY;
    for (int n = 1; n <= record::layout::kFvSamples; ++n)
        if (const double v = record.fvVolume(row, n); v > 0.0)
            lowest = std::min(lowest, v);
    return lowest;
}

} // namespace vm::test

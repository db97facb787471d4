#include "model/spirometric_indices.h"

#include "record/index_table.h"

#include <algorithm>
#include <cmath>

using namespace vm::record;

namespace vm::model {

using layout::kFvSamples;

FlowVolumeExtent findFlowVolumeExtent(const SimulationRecord& record, int row) {
    FlowVolumeExtent extent;
    for (int n = 1; n <= kFvSamples; ++n) {
        const double v = record.fvVolume(row, n);
        if (v > extent.largestVolume) {
            extent.largestVolume = v;
            extent.largestSample = n;
        }
        if (v > 0 && v < extent.smallestVolume)
            extent.smallestVolume = v;
    }
    return extent;
}

bool hasExpiredVolume(const FlowVolumeExtent& extent) {
    const double fvc = extent.largestVolume - extent.smallestVolume;
    return std::isfinite(fvc) && fvc > 0;
}

void computeSpirometricIndices(SimulationRecord& record, int row) {
    const FlowVolumeExtent extent = findFlowVolumeExtent(record, row);
    const double vmax = extent.largestVolume;
    const double vmin = extent.smallestVolume;

    double mostNegativeFlow = 0.0;
    for (int n = 1; n <= kFvSamples; ++n)
        mostNegativeFlow = std::min<double>(mostNegativeFlow, record.fvFlow(row, n));

    // Later indices use the stored single-precision values, as anyone reading the row would.
    const auto set = [&](RowField f, double v) { record.setField(row, f, static_cast<float>(v)); };
    // 0 - x rather than -x: without expiratory flow the index is a plain zero, not -0.
    set(RowField::pef, 0.0 - mostNegativeFlow);
    set(RowField::fvcex, vmax - vmin);
    set(RowField::fev1, vmax - record.field(row, RowField::fev1));
    const double fvc = record.field(row, RowField::fvcex);
    set(RowField::fev1PctFvc, 100.0 * record.field(row, RowField::fev1) / fvc);
    set(RowField::erv, record.field(row, RowField::frc) - vmin);
    set(RowField::tlc, vmax);

    // The first sample after the maximum with less than 75 %, 50 %, 25 % of the FVC left to
    // expire; a zero flow there does not count and the scan goes on.
    const RowField mef[3] = {RowField::mef75, RowField::mef50, RowField::mef25};
    const double share[3] = {0.75, 0.5, 0.25};
    double value[3] = {0.0, 0.0, 0.0};
    for (int n = extent.largestSample + 1; n <= kFvSamples; ++n) {
        const double left = record.fvVolume(row, n) - vmin;
        for (int j = 0; j < 3; ++j)
            if (value[j] == 0.0 && left < share[j] * fvc)
                value[j] = 0.0 - record.fvFlow(row, n);
    }
    for (int j = 0; j < 3; ++j)
        set(mef[j], value[j]);
}

} // namespace vm::model

#include "model/spirogram.h"

#include "model/curve_indices.h"

namespace vm::model {

namespace {

// The marks are the indices themselves, so that a table and the picture show one number.
std::optional<SpirogramPoint> markAt(const IndexValue& index, double t_s) {
    if (!index.present())
        return std::nullopt;
    return SpirogramPoint{t_s, index.value};
}

} // namespace

Spirogram spirogramOf(const record::SimulationRecord& record, int row) {
    Spirogram spirogram;
    const std::optional<ForcedExpiration> curve = forcedExpirationOf(record, row);
    if (!curve)
        return spirogram;
    if (!curve->timed()) {
        spirogram.missing = MissingReason::samplesNotPlaced;
        return spirogram;
    }
    spirogram.missing = MissingReason::none;
    for (std::size_t i = 0; i < curve->time_s.size(); ++i)
        spirogram.points.push_back({curve->time_s[i], curve->exhaled_l[i]});
    spirogram.peakFlow = {curve->timeToPeakFlow_s, curve->peakExhaled_l};
    spirogram.backExtrapolatedVolume_l = curve->exhaledAt(0.0);
    const IndexValues indices = readIndices(record, row);
    spirogram.fev1 = markAt(indices[record::indexNamed("fev1FromTimeZero")], 1.0);
    spirogram.fev6 = markAt(indices[record::indexNamed("fev6")], 6.0);
    return spirogram;
}

} // namespace vm::model

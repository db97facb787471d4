#include "model/spirogram.h"

#include <cmath>

namespace vm::model {

namespace {

std::optional<SpirogramPoint> markAt(const ForcedExpiration& fe, double t_s) {
    const double volume = fe.exhaledAt(t_s);
    if (!std::isfinite(volume))
        return std::nullopt;
    return SpirogramPoint{t_s, volume};
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
    spirogram.fev1 = markAt(*curve, 1.0);
    spirogram.fev6 = markAt(*curve, 6.0);
    return spirogram;
}

} // namespace vm::model

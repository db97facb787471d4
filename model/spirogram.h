#pragma once
// The spirogram of a result row as data: exhaled volume against time from the back-extrapolated
// time zero of its forced expiration, with the FEV1 and FEV6 marks, ready to be drawn.

#include "model/forced_expiration_curve.h"
#include "record/simulation_record.h"

#include <optional>
#include <vector>

namespace vm::model {

struct SpirogramPoint {
    double time_s = 0.0;   // from time zero
    double volume_l = 0.0; // exhaled
};

struct Spirogram {
    MissingReason missing = MissingReason::noValidResult; // none when there is a curve
    // From the volume maximum (at or a little before time zero) to the end of the expiration.
    std::vector<SpirogramPoint> points;
    // The back-extrapolation: the tangent of slope PEF touches the curve here and meets the time
    // axis at (0, 0); the curve itself holds the back-extrapolated volume at time zero.
    SpirogramPoint peakFlow;
    double backExtrapolatedVolume_l = 0.0;
    // At 1 s and 6 s, where the expiration lasts that long.
    std::optional<SpirogramPoint> fev1;
    std::optional<SpirogramPoint> fev6;
};

Spirogram spirogramOf(const record::SimulationRecord& record, int row);

} // namespace vm::model

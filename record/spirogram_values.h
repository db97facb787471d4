#pragma once
// A spirogram as data, as the model reads it from a result's stored curves and the plots draw
// it: exhaled volume against time from the back-extrapolated time zero of the forced expiration,
// with the point of the back-extrapolation's tangent and the FEV1 and FEV6 marks.

#include <optional>
#include <vector>

namespace vm::record {

struct SpirogramPoint {
    double time_s = 0.0;   // from time zero
    double volume_l = 0.0; // exhaled
};

struct SpirogramValues {
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

} // namespace vm::record

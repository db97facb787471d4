#pragma once
// The spirogram as every spirometer shows it: the volume exhaled in the forced expiration against
// time from its back-extrapolated time zero, the reference's curve beside a result's, with the
// back-extrapolation's tangent and the volumes at 1 s (FEV1) and 6 s (FEV6) marked on the result.

#include "record/spirogram_values.h"

#include <QColor>
#include <QImage>

namespace vm::plots {

struct SpirogramTrace {
    const record::SpirogramValues* values = nullptr; // nullptr or no points: not drawn
    QColor colour;
    bool marked = false; // the tangent and the FEV1 and FEV6 marks
};

// Draws the whole chart over the picture: white, the axes (time from -0.5 s to at least 6 s,
// volume from 0 to a whole litre above the largest), then each trace in turn.
void DrawSpirogram(QImage& picture, const SpirogramTrace& reference, const SpirogramTrace& result);

} // namespace vm::plots

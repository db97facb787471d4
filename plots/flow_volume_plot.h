#pragma once
// The flow-volume plot: forced-expiration flow against expired volume for the reference and up
// to three results, each in its row colour, the selected result drawn thicker, each curve with
// a short mark at its FEV1 point. The same drawing pass drives the lung animation's replay.

#include "plots/plot_frame.h"

#include <QColor>
#include <QImage>

#include <functional>

namespace vm::record {
class SimulationRecord;
}

namespace vm::plots {

// Called while the selected row's curve is drawn in a replay, after the line to sample n
// (2..1500) is on the canvas: (row, n, fvVolume[n], Vmax, Vpos). Returning false ends the curve.
using ReplayHook =
    std::function<bool(int row, int sample, float volume_l, float vMax_l, float vPos_l)>;

// Redraws the whole plot on the canvas from the record: rows 0, 3, 2 and 1 in this order, the
// newest on top; selectedRow (1..3) 3 pixels wide, every other row 1 pixel. With a replay hook,
// the selected row's curve calls it at each sample.
void DrawFlowVolumePlot(QImage& canvas, const record::SimulationRecord& record, int selectedRow,
                        const ReplayHook* replay = nullptr);

// The curve of one row (0..4) in the colour and width, ending at the first later sample whose
// volume is 0; a sample with flow exactly 0 leaves a gap that ends at it. The replay hook is
// called only when it is set and the width is 2 or more.
void DrawFlowVolumeCurve(PlotFrame& frame, const record::SimulationRecord& record, int row,
                         const QColor& colour, int widthPixels, const ReplayHook* replay = nullptr);

// The FEV1 mark of one row: 8 pixels straight up from the FEV1 point, in the pen width the
// row's curve left; only for a row with a curve, a positive FEV1 and a positive FRC.
void DrawFev1Marker(PlotFrame& frame, const record::SimulationRecord& record, int row,
                    const QColor& colour);

} // namespace vm::plots

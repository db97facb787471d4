#pragma once
// The volume-time plot: lung volume against time for one row, with a grey line at the
// reference FRC. It is drawn step by step, so that a run can extend the curve while it
// computes, and shows the elapsed recording time in its top-right corner during a run.

#include <QChar>
#include <QImage>
#include <QPoint>
#include <QString>

#include <optional>

namespace vm::record {
class SimulationRecord;
}

namespace vm::plots {

// "3,50    ": the read-out of the run clock, two decimals with the given separator and four
// spaces that cover the end of a longer earlier read-out.
QString runClockText(double runClockTime_s, QChar decimalSeparator);

class VolumeTimePlot {
  public:
    // 1: the next step draws the empty frame; s >= 2: it draws the segment ending at sample s.
    int vtStep() const { return vtStep_; }
    // Whoever starts a new picture sets 1.
    void setVtStep(int step) { vtStep_ = step; }

    // One step: the frame when vtStep is 1, else the segment of row (0..4) that ends at sample
    // vtStep, continuing from where the previous segment ended. Raises vtStep by 1. A step
    // beyond the 1000 samples a row holds draws nothing.
    void DrawVolumeTimeStep(QImage& canvas, const record::SimulationRecord& record, int row);

    // A fresh frame and the whole curve of the row (0..4) up to its last sample; a row without
    // samples draws nothing at all and the canvas keeps its picture.
    void RedrawVolumeTimeCurve(QImage& canvas, const record::SimulationRecord& record,
                               int selectedRow);

    // The run's tick after it stored a new volume-time sample of the newest result (row 1):
    // draws that sample's segment. The caller then shows the canvas at once.
    void LiveFrameTick(QImage& canvas, const record::SimulationRecord& record);

    // The elapsed recording time on yellow in the top-right corner, in "arial" at the plot's
    // size. Leaves the pen position and font as they were, so the next segment continues.
    void ShowRunClock(QImage& canvas, double runClockTime_s, QChar decimalSeparator);

  private:
    void drawFrame(QImage& canvas, const record::SimulationRecord& record);
    void drawCurveSegment(QImage& canvas, const record::SimulationRecord& record, int row,
                          int sample);

    int vtStep_ = 1;
    std::optional<QPoint> penPosition_ = QPoint(0, 0);
};

} // namespace vm::plots

#pragma once
// The lung animation: a front view of the trachea, the two main bronchi and five lobes, each lobe
// an airway tube ending in an alveolar balloon. Widths follow the airway resistances (width ∝
// resistance^−1/4), a balloon's radius the cube root of its lobe's volume, and a lobe's middle
// walls turn red while its flow is limited. The patient's left lung (lobes 1 and 2) is on the
// right of the picture. A frame is drawn whole into an off-screen picture over the background.

#include "record/lung_frame_values.h"

#include <QImage>
#include <QPoint>
#include <QSize>

#include <array>
#include <vector>

namespace vm::record {
class SimulationRecord;
}

namespace vm::plots {

using record::kFrameLobes;
// What one frame shows; the window fills it from the live model, a replay from a row.
using record::LungFrameValues;

// The values a row (0..4) stored at flow-volume sample 0..1500; the central coefficients are the
// row's single stored values. Out-of-range indices are the record's RangeError.
LungFrameValues lungFrameValuesAt(const record::SimulationRecord& record, int row, int sample);

// The 25 points of one lobe after its rotation about the anchor: the upper wall U0..U11, the lower
// wall L0..L11 (upper and lower before the rotation), and the balloon's centre and radius.
struct LobeOutline {
    std::array<QPoint, 12> upper;
    std::array<QPoint, 12> lower;
    QPoint balloonCentre;
    int balloonRadius = 0;
};

// The points of a lobe built along +x from the anchor and turned by angle (radians; positive
// turns its axis upward on the screen). baseSize, neck c, balloon b and middle m are the lobe's
// sizes before the scale k8 turns them into pixels. A size that is not a finite number counts as 0.
LobeOutline lobeOutlineOf(QPoint anchor, float angle, float baseSize, float c, float b, float m,
                          double k8);

// The four points a lobe joins its neighbours by.
struct LobeEnds {
    QPoint upperStart; // U0
    QPoint lowerStart; // L0
    QPoint upperEnd;   // U11
    QPoint lowerEnd;   // L11
};

// Draws one lobe into the picture (RGB32) with a pen 2 pixels wide: both walls, black, their
// middle segments red when the flow is limited; then the balloon's arc on the side away from the
// neck. A neck c or middle m that is negative or not finite draws nothing; a balloon b that is
// not positive draws no arc.
LobeEnds DrawLobe(QImage& picture, QPoint anchor, float angle, float baseSize, float c, float b,
                  float m, double k8, bool flowLimited);

// The background stretched to a picture's size, as DrawLungFrame stretches it; kept by the window
// so that each frame only copies it.
QImage stretchedBackground(const QImage& background, QSize size);

// Draws one whole frame into the picture (RGB32), at the picture's size: the background
// stretched over it (copied when it already has the picture's size and format), then the lobes,
// the trachea, the bronchi and the walls between them. A null background leaves white.
void DrawLungFrame(QImage& pictureBuffer, const QImage& background, const LungFrameValues& values);

// The replay's choice of frames along the selected row's flow-volume curve: a frame whenever the
// volume has moved by more than 0.5 % of the expired range (Vmax − Vpos) since the last frame,
// starting from Vpos.
class ReplayFrameRule {
  public:
    explicit ReplayFrameRule(float vPos_l) : vLast_(vPos_l) {}
    // True when sample volume_l gets a frame; it then becomes the last framed volume.
    bool frameAt(float volume_l, float vMax_l, float vPos_l);

  private:
    float vLast_;
};

// The samples (2..1500) at which a replay of selectedRow draws a frame, walking the curve as the
// flow-volume plot draws it: it ends at the first volume of exactly 0 and at the first
// lobeTraceA[n][1] of exactly 0. Only rows 1..3 replay; 0, −1 and 4 give no frame.
std::vector<int> replayFrameSamples(const record::SimulationRecord& record, int selectedRow,
                                    float vPos_l, float vMax_l);

} // namespace vm::plots

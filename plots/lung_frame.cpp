#include "plots/lung_frame.h"

#include "plots/plot_pixels.h"
#include "plots/wide_pen.h"
#include "record/simulation_record.h"

#include <QPainter>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

using namespace vm::record;

namespace vm::plots {

namespace {

constexpr int kPenWidth = WidePen::kWidth;
constexpr QRgb kWall = qRgb(0, 0, 0);
constexpr QRgb kLimitedWall = qRgb(255, 0, 0);
constexpr int kHalfPen = kPenWidth / 2;
// The direction of each lobe, and of both bronchi from the vertical, in radians.
constexpr std::array<float, kFrameLobes> kLobeAngles = {0.6283185f, -0.9110619f, -3.7699113f,
                                                        -2.7331855f, -2.0106194f};
constexpr float kBronchusAngle = 1.0471976f;
// The diagonal, squared, of the picture at which the lobes have their nominal pixel sizes.
constexpr double kNominalDiagonalSquared = 312925.0;
// Ties to even like every pixel position; a value that is not a number lands on 0.
int roundOrZero(double v) {
    return std::isnan(v) ? 0 : roundToEven(v);
}

// A size in single precision; beyond the range of a float it saturates.
float toSingle(double v) {
    return std::isnan(v) ? static_cast<float>(v)
                         : static_cast<float>(std::clamp<double>(v, -FLT_MAX, FLT_MAX));
}

bool isPositiveFinite(double v) {
    return std::isfinite(v) && v > 0.0;
}

bool isSize(float v) {
    return std::isfinite(v) && v >= 0.0f;
}

// scale / (divisor × r^(1/4)); NaN (draw nothing) for a value that is not a positive number.
float fourthRootSize(double scale, double divisor, double r) {
    if (!isPositiveFinite(r))
        return std::numeric_limits<float>::quiet_NaN();
    return toSingle(scale / (divisor * std::pow(r, 0.25)));
}

QPoint rotated(QPoint p, QPoint anchor, double cosA, double sinA) {
    const double dx = p.x() - anchor.x();
    const double dy = p.y() - anchor.y();
    return {anchor.x() + roundOrZero(cosA * dx + sinA * dy),
            anchor.y() + roundOrZero(-sinA * dx + cosA * dy)};
}

} // namespace

LungFrameValues lungFrameValuesAt(const SimulationRecord& record, int row, int sample) {
    LungFrameValues values;
    for (int j = 0; j < kFrameLobes; ++j) {
        values.lobeVolume[j] = record.lobeVolume(row, sample, j + 1);
        values.peripheralResistance[j] = record.lobeTraceB(row, sample, j + 1);
        values.intermediateResistance[j] = record.lobeTraceA(row, sample, j + 1);
        values.flowLimited[j] = record.lobeState(row, sample, j + 1) != 0;
    }
    values.tracheaCoefficient = record.centralTrace(row, 0);
    values.leftBronchusCoefficient = record.centralTrace(row, 1);
    values.rightBronchusCoefficient = record.centralTrace(row, 2);
    return values;
}

LobeOutline lobeOutlineOf(QPoint anchor, float angle, float baseSize, float c, float b, float m,
                          double k8) {
    const int x0 = anchor.x();
    const int y0 = anchor.y();
    const int d = roundOrZero(k8 * baseSize);
    const int v = roundOrZero(k8 * c);
    const int w = roundOrZero(k8 * b);
    const double middle = std::isnan(m) ? 0.0 : k8 * m;
    const int l30 = roundOrZero(30.0 * k8);
    const int l10 = roundOrZero(10.0 * k8);

    const int yB = y0 - d - kHalfPen; // wall at the base
    const int yN = y0 - v - kHalfPen; // wall at the neck
    const int yM = y0 - roundOrZero(kPenWidth / 2.0 + middle);
    const double amp = m > 20.0f ? 0.3 : 0.2;
    const double bulge = yM - yB + 0.4 * (yB - yN);

    LobeOutline outline;
    outline.upper[0] = {x0, yB};
    for (int j = 0; j <= 9; ++j) {
        const int x = x0 + roundOrZero(j * l30 / 9.0);
        const int y =
            j < 4 ? yB + roundOrZero(j * (yM - yB) / 4.0) +
                        roundOrZero(std::sin(j * std::numbers::pi / 4.0) * amp * bulge)
                  : yM + roundOrZero((j - 4) * (yN - yM) / 5.0) +
                        roundOrZero(std::sin((j - 4) * std::numbers::pi / 5.0) * amp * bulge);
        outline.upper[1 + j] = {x, y};
        outline.lower[1 + j] = {x, 2 * y0 - y};
    }
    const int neckEnd = x0 + l30 + l10;
    outline.upper[11] = {neckEnd, yN};
    outline.lower[0] = {x0, y0 + d + kHalfPen};
    outline.lower[11] = {neckEnd, y0 + v + kHalfPen};

    // A balloon wider than the neck sits beyond it, its circle passing through the neck's ends.
    const double neck = v + kHalfPen;
    const int beyond = w >= neck ? roundOrZero(std::sqrt(double(w) * w - neck * neck)) : 0;
    outline.balloonCentre = {neckEnd + beyond, y0};
    outline.balloonRadius = w;

    const double cosA = std::cos(angle);
    const double sinA = std::sin(angle);
    for (QPoint& p : outline.upper)
        p = rotated(p, anchor, cosA, sinA);
    for (QPoint& p : outline.lower)
        p = rotated(p, anchor, cosA, sinA);
    outline.balloonCentre = rotated(outline.balloonCentre, anchor, cosA, sinA);
    return outline;
}

LobeEnds DrawLobe(QImage& picture, QPoint anchor, float angle, float baseSize, float c, float b,
                  float m, double k8, bool flowLimited) {
    const LobeOutline outline = lobeOutlineOf(anchor, angle, baseSize, c, b, m, k8);
    const LobeEnds ends{outline.upper[0], outline.lower[0], outline.upper[11], outline.lower[11]};
    if (!isSize(c) || !isSize(m))
        return ends;
    WidePen pen(picture);
    for (const auto* wall : {&outline.upper, &outline.lower}) {
        for (int i = 1; i < 12; ++i) {
            // The segments ending at points 2..10 are the middle of the airway.
            pen.setColour(flowLimited && i >= 2 && i <= 10 ? kLimitedWall : kWall);
            pen.line((*wall)[i - 1], (*wall)[i]);
        }
    }
    pen.setColour(kWall);
    if (isSize(b)) // the side away from the neck
        pen.arc(outline.balloonCentre, outline.balloonRadius, outline.lower[11], outline.upper[11]);
    return ends;
}

namespace {

// The sizes of a frame, in single precision; NaN marks a lobe size that draws nothing.
struct FrameSizes {
    std::array<float, kFrameLobes> balloon{}; // b
    std::array<float, kFrameLobes> neck{};    // c
    std::array<float, kFrameLobes> middle{};  // m
    float trachea = 0.0f;                     // t, half-width in percent of the width
    float leftBronchus = 0.0f;                // hL
    float rightBronchus = 0.0f;               // hR
    bool tracheaShown = false;
    bool leftShown = false;
    bool rightShown = false;
};

FrameSizes sizesOf(const LungFrameValues& values) {
    FrameSizes sizes;
    for (int j = 0; j < kFrameLobes; ++j) {
        const double volume = values.lobeVolume[j];
        sizes.balloon[j] = std::isfinite(volume) && volume >= 0.0
                               ? toSingle(100.0 * 0.5 * std::cbrt(volume))
                               : std::numeric_limits<float>::quiet_NaN();
        sizes.neck[j] = fourthRootSize(100.0, 40.0, values.peripheralResistance[j]);
        sizes.middle[j] = fourthRootSize(100.0, 20.0, values.intermediateResistance[j]);
    }
    // An airway that draws nothing still places the rest of the frame, as if it had no width.
    const auto central = [](double coefficient, double divisor, bool& shown) {
        const float size = fourthRootSize(100.0, divisor, coefficient);
        shown = !std::isnan(size);
        return shown ? size : 0.0f;
    };
    sizes.trachea = central(values.tracheaCoefficient, 100.0, sizes.tracheaShown);
    sizes.leftBronchus = central(values.leftBronchusCoefficient, 150.0, sizes.leftShown);
    sizes.rightBronchus = central(values.rightBronchusCoefficient, 150.0, sizes.rightShown);
    return sizes;
}

// The trachea's corners, the carina and the ends of both bronchi, in pixels.
struct CentralAirways {
    QPoint t1, t2, t3, t4; // trachea: top left, top right, bottom left, bottom right
    QPoint carina;
    QPoint leftOuter, leftInner;   // Ro, Ri: the patient's left bronchus, on the screen's right
    QPoint rightOuter, rightInner; // Lo, Li
};

CentralAirways centralAirwaysOf(const FrameSizes& s, QSize size) {
    const auto at = [size](double xPercent, double yPercent) {
        return QPoint(percentToPixel(size.width(), toPercent(xPercent)).value_or(0),
                      percentToPixel(size.height(), toPercent(yPercent)).value_or(0));
    };
    const double t = s.trachea;
    const double hL = s.leftBronchus;
    const double hR = s.rightBronchus;
    const double cosT = std::cos(kBronchusAngle);
    const double sinT = std::sin(kBronchusAngle);
    CentralAirways a;
    a.t1 = at(50.0 - t, 5.0);
    a.t2 = at(50.0 + t, 5.0);
    a.t3 = at(50.0 - t, 42.5);
    a.t4 = at(50.0 + t, 42.5);
    a.carina =
        at(50.0 + 2.0 * cosT * (hR - hL), 42.5 - t / std::tan(kBronchusAngle) + (hR + hL) * cosT);
    // Each bronchus is 12 % long.
    const int dx = roundOrZero(sinT * 12.0 * size.width() / 100.0);
    const int dy = roundOrZero(cosT * 12.0 * size.height() / 100.0);
    a.leftOuter = a.t4 + QPoint(dx, dy);
    a.leftInner = a.carina + QPoint(dx, dy);
    a.rightOuter = a.t3 + QPoint(-dx, dy);
    a.rightInner = a.carina + QPoint(-dx, dy);
    return a;
}

// round(p + distance × (cos a, sin a)); the distance is a percent size used as pixels.
QPoint along(QPoint p, double distance, float angle) {
    return {roundOrZero(p.x() + distance * std::cos(angle)),
            roundOrZero(p.y() + distance * std::sin(angle))};
}

std::array<QPoint, kFrameLobes> lobeAnchorsOf(const CentralAirways& a, float gL, float gR) {
    const QPoint p = along(a.rightOuter, 2.0 * gR, kLobeAngles[2]);
    const QPoint q = along(a.rightInner, -2.0 * gR, kLobeAngles[4]);
    return {along(a.leftOuter, gL, kLobeAngles[0]), along(a.leftInner, gL, kLobeAngles[1]),
            along(a.rightOuter, gR, kLobeAngles[2]),
            QPoint(roundOrZero((p.x() + q.x()) / 2.0), roundOrZero((p.y() + q.y()) / 2.0)),
            along(a.rightInner, gR, kLobeAngles[4])};
}

void fillWithBackground(QImage& pictureBuffer, const QImage& background) {
    if (background.isNull()) {
        pictureBuffer.fill(Qt::white);
    } else if (background.size() == pictureBuffer.size() &&
               background.format() == pictureBuffer.format()) {
        pictureBuffer = background;
        pictureBuffer.detach(); // one plain copy, before the pen writes into it
    } else {
        QPainter painter(&pictureBuffer);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(pictureBuffer.rect(), background);
    }
}

} // namespace

QImage stretchedBackground(const QImage& background, QSize size) {
    QImage stretched(size, QImage::Format_RGB32);
    fillWithBackground(stretched, background);
    return stretched;
}

void DrawLungFrame(QImage& pictureBuffer, const QImage& background, const LungFrameValues& values) {
    if (pictureBuffer.isNull())
        return;
    if (pictureBuffer.format() != QImage::Format_RGB32)
        pictureBuffer = QImage(pictureBuffer.size(), QImage::Format_RGB32);
    fillWithBackground(pictureBuffer, background);
    const QSize size = pictureBuffer.size();
    const FrameSizes s = sizesOf(values);
    const CentralAirways a = centralAirwaysOf(s, size);
    const float gL = s.leftBronchus;
    const float gR = 2.0f * s.rightBronchus / 3.0f;
    const std::array<QPoint, kFrameLobes> anchors = lobeAnchorsOf(a, gL, gR);
    const double k8 =
        0.8 *
        std::sqrt(double(size.width()) * size.width() + double(size.height()) * size.height()) /
        std::sqrt(kNominalDiagonalSquared);

    std::array<LobeEnds, kFrameLobes> lobe;
    for (int j = 0; j < kFrameLobes; ++j)
        lobe[j] = DrawLobe(pictureBuffer, anchors[j], kLobeAngles[j], j < 2 ? gL : gR, s.neck[j],
                           s.balloon[j], s.middle[j], k8, values.flowLimited[j]);

    WidePen pen(pictureBuffer);
    const auto wall = [&pen](QPoint from, QPoint to) { pen.line(from, to); };
    if (s.tracheaShown) {
        wall(a.t1, a.t3);
        wall(a.t2, a.t4);
    }
    if (s.rightShown) {
        wall(a.t3, a.rightOuter);
        wall(a.carina, a.rightInner);
        wall(a.rightOuter, lobe[2].lowerStart);
        wall(lobe[2].upperStart, lobe[3].lowerStart);
        wall(lobe[3].upperStart, lobe[4].lowerStart);
        wall(lobe[4].upperStart, a.rightInner);
    }
    if (s.leftShown) {
        wall(a.t4, a.leftOuter);
        wall(a.leftInner, a.carina);
        wall(a.leftOuter, lobe[0].upperStart);
        wall(lobe[0].lowerStart, lobe[1].upperStart);
        wall(lobe[1].lowerStart, a.leftInner);
    }
}

bool ReplayFrameRule::frameAt(float volume_l, float vMax_l, float vPos_l) {
    const double moved = std::fabs(double(volume_l) - vLast_);
    const double range = double(vMax_l) - vPos_l;
    // An empty range frames any move at all, as a division by zero would.
    const bool frame = range == 0.0 ? moved > 0.0 : moved / range > 0.005;
    if (frame)
        vLast_ = volume_l;
    return frame;
}

std::vector<int> replayFrameSamples(const SimulationRecord& record, int selectedRow, float vPos_l,
                                    float vMax_l) {
    std::vector<int> samples;
    if (selectedRow < 1 || selectedRow > 3)
        return samples;
    ReplayFrameRule rule(vPos_l);
    for (int n = 2; n <= layout::kFvSamples; ++n) {
        const float volume = record.fvVolume(selectedRow, n);
        if (volume == 0.0f || record.lobeTraceA(selectedRow, n, 1) == 0.0f)
            break;
        // The plot gives no frame at a sample it cannot place.
        if (!std::isfinite(volume) || !std::isfinite(record.fvFlow(selectedRow, n)))
            continue;
        if (rule.frameAt(volume, vMax_l, vPos_l))
            samples.push_back(n);
    }
    return samples;
}

} // namespace vm::plots

#pragma once
// Where a percent position of a plot lands in pixels, and how a segment is kept to a size that
// the painter handles quickly whatever values a record holds.

#include <QPoint>
#include <QRect>

#include <optional>
#include <utility>

namespace vm::plots {

// Pixel coordinates are held within this distance of the origin: a value read from a file may be
// absurdly large, and the positions only need to stay far outside any image.
inline constexpr int kFarPixel = 1 << 24;

// A computed percent position, kept like the plot geometry in single precision. Finite values
// beyond the range of a float saturate instead of turning infinite.
float toPercent(long double percent);

// round(size × percent / 100), computed in extended precision and rounded to the nearest integer
// with ties to even; nothing when the percent is not a finite number. Held within ±kFarPixel.
std::optional<int> percentToPixel(int size, float percent);

// v rounded to the nearest integer, ties to even (the rounding of every pixel offset).
int roundToEven(double v);

// The part of the segment a-b inside box, or nothing when it misses the box.
std::optional<std::pair<QPoint, QPoint>> clipSegment(QPoint a, QPoint b, const QRect& box);

// Keeps the segment from..to within `near` when it reaches outside it, so that a line walk never
// runs far from the picture. False when nothing of the segment is left.
bool keepSegmentNear(QPoint& from, QPoint& to, const QRect& near);

} // namespace vm::plots

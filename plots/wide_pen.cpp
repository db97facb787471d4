#include "plots/wide_pen.h"

#include "plots/line_pixels.h"
#include "plots/plot_pixels.h"

#include <algorithm>
#include <cmath>

namespace vm::plots {

namespace {

// Vectors in the screen's orientation turned to y up, so that a positive cross product means
// counter-clockwise as seen.
struct Direction {
    double x = 0.0;
    double y = 0.0;
};

Direction directionOf(QPoint centre, QPoint p) {
    return {double(p.x()) - centre.x(), double(centre.y()) - p.y()};
}

double cross(Direction a, Direction b) {
    return a.x * b.y - a.y * b.x;
}

double dot(Direction a, Direction b) {
    return a.x * b.x + a.y * b.y;
}

// Whether direction p lies on the counter-clockwise sweep from s to e (ends included).
bool onSweep(Direction s, Direction e, Direction p) {
    const double turn = cross(s, e);
    if (turn > 0.0)
        return cross(s, p) >= 0.0 && cross(p, e) >= 0.0;
    if (turn < 0.0)
        return cross(s, p) >= 0.0 || cross(p, e) >= 0.0;
    if (dot(s, e) > 0.0 || (s.x == 0.0 && s.y == 0.0) || (e.x == 0.0 && e.y == 0.0))
        return true;           // one ray, or no ray at all: the whole circle
    return cross(s, p) >= 0.0; // opposite rays: the half circle counter-clockwise from s
}

} // namespace

WidePen::WidePen(QImage& picture)
    : bits_(picture.bits()), bytesPerLine_(picture.bytesPerLine()), width_(picture.width()),
      height_(picture.height()),
      reach_(picture.rect().adjusted(-(kWidth - 1), -(kWidth - 1), 0, 0)) {}

void WidePen::stamp(int x, int y) {
    for (int row = std::max(y, 0); row < std::min(y + kWidth, height_); ++row) {
        auto* pixels = reinterpret_cast<QRgb*>(bits_ + row * bytesPerLine_);
        for (int column = std::max(x, 0); column < std::min(x + kWidth, width_); ++column)
            pixels[column] = colour_;
    }
}

void WidePen::line(QPoint from, QPoint to) {
    if (bits_ == nullptr)
        return;
    // The walk needs its ends near the picture; a cut far outside it moves no visible pixel much.
    const int margin = std::max(width_, height_);
    const QRect near = reach_.adjusted(-margin, -margin, margin, margin);
    if (!keepSegmentNear(from, to, near))
        return;
    QVarLengthArray<QPoint, 512> path;
    appendLinePixels(from, to, reach_, path);
    if (reach_.contains(to))
        path.append(to);
    for (const QPoint& p : path)
        stamp(p.x(), p.y());
}

void WidePen::arc(QPoint centre, int radius, QPoint from, QPoint to) {
    if (bits_ == nullptr || radius <= 0)
        return;
    const Direction s = directionOf(centre, from);
    const Direction e = directionOf(centre, to);
    const double r = radius;
    const auto put = [&](double x, double y) {
        const int px = roundToEven(x);
        const int py = roundToEven(y);
        if (reach_.contains(px, py) && onSweep(s, e, directionOf(centre, QPoint(px, py))))
            stamp(px, py);
    };
    // Each row of the picture meets the circle at two columns and each column at two rows;
    // together they leave no gap, however large the circle.
    const long long top = std::max<long long>(reach_.top(), (long long)centre.y() - radius);
    const long long bottom = std::min<long long>(reach_.bottom(), (long long)centre.y() + radius);
    for (long long y = top; y <= bottom; ++y) {
        const double half =
            std::sqrt(std::max(0.0, r * r - double(y - centre.y()) * (y - centre.y())));
        put(centre.x() - half, double(y));
        put(centre.x() + half, double(y));
    }
    const long long left = std::max<long long>(reach_.left(), (long long)centre.x() - radius);
    const long long right = std::min<long long>(reach_.right(), (long long)centre.x() + radius);
    for (long long x = left; x <= right; ++x) {
        const double half =
            std::sqrt(std::max(0.0, r * r - double(x - centre.x()) * (x - centre.x())));
        put(double(x), centre.y() - half);
        put(double(x), centre.y() + half);
    }
}

} // namespace vm::plots

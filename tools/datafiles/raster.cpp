#include "raster.h"

#include <algorithm>
#include <cmath>

using namespace vm::data;

namespace {

// Where a polygon's edges cross the horizontal line at height y, sorted: between the 1st and 2nd,
// 3rd and 4th ... crossing the line is inside (even-odd).
std::vector<double> crossings(std::span<const Point> polygon, double y) {
    std::vector<double> xs;
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % n];
        if ((a.y <= y && b.y > y) || (b.y <= y && a.y > y))
            xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    return xs;
}

bool insideCrossings(const std::vector<double>& xs, double x) {
    const auto after = std::upper_bound(xs.begin(), xs.end(), x);
    return (after - xs.begin()) % 2 == 1;
}

// Catmull-Rom point between p1 and p2.
Point catmullRom(Point p0, Point p1, Point p2, Point p3, double t) {
    const double t2 = t * t;
    const double t3 = t2 * t;
    const auto blend = [&](double a, double b, double c, double d) {
        return 0.5 * (2 * b + (c - a) * t + (2 * a - 5 * b + 4 * c - d) * t2 +
                      (3 * b - a - 3 * c + d) * t3);
    };
    return {blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)};
}

} // namespace

Rgb mixColours(Rgb a, Rgb b, double t) {
    const auto mix = [t](std::uint8_t u, std::uint8_t v) {
        return static_cast<std::uint8_t>(std::lround(u + (v - u) * t));
    };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

std::vector<Point> smoothClosedCurve(std::span<const Point> through, int perSpan) {
    std::vector<Point> curve;
    const std::size_t n = through.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Point p0 = through[(i + n - 1) % n];
        const Point p1 = through[i];
        const Point p2 = through[(i + 1) % n];
        const Point p3 = through[(i + 2) % n];
        for (int k = 0; k < perSpan; ++k)
            curve.push_back(catmullRom(p0, p1, p2, p3, static_cast<double>(k) / perSpan));
    }
    return curve;
}

std::vector<Point> smoothCurve(std::span<const Point> through, int perSpan) {
    std::vector<Point> curve;
    const std::size_t n = through.size();
    if (n < 2)
        return {through.begin(), through.end()};
    for (std::size_t i = 0; i + 1 < n; ++i) {
        // The end points are repeated so that the curve starts and ends on them.
        const Point p0 = through[i == 0 ? 0 : i - 1];
        const Point p3 = through[std::min(i + 2, n - 1)];
        for (int k = 0; k < perSpan; ++k)
            curve.push_back(
                catmullRom(p0, through[i], through[i + 1], p3, static_cast<double>(k) / perSpan));
    }
    curve.push_back(through[n - 1]);
    return curve;
}

bool isInside(std::span<const Point> polygon, Point p) {
    return insideCrossings(crossings(polygon, p.y), p.x);
}

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    const double t =
        lengthSquared > 0
            ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared, 0.0, 1.0)
            : 0.0;
    return std::hypot(p.x - a.x - t * dx, p.y - a.y - t * dy);
}

double distanceToPolyline(std::span<const Point> points, Point p) {
    double nearest = points.empty() ? INFINITY : distanceToSegment(p, points[0], points[0]);
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        nearest = std::min(nearest, distanceToSegment(p, points[i], points[i + 1]));
    return nearest;
}

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), sampleWidth_(width * kSamples),
      sampleHeight_(height * kSamples),
      samples_(static_cast<std::size_t>(sampleWidth_) * sampleHeight_, background) {}

void Canvas::paint(int sx, int sy, Rgb colour) {
    samples_[static_cast<std::size_t>(sy) * sampleWidth_ + sx] = colour;
}

template <typename Covers>
void Canvas::fillWhere(double x0, double y0, double x1, double y1, Rgb colour, Covers covers) {
    const int left = std::max(0, static_cast<int>(std::floor(x0 * kSamples)));
    const int right = std::min(sampleWidth_ - 1, static_cast<int>(std::ceil(x1 * kSamples)));
    const int top = std::max(0, static_cast<int>(std::floor(y0 * kSamples)));
    const int bottom = std::min(sampleHeight_ - 1, static_cast<int>(std::ceil(y1 * kSamples)));
    for (int sy = top; sy <= bottom; ++sy) {
        const double y = (sy + 0.5) / kSamples;
        for (int sx = left; sx <= right; ++sx) {
            if (covers((sx + 0.5) / kSamples, y))
                paint(sx, sy, colour);
        }
    }
}

void Canvas::fillVerticalGradient(Rgb top, Rgb bottom) {
    for (int sy = 0; sy < sampleHeight_; ++sy) {
        const Rgb colour = mixColours(top, bottom, (sy + 0.5) / sampleHeight_);
        for (int sx = 0; sx < sampleWidth_; ++sx)
            paint(sx, sy, colour);
    }
}

void Canvas::fillPolygon(std::span<const Point> outline, Rgb colour, std::span<const Point> clip) {
    for (int sy = 0; sy < sampleHeight_; ++sy) {
        const double y = (sy + 0.5) / kSamples;
        const std::vector<double> xs = crossings(outline, y);
        if (xs.empty())
            continue;
        const std::vector<double> clipXs =
            clip.empty() ? std::vector<double>{} : crossings(clip, y);
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            // Samples whose centre lies in [xs[k], xs[k + 1]).
            const int from = std::max(0, static_cast<int>(std::ceil(xs[k] * kSamples - 0.5)));
            const int to =
                std::min(sampleWidth_, static_cast<int>(std::ceil(xs[k + 1] * kSamples - 0.5)));
            for (int sx = from; sx < to; ++sx) {
                if (clip.empty() || insideCrossings(clipXs, (sx + 0.5) / kSamples))
                    paint(sx, sy, colour);
            }
        }
    }
}

void Canvas::fillCircle(Point centre, double radius, Rgb colour) {
    fillWhere(centre.x - radius, centre.y - radius, centre.x + radius, centre.y + radius, colour,
              [&](double x, double y) { return std::hypot(x - centre.x, y - centre.y) <= radius; });
}

void Canvas::fillTaperedStroke(Point a, Point b, double widthA, double widthB, Rgb colour) {
    const double ra = widthA / 2;
    const double rb = widthB / 2;
    const double r = std::max(ra, rb);
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    fillWhere(std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
              std::max(a.y, b.y) + r, colour, [&](double x, double y) {
                  const double px = x - a.x;
                  const double py = y - a.y;
                  const double t = lengthSquared > 0
                                       ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0)
                                       : 0.0;
                  const double ex = px - t * dx;
                  const double ey = py - t * dy;
                  const double radius = ra + (rb - ra) * t;
                  return ex * ex + ey * ey <= radius * radius;
              });
}

void Canvas::strokePolyline(std::span<const Point> points, double width, Rgb colour) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        fillTaperedStroke(points[i], points[i + 1], width, width, colour);
}

void Canvas::strokePolyline(std::span<const Point> points, double width, Rgb colour,
                            std::span<const Point> clip) {
    // Painted on a copy, then only the samples inside the clip polygon are kept.
    Canvas stroke = *this;
    stroke.strokePolyline(points, width, colour);
    for (int sy = 0; sy < sampleHeight_; ++sy) {
        const std::vector<double> xs = crossings(clip, (sy + 0.5) / kSamples);
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int from = std::max(0, static_cast<int>(std::ceil(xs[k] * kSamples - 0.5)));
            const int to =
                std::min(sampleWidth_, static_cast<int>(std::ceil(xs[k + 1] * kSamples - 0.5)));
            for (int sx = from; sx < to; ++sx) {
                const std::size_t at = static_cast<std::size_t>(sy) * sampleWidth_ + sx;
                samples_[at] = stroke.samples_[at];
            }
        }
    }
}

DecodedPicture Canvas::finish() const {
    DecodedPicture picture;
    picture.width = width_;
    picture.height = height_;
    picture.rgb.resize(static_cast<std::size_t>(width_) * height_ * 3);
    constexpr int count = kSamples * kSamples;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            int r = 0, g = 0, b = 0;
            for (int sy = y * kSamples; sy < (y + 1) * kSamples; ++sy) {
                for (int sx = x * kSamples; sx < (x + 1) * kSamples; ++sx) {
                    const Rgb s = samples_[static_cast<std::size_t>(sy) * sampleWidth_ + sx];
                    r += s.r;
                    g += s.g;
                    b += s.b;
                }
            }
            const std::size_t at = (static_cast<std::size_t>(y) * width_ + x) * 3;
            picture.rgb[at] = static_cast<std::uint8_t>((r + count / 2) / count);
            picture.rgb[at + 1] = static_cast<std::uint8_t>((g + count / 2) / count);
            picture.rgb[at + 2] = static_cast<std::uint8_t>((b + count / 2) / count);
        }
    }
    return picture;
}

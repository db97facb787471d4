#include "plots/plot_pixels.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vm::plots {

float toPercent(long double percent) {
    if (!std::isfinite(percent))
        return static_cast<float>(percent); // NaN and infinities stay what they are
    return static_cast<float>(std::clamp<long double>(percent, -FLT_MAX, FLT_MAX));
}

std::optional<int> percentToPixel(int size, float percent) {
    if (!std::isfinite(percent))
        return std::nullopt;
    const long double exact = static_cast<long double>(size) * percent / 100.0L;
    const long double rounded = std::nearbyint(exact); // default rounding: nearest, ties to even
    return static_cast<int>(std::clamp<long double>(rounded, -kFarPixel, kFarPixel));
}

int roundToEven(double v) {
    return static_cast<int>(std::nearbyint(std::clamp<double>(v, -kFarPixel, kFarPixel)));
}

std::optional<std::pair<QPoint, QPoint>> clipSegment(QPoint a, QPoint b, const QRect& box) {
    // Liang-Barsky: keep the parameter range [t0, t1] of a + t(b - a) that lies inside the box.
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(a.x()) - box.left(), double(box.right()) - a.x(),
                         double(a.y()) - box.top(), double(box.bottom()) - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return std::nullopt;
    }
    auto at = [&](double t) {
        return QPoint(static_cast<int>(std::lround(a.x() + t * dx)),
                      static_cast<int>(std::lround(a.y() + t * dy)));
    };
    return std::make_pair(at(t0), at(t1));
}

bool keepSegmentNear(QPoint& from, QPoint& to, const QRect& near) {
    if (near.contains(from) && near.contains(to))
        return true;
    const auto clipped = clipSegment(from, to, near);
    if (!clipped)
        return false;
    from = clipped->first;
    to = clipped->second;
    return true;
}

} // namespace vm::plots

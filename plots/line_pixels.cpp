#include "plots/line_pixels.h"

#include <cstdlib>

namespace vm::plots {

void appendLinePixels(QPoint from, QPoint to, const QRect& visible,
                      QVarLengthArray<QPoint, 512>& out) {
    // Integer Bresenham walk; the error term decides each step along x, y or both.
    int x = from.x();
    int y = from.y();
    const int dx = std::abs(to.x() - x);
    const int dy = -std::abs(to.y() - y);
    const int stepX = x < to.x() ? 1 : -1;
    const int stepY = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        if (visible.contains(x, y))
            out.append(QPoint(x, y));
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

} // namespace vm::plots

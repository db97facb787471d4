#include "raster.h"

#include <algorithm>
#include <cmath>

using namespace vm::record;
using namespace vm::data;

namespace {

void setPixel(DecodedPicture& picture, int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= picture.width || y >= picture.height)
        return;
    const std::size_t at = (static_cast<std::size_t>(y) * picture.width + x) * 3;
    picture.rgb[at] = colour.r;
    picture.rgb[at + 1] = colour.g;
    picture.rgb[at + 2] = colour.b;
}

// Calls paint(x, y) for each pixel of the clipped box around [x0, x1] x [y0, y1].
template <typename Paint>
void forBox(const DecodedPicture& picture, double x0, double y0, double x1, double y1,
            Paint paint) {
    const int left = std::max(0, static_cast<int>(std::floor(x0)));
    const int right = std::min(picture.width - 1, static_cast<int>(std::ceil(x1)));
    const int top = std::max(0, static_cast<int>(std::floor(y0)));
    const int bottom = std::min(picture.height - 1, static_cast<int>(std::ceil(y1)));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            paint(x, y);
}

double ellipseRadius(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

DecodedPicture BlankPicture(int width, int height, Rgb colour) {
    DecodedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < picture.rgb.size(); i += 3) {
        picture.rgb[i] = colour.r;
        picture.rgb[i + 1] = colour.g;
        picture.rgb[i + 2] = colour.b;
    }
    return picture;
}

void FillEllipse(DecodedPicture& picture, double cx, double cy, double rx, double ry, Rgb colour) {
    forBox(picture, cx - rx, cy - ry, cx + rx, cy + ry, [&](int x, int y) {
        if (ellipseRadius(x + 0.5, y + 0.5, cx, cy, rx, ry) <= 1.0)
            setPixel(picture, x, y, colour);
    });
}

void DrawEllipseOutline(DecodedPicture& picture, double cx, double cy, double rx, double ry,
                        double thickness, Rgb colour) {
    const double half = thickness / 2;
    forBox(picture, cx - rx - half, cy - ry - half, cx + rx + half, cy + ry + half,
           [&](int x, int y) {
               // Distance to the outline, approximated through the normalised radius.
               const double r = ellipseRadius(x + 0.5, y + 0.5, cx, cy, rx, ry);
               if (std::fabs(r - 1.0) * std::min(rx, ry) <= half)
                   setPixel(picture, x, y, colour);
           });
}

void DrawThickLine(DecodedPicture& picture, double x0, double y0, double x1, double y1,
                   double width, Rgb colour) {
    const double half = width / 2;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    forBox(picture, std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half,
           std::max(y0, y1) + half, [&](int x, int y) {
               const double px = x + 0.5 - x0;
               const double py = y + 0.5 - y0;
               const double t = lengthSquared > 0
                                    ? std::clamp((px * dx + py * dy) / lengthSquared, 0.0, 1.0)
                                    : 0.0;
               const double ex = px - t * dx;
               const double ey = py - t * dy;
               if (ex * ex + ey * ey <= half * half)
                   setPixel(picture, x, y, colour);
           });
}

void FillVerticalGradient(DecodedPicture& picture, Rgb top, Rgb bottom) {
    for (int y = 0; y < picture.height; ++y) {
        const double t = picture.height > 1 ? static_cast<double>(y) / (picture.height - 1) : 0.0;
        const auto mix = [t](std::uint8_t a, std::uint8_t b) {
            return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
        };
        const Rgb colour{mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b)};
        for (int x = 0; x < picture.width; ++x)
            setPixel(picture, x, y, colour);
    }
}

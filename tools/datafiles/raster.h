#pragma once
// A few drawing operations on an RGB picture, enough for the provisional airway pictures.

#include "data/jpeg_picture.h"

#include <cstdint>

using namespace vm::data;

struct Rgb {
    std::uint8_t r, g, b;
};

DecodedPicture BlankPicture(int width, int height, Rgb colour);
void FillEllipse(DecodedPicture& picture, double cx, double cy, double rx, double ry, Rgb colour);
void DrawEllipseOutline(DecodedPicture& picture, double cx, double cy, double rx, double ry,
                        double thickness, Rgb colour);
// A line with round ends, `width` pixels across.
void DrawThickLine(DecodedPicture& picture, double x0, double y0, double x1, double y1,
                   double width, Rgb colour);
void FillVerticalGradient(DecodedPicture& picture, Rgb top, Rgb bottom);

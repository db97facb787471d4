#pragma once
// Drawing for the program's pictures: opaque shapes painted on a canvas that holds several samples
// per pixel and is averaged down at the end, so that every edge comes out smooth.

#include "data/jpeg_picture.h"

#include <cstdint>
#include <span>
#include <vector>

using namespace vm::data;

struct Rgb {
    std::uint8_t r, g, b;
};

// t = 0 gives a, t = 1 gives b.
Rgb mixColours(Rgb a, Rgb b, double t);

// Coordinates in pixels of the finished picture; (0, 0) is the top-left corner of the top-left
// pixel.
struct Point {
    double x, y;
};

// A closed curve through the given points (Catmull-Rom), as a polygon with `perSpan` vertices
// between two given points.
std::vector<Point> smoothClosedCurve(std::span<const Point> through, int perSpan = 12);
// An open curve from the first point to the last through all the others.
std::vector<Point> smoothCurve(std::span<const Point> through, int perSpan = 12);

// Even-odd rule, as FillPolygon paints.
bool isInside(std::span<const Point> polygon, Point p);
double distanceToSegment(Point p, Point a, Point b);
double distanceToPolyline(std::span<const Point> points, Point p);

class Canvas {
  public:
    // Samples per pixel in each direction.
    static constexpr int kSamples = 4;

    Canvas(int width, int height, Rgb background);

    void fillVerticalGradient(Rgb top, Rgb bottom);
    // Even-odd filling; with `clip`, only what lies inside the clip polygon too.
    void fillPolygon(std::span<const Point> outline, Rgb colour, std::span<const Point> clip = {});
    void fillCircle(Point centre, double radius, Rgb colour);
    // A stroke from a to b whose width changes evenly from widthA to widthB, with round ends.
    void fillTaperedStroke(Point a, Point b, double widthA, double widthB, Rgb colour);
    // Round joins and ends.
    void strokePolyline(std::span<const Point> points, double width, Rgb colour);
    void strokePolyline(std::span<const Point> points, double width, Rgb colour,
                        std::span<const Point> clip);

    // Every pixel the average of its samples.
    DecodedPicture finish() const;

  private:
    void paint(int sx, int sy, Rgb colour);
    // Paints the samples of the box [x0, x1] x [y0, y1] (pixels) whose centre covers(x, y) takes.
    template <typename Covers>
    void fillWhere(double x0, double y0, double x1, double y1, Rgb colour, Covers covers);

    int width_;
    int height_;
    int sampleWidth_;
    int sampleHeight_;
    std::vector<Rgb> samples_;
};

#include "background_picture.h"

#include "airway_picture.h"
#include "raster.h"

#include <initializer_list>
#include <vector>

namespace {

// The background is stretched over the same area as the airway pictures.
constexpr double kWidth = kAirwayPictureWidth;
constexpr double kHeight = kAirwayPictureHeight;

std::vector<Point> atAll(std::initializer_list<Point> percentPoints) {
    std::vector<Point> points;
    for (const Point p : percentPoints)
        points.push_back({p.x * kWidth / 100.0, p.y * kHeight / 100.0});
    return points;
}

constexpr Rgb kTop{240, 245, 250};
constexpr Rgb kBottom{216, 226, 238};
constexpr Rgb kBody{246, 248, 251};
constexpr Rgb kContour{200, 210, 224};

} // namespace

// The animation draws the trachea down the middle from 5 % of the height and the lobes around
// its lower end, out to nearly the full width and down to about 87 % of the height; the neck,
// the shoulders, the flanks and the diaphragm lie outside that.
DecodedPicture drawBackgroundPicture() {
    Canvas canvas(kAirwayPictureWidth, kAirwayPictureHeight, kTop);
    canvas.fillVerticalGradient(kTop, kBottom);

    const std::vector<Point> body = smoothCurve(atAll({
                                                    {40, -2},
                                                    {40, 5},
                                                    {30, 10},
                                                    {14, 13},
                                                    {5, 19},
                                                    {3, 32},
                                                    {2.5, 60},
                                                    {2.5, 102},
                                                    {97.5, 102},
                                                    {97.5, 60},
                                                    {97, 32},
                                                    {95, 19},
                                                    {86, 13},
                                                    {70, 10},
                                                    {60, 5},
                                                    {60, -2},
                                                }),
                                                10);
    canvas.fillPolygon(body, kBody);
    canvas.strokePolyline(body, 2, kContour);

    // The two domes of the diaphragm, the right one (on the left of the picture) a little higher.
    const std::vector<Point> diaphragm = smoothCurve(atAll({
                                                         {2, 97},
                                                         {10, 92},
                                                         {24, 89},
                                                         {38, 91},
                                                         {50, 94},
                                                         {62, 91},
                                                         {76, 90},
                                                         {90, 93},
                                                         {98, 97},
                                                     }),
                                                     10);
    canvas.strokePolyline(diaphragm, 2, kContour);
    return canvas.finish();
}

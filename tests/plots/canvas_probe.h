#pragma once
// Reading back what a plot drew on its image.

#include <QColor>
#include <QImage>
#include <QRect>

#include <vector>

namespace canvas_probe {

// The plots' colours, and the size of the image the plot tests draw on.
inline const QColor kWhite(255, 255, 255);
inline const QColor kBlack(0, 0, 0);
inline const QColor kRed(255, 0, 0);
inline const QColor kGreen(0, 128, 0);
inline const QColor kPurple(128, 0, 128);
inline const QColor kSilver(192, 192, 192);
inline const QColor kYellow(255, 255, 0);
constexpr int kW = 400;
constexpr int kH = 300;

inline QImage blankCanvas(int width, int height) {
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

inline bool is(const QImage& canvas, int x, int y, const QColor& colour) {
    return canvas.pixelColor(x, y).rgb() == colour.rgb();
}

inline int countColour(const QImage& canvas, const QRect& area, const QColor& colour) {
    int count = 0;
    const QRect inside = area & canvas.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            count += is(canvas, x, y, colour) ? 1 : 0;
    return count;
}

inline int countNot(const QImage& canvas, const QRect& area, const QColor& colour) {
    const QRect inside = area & canvas.rect();
    return inside.width() * inside.height() - countColour(canvas, area, colour);
}

// The columns of one pixel row that have the colour.
inline std::vector<int> columnsOf(const QImage& canvas, int y, const QColor& colour) {
    std::vector<int> columns;
    for (int x = 0; x < canvas.width(); ++x)
        if (is(canvas, x, y, colour))
            columns.push_back(x);
    return columns;
}

// The rows of one pixel column that have the colour.
inline std::vector<int> rowsOf(const QImage& canvas, int x, const QColor& colour) {
    std::vector<int> rows;
    for (int y = 0; y < canvas.height(); ++y)
        if (is(canvas, x, y, colour))
            rows.push_back(y);
    return rows;
}

inline std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

// The bounding box of the pixels of a colour within an area; empty when there are none.
inline QRect boundingBoxOf(const QImage& canvas, const QRect& area, const QColor& colour) {
    QRect box;
    const QRect inside = area & canvas.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (is(canvas, x, y, colour))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace canvas_probe

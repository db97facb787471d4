#pragma once
// The plain charts of a result's reading (the spirogram, the z-score chart): a data rectangle
// inside the picture, values mapped onto it, and numbers written with the user's decimal
// separator. Drawn smooth, unlike the window's two plots, which keep their exact pixels.

#include <QLocale>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace vm::plots {

// Maps values (x to the right, y up) onto a rectangle of the picture.
struct ChartScale {
    QRectF area;
    double xMin = 0.0, xMax = 1.0;
    double yMin = 0.0, yMax = 1.0;

    double x(double value) const {
        return area.left() + (value - xMin) / (xMax - xMin) * area.width();
    }
    double y(double value) const {
        return area.bottom() - (value - yMin) / (yMax - yMin) * area.height();
    }
    QPointF at(double xValue, double yValue) const { return {x(xValue), y(yValue)}; }
};

// A number with the given decimals and the user's decimal separator.
inline QString localNumber(double value, int decimals) {
    return QLocale().toString(value, 'f', decimals);
}

} // namespace vm::plots

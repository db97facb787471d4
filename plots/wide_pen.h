#pragma once
// A pen two pixels wide that writes straight into an RGB32 picture: the lung frame's walls and
// balloons, dozens of short strokes a frame, drawn far faster than a painter strokes them. Each
// pixel of the pen's path covers itself and its neighbours to the right, below and below right.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QtGlobal>

namespace vm::plots {

class WidePen {
  public:
    static constexpr int kWidth = 2;

    // The picture must be RGB32 and stay alive and unresized meanwhile. The pen starts black.
    explicit WidePen(QImage& picture);

    void setColour(QRgb colour) { colour_ = colour; }

    // The line from one point to the other, both ends included. Ends far outside the picture are
    // cut first, so any int coordinates are fine.
    void line(QPoint from, QPoint to);

    // The arc of the circle of the radius about the centre, counter-clockwise as seen on the
    // screen from the ray through `from` to the ray through `to`; the whole circle when both rays
    // are one or either point is the centre. Its cost follows the picture's size, not the radius.
    void arc(QPoint centre, int radius, QPoint from, QPoint to);

  private:
    void stamp(int x, int y);

    uchar* bits_;
    qsizetype bytesPerLine_;
    int width_;
    int height_;
    QRect reach_; // the pixels whose stamp touches the picture
    QRgb colour_ = qRgb(0, 0, 0);
};

} // namespace vm::plots

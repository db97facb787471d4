#pragma once
// Drawing on a plot image the way both plots share: positions in percent of the image, axes,
// ticks with their labels, axis names and curves whose segments may be hidden. The frame keeps
// a pen, a font, a fill colour for text backgrounds and a pen position, like the canvas of an
// image control, for as long as one drawing operation lasts.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>

#include <optional>

namespace vm::plots {

// Text sizes of the current font, in pixels.
struct TextSizes {
    int th = 0; // height of the text "I": the font's line height (ascent + descent)
    int hw = 0; // width of the text "H"
    int mw = 0; // width of the text "-"
};

class PlotFrame {
  public:
    // Ticks reach this many pixels out from their axis.
    static constexpr int kTickLength = 4;

    // Starts drawing on the canvas, which must stay alive and unresized meanwhile. The pen is
    // black, 1 pixel, solid; the fill colour white; antialiasing is off so pixels are exact.
    explicit PlotFrame(QImage& canvas);
    PlotFrame(const PlotFrame&) = delete;
    PlotFrame& operator=(const PlotFrame&) = delete;

    int width() const { return canvas_.width(); }
    int height() const { return canvas_.height(); }

    // The pixel of a percent point; nothing when a coordinate is not a finite number.
    std::optional<QPoint> pixelOf(float xPercent, float yPercent) const;

    // Fills the whole image with white.
    void clear();

    void setPenColour(const QColor& colour) { penColour_ = colour; }
    const QColor& penColour() const { return penColour_; }
    void setPenWidth(int widthPixels) { penWidth_ = widthPixels < 1 ? 1 : widthPixels; }
    int penWidth() const { return penWidth_; }
    // A hidden pen draws nothing but still moves the pen position on.
    void setPenHidden(bool hidden) { penHidden_ = hidden; }
    bool penHidden() const { return penHidden_; }

    void setFont(const QFont& font) { font_ = font; }
    const QFont& font() const { return font_; }
    void setFillColour(const QColor& colour) { fillColour_ = colour; }
    const QColor& fillColour() const { return fillColour_; }

    // Nothing after a point that could not be placed (a value that is not a finite number): the
    // next line then only moves the pen, so no line is drawn to or from such a point.
    std::optional<QPoint> penPosition() const { return penPosition_; }
    void setPenPosition(std::optional<QPoint> position) { penPosition_ = position; }

    void moveTo(float xPercent, float yPercent);
    void lineTo(float xPercent, float yPercent);
    void moveToPixel(std::optional<QPoint> pixel);
    // Draws from the pen position up to, not including, the pixel, and moves the pen there.
    void lineToPixel(std::optional<QPoint> pixel);

    // Axes and ticks, black and 1 pixel wide; they leave the pen black, 1 pixel, solid.
    void drawAxis(float xFromPercent, float yFromPercent, float xToPercent, float yToPercent);
    void drawHorizontalTick(float xPercent, float axisYPercent);
    void drawVerticalTick(float x0Percent, float yPercent);

    // Whole-number tick labels: below a horizontal-axis tick, half an "H" left of it; left of a
    // vertical-axis tick, with the digits of positive and negative values ending at one x.
    void drawHorizontalTickLabel(int value, float xPercent, float axisYPercent);
    void drawVerticalTickLabel(int value, float x0Percent, float yPercent);

    // Axis names: right-aligned to the end of a horizontal axis and standing on it; just right
    // of the end of a vertical axis and centred on it.
    void drawHorizontalAxisName(const QString& name, float xEndPercent, float axisYPercent);
    void drawVerticalAxisName(const QString& name, float x0Percent, float yEndPercent);

    // Black text whose top-left corner is at the pixel, on an opaque box of the fill colour as
    // wide as the text's advance and as high as its line.
    void drawOpaqueText(int left, int top, const QString& text);
    int textWidth(const QString& text) const;
    TextSizes textSizes() const;

  private:
    // A black tick of one pixel from foot, length pixels long; nothing when foot is off the plot.
    void drawTick(std::optional<QPoint> foot, QPoint length);
    void drawSegment(QPoint from, QPoint to);
    void drawThinSegment(QPoint from, QPoint to);
    void drawWideSegment(QPoint from, QPoint to);

    QImage& canvas_;
    QPainter painter_;
    QColor penColour_ = Qt::black;
    int penWidth_ = 1;
    bool penHidden_ = false;
    QColor fillColour_ = Qt::white;
    QFont font_;
    std::optional<QPoint> penPosition_ = QPoint(0, 0);
};

} // namespace vm::plots

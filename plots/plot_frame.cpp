#include "plots/plot_frame.h"

#include "plots/line_pixels.h"
#include "plots/plot_fonts.h"
#include "plots/plot_pixels.h"

#include <QFontMetrics>

#include <cstdlib>

namespace vm::plots {

namespace {

// Segments whose ends lie farther out than this are cut down first, so that a wild value never
// makes the painter walk millions of pixels.
constexpr int kNearMargin = 4096;

} // namespace

PlotFrame::PlotFrame(QImage& canvas)
    : canvas_(canvas), painter_(&canvas), font_(defaultPlotFont(8)) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
}

std::optional<QPoint> PlotFrame::pixelOf(float xPercent, float yPercent) const {
    const std::optional<int> x = percentToPixel(width(), xPercent);
    const std::optional<int> y = percentToPixel(height(), yPercent);
    if (!x || !y)
        return std::nullopt;
    return QPoint(*x, *y);
}

void PlotFrame::clear() {
    painter_.fillRect(canvas_.rect(), Qt::white);
}

void PlotFrame::moveTo(float xPercent, float yPercent) {
    moveToPixel(pixelOf(xPercent, yPercent));
}

void PlotFrame::lineTo(float xPercent, float yPercent) {
    lineToPixel(pixelOf(xPercent, yPercent));
}

void PlotFrame::moveToPixel(std::optional<QPoint> pixel) {
    penPosition_ = pixel;
}

void PlotFrame::lineToPixel(std::optional<QPoint> pixel) {
    if (penPosition_ && pixel && !penHidden_)
        drawSegment(*penPosition_, *pixel);
    penPosition_ = pixel;
}

void PlotFrame::drawSegment(QPoint from, QPoint to) {
    const QRect near =
        canvas_.rect().adjusted(-kNearMargin, -kNearMargin, kNearMargin, kNearMargin);
    if (!keepSegmentNear(from, to, near))
        return;
    if (penWidth_ == 1)
        drawThinSegment(from, to);
    else
        drawWideSegment(from, to);
}

void PlotFrame::drawThinSegment(QPoint from, QPoint to) {
    QVarLengthArray<QPoint, 512> pixels;
    appendLinePixels(from, to, canvas_.rect(), pixels);
    if (pixels.isEmpty())
        return;
    QPen pen(penColour_, 1, Qt::SolidLine, Qt::SquareCap);
    pen.setCosmetic(true);
    painter_.setPen(pen);
    painter_.drawPoints(pixels.constData(), int(pixels.size()));
}

void PlotFrame::drawWideSegment(QPoint from, QPoint to) {
    if (from == to)
        return;
    // A straight horizontal or vertical stroke covers exactly the pixels a moving pen of this
    // width would: from the start up to, not including, the end, penWidth pixels across.
    const int before = (penWidth_ - 1) / 2;
    if (from.y() == to.y() || from.x() == to.x()) {
        QRect stroke;
        if (from.y() == to.y()) {
            const int left = from.x() < to.x() ? from.x() : to.x() + 1;
            stroke = QRect(left, from.y() - before, std::abs(to.x() - from.x()), penWidth_);
        } else {
            const int top = from.y() < to.y() ? from.y() : to.y() + 1;
            stroke = QRect(from.x() - before, top, penWidth_, std::abs(to.y() - from.y()));
        }
        painter_.fillRect(stroke, penColour_);
        return;
    }
    // Round ends join the segments of a curve without notches.
    painter_.setPen(QPen(penColour_, penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawLine(from, to);
}

void PlotFrame::drawAxis(float xFromPercent, float yFromPercent, float xToPercent,
                         float yToPercent) {
    setPenColour(Qt::black);
    setPenWidth(1);
    setPenHidden(false);
    moveTo(xFromPercent, yFromPercent);
    lineTo(xToPercent, yToPercent);
}

void PlotFrame::drawHorizontalTick(float xPercent, float axisYPercent) {
    drawTick(pixelOf(xPercent, axisYPercent), QPoint(0, kTickLength));
}

void PlotFrame::drawVerticalTick(float x0Percent, float yPercent) {
    drawTick(pixelOf(x0Percent, yPercent), QPoint(-kTickLength, 0));
}

void PlotFrame::drawTick(std::optional<QPoint> foot, QPoint length) {
    setPenColour(Qt::black);
    setPenWidth(1);
    setPenHidden(false);
    moveToPixel(foot);
    if (foot)
        lineToPixel(*foot + length);
}

void PlotFrame::drawHorizontalTickLabel(int value, float xPercent, float axisYPercent) {
    const std::optional<QPoint> tick = pixelOf(xPercent, axisYPercent);
    if (!tick)
        return;
    const TextSizes sizes = textSizes();
    drawOpaqueText(tick->x() - roundToEven(sizes.hw * 0.5), tick->y() + kTickLength,
                   QString::number(value));
}

void PlotFrame::drawVerticalTickLabel(int value, float x0Percent, float yPercent) {
    const std::optional<QPoint> tick = pixelOf(x0Percent, yPercent);
    if (!tick)
        return;
    const TextSizes sizes = textSizes();
    const QString digits = QString::number(std::abs(value));
    // A minus sign goes before the digits, so the digits of every label end MW + 3 pixels left
    // of the axis.
    const int signs = value < 0 ? 2 : 1;
    const QString text = value < 0 ? QStringLiteral("-") + digits : digits;
    drawOpaqueText(tick->x() - textWidth(digits) - signs * sizes.mw - 3,
                   tick->y() - roundToEven(sizes.th * 0.5), text);
}

void PlotFrame::drawHorizontalAxisName(const QString& name, float xEndPercent, float axisYPercent) {
    const std::optional<QPoint> end = pixelOf(xEndPercent, axisYPercent);
    if (!end)
        return;
    drawOpaqueText(end->x() - textWidth(name), end->y() - textSizes().th, name);
}

void PlotFrame::drawVerticalAxisName(const QString& name, float x0Percent, float yEndPercent) {
    const std::optional<QPoint> end = pixelOf(x0Percent, yEndPercent);
    if (!end)
        return;
    drawOpaqueText(end->x() + kTickLength, end->y() - roundToEven(textSizes().th * 0.5), name);
}

void PlotFrame::drawOpaqueText(int left, int top, const QString& text) {
    const QFontMetrics metrics(font_, &canvas_);
    painter_.fillRect(QRect(left, top, metrics.horizontalAdvance(text), metrics.height()),
                      fillColour_);
    painter_.setFont(font_);
    painter_.setPen(QPen(Qt::black));
    painter_.drawText(QPoint(left, top + metrics.ascent()), text);
}

int PlotFrame::textWidth(const QString& text) const {
    return QFontMetrics(font_, &canvas_).horizontalAdvance(text);
}

TextSizes PlotFrame::textSizes() const {
    const QFontMetrics metrics(font_, &canvas_);
    return TextSizes{metrics.height(), metrics.horizontalAdvance(QStringLiteral("H")),
                     metrics.horizontalAdvance(QStringLiteral("-"))};
}

} // namespace vm::plots

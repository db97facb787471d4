#include "plots/spirogram_plot.h"

#include "plots/chart_axes.h"
#include "plots/plot_fonts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace vm::plots {

namespace {

constexpr double kEarliest_s = -0.5;
constexpr double kShortestSpan_s = 6.0;
constexpr int kMargin = 8;

double largestVolume(const SpirogramTrace& trace) {
    double largest = 0.0;
    if (trace.values != nullptr)
        for (const record::SpirogramPoint& p : trace.values->points)
            if (std::isfinite(p.volume_l))
                largest = std::max(largest, p.volume_l);
    return largest;
}

double lastTime(const SpirogramTrace& trace) {
    if (trace.values == nullptr || trace.values->points.empty())
        return 0.0;
    const double t = trace.values->points.back().time_s;
    return std::isfinite(t) ? t : 0.0;
}

void drawAxes(QPainter& painter, const ChartScale& scale) {
    const QFontMetrics metrics(painter.font());
    painter.setPen(QPen(QColor(220, 220, 220), 1));
    for (int t = 0; t <= static_cast<int>(scale.xMax); ++t)
        painter.drawLine(QPointF(scale.x(t), scale.area.top()),
                         QPointF(scale.x(t), scale.area.bottom()));
    for (int v = 1; v <= static_cast<int>(scale.yMax); ++v)
        painter.drawLine(QPointF(scale.area.left(), scale.y(v)),
                         QPointF(scale.area.right(), scale.y(v)));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(scale.at(kEarliest_s, 0), scale.at(scale.xMax, 0));
    painter.drawLine(scale.at(0, 0), scale.at(0, scale.yMax));
    for (int t = 0; t <= static_cast<int>(scale.xMax); ++t) {
        const QString label = QString::number(t);
        painter.drawText(QPointF(scale.x(t) - metrics.horizontalAdvance(label) / 2.0,
                                 scale.area.bottom() + metrics.ascent() + 3),
                         label);
    }
    for (int v = 1; v <= static_cast<int>(scale.yMax); ++v) {
        const QString label = QString::number(v);
        painter.drawText(QPointF(scale.x(0) - metrics.horizontalAdvance(label) - 4,
                                 scale.y(v) + metrics.ascent() / 2.0),
                         label);
    }
    painter.drawText(
        QPointF(scale.area.right() - metrics.horizontalAdvance(QStringLiteral("t (s)")),
                scale.y(0) - 4),
        QStringLiteral("t (s)"));
    painter.drawText(QPointF(scale.x(0) + 4, scale.area.top() + metrics.ascent()),
                     QStringLiteral("V wydechowa (l)"));
}

void drawMark(QPainter& painter, const ChartScale& scale, const record::SpirogramPoint& point,
              const QString& name, const QColor& colour) {
    painter.setPen(QPen(colour, 1, Qt::DotLine));
    painter.drawLine(scale.at(point.time_s, 0), scale.at(point.time_s, point.volume_l));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(scale.at(point.time_s, point.volume_l), 3.5, 3.5);
    painter.setPen(QPen(colour, 1));
    painter.drawText(scale.at(point.time_s, point.volume_l) + QPointF(6, 14),
                     name + QStringLiteral(" ") + localNumber(point.volume_l, 2) +
                         QStringLiteral(" l"));
}

void drawTrace(QPainter& painter, const ChartScale& scale, const SpirogramTrace& trace) {
    if (trace.values == nullptr || trace.values->points.empty())
        return;
    const record::SpirogramValues& s = *trace.values;
    QPainterPath path;
    bool started = false;
    for (const record::SpirogramPoint& p : s.points) {
        if (!std::isfinite(p.time_s) || !std::isfinite(p.volume_l))
            continue;
        const QPointF at = scale.at(std::max(p.time_s, kEarliest_s), p.volume_l);
        if (started)
            path.lineTo(at);
        else
            path.moveTo(at);
        started = true;
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(trace.colour, trace.marked ? 2.0 : 1.5));
    painter.drawPath(path);
    if (!trace.marked)
        return;
    // The back-extrapolation: the tangent of slope PEF from time zero through the peak flow.
    if (std::isfinite(s.peakFlow.time_s) && s.peakFlow.time_s > 0) {
        const double slope = s.peakFlow.volume_l / s.peakFlow.time_s;
        const double end = std::min(scale.xMax, s.peakFlow.time_s * 3.0);
        painter.setPen(QPen(QColor(90, 90, 90), 1, Qt::DashLine));
        painter.drawLine(scale.at(0, 0), scale.at(end, std::min(scale.yMax, slope * end)));
    }
    if (s.fev1)
        drawMark(painter, scale, *s.fev1, QStringLiteral("FEV1"), trace.colour);
    if (s.fev6)
        drawMark(painter, scale, *s.fev6, QStringLiteral("FEV6"), trace.colour);
}

} // namespace

void DrawSpirogram(QImage& picture, const SpirogramTrace& reference, const SpirogramTrace& result) {
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(defaultPlotFont(8));
    const QFontMetrics metrics(painter.font());

    ChartScale scale;
    scale.area =
        QRectF(kMargin + metrics.horizontalAdvance(QStringLiteral("10")) + 8, kMargin,
               picture.width() - 2 * kMargin - metrics.horizontalAdvance(QStringLiteral("10")) - 8,
               picture.height() - 2 * kMargin - metrics.height() - 4);
    scale.xMin = kEarliest_s;
    scale.xMax = std::ceil(std::max({kShortestSpan_s, lastTime(reference), lastTime(result)}));
    scale.yMin = 0.0;
    scale.yMax =
        std::max(1.0, std::floor(std::max(largestVolume(reference), largestVolume(result))) + 1.0);
    drawAxes(painter, scale);
    drawTrace(painter, scale, reference);
    drawTrace(painter, scale, result);
}

} // namespace vm::plots

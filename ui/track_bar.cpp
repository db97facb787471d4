#include "ui/track_bar.h"

#include <QMouseEvent>
#include <QStyleOptionSlider>
#include <QStylePainter>

namespace vm::ui {

namespace {
// The gap between the tick marks and the labels beside the bar, in tenths of the bar's thickness.
constexpr int kTickGapTenths = 1;
} // namespace

TrackBar::TrackBar(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {}

// The position whose thumb would be centred on the point, as the slider maps a drag.
int TrackBar::positionAt(QPoint point) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect thumb =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const bool across = orientation() == Qt::Horizontal;
    const int thumbLength = across ? thumb.width() : thumb.height();
    const int start = across ? groove.x() : groove.y();
    const int span = (across ? groove.width() : groove.height()) - thumbLength;
    const int at = (across ? point.x() : point.y()) - thumbLength / 2 - start;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), at, span, option.upsideDown);
}

// A left click beside the thumb brings the thumb there and lets the same press drag it on; the
// page keys keep their step.
void TrackBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        QStyleOptionSlider option;
        initStyleOption(&option);
        const QPoint at = event->position().toPoint();
        if (style()->hitTestComplexControl(QStyle::CC_Slider, &option, at, this) !=
            QStyle::SC_SliderHandle) {
            setSliderPosition(positionAt(at));
            triggerAction(SliderMove);
        }
    }
    QSlider::mousePressEvent(event);
}

// The groove and the thumb as the style draws them; the ticks drawn again a little inside the bar
// on their side, so that they do not run into the scale labels.
void TrackBar::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    painter.drawComplexControl(QStyle::CC_Slider, option);
    if (tickPosition() == NoTicks)
        return;
    QStyleOptionSlider ticks = option;
    ticks.subControls = QStyle::SC_SliderTickmarks;
    const bool across = orientation() == Qt::Horizontal;
    const int gap = (across ? height() : width()) * kTickGapTenths / 10;
    const int after = (tickPosition() & TicksBelow) != 0 ? gap : 0;
    const int before = (tickPosition() & TicksAbove) != 0 ? gap : 0;
    if (across)
        ticks.rect.adjust(0, before, 0, -after);
    else
        ticks.rect.adjust(before, 0, -after, 0);
    painter.drawComplexControl(QStyle::CC_Slider, ticks);
}

} // namespace vm::ui

#include "ui/image_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace vm::ui {

ImageView::ImageView(QWidget* parent) : QWidget(parent) {
    // The canvas covers the whole control, so nothing behind it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The airway picture answers the pointer as it moves, not only while a button is down.
    setMouseTracking(true);
    resizeCanvas(QSize(1, 1));
}

void ImageView::resizeCanvas(QSize size) {
    canvas_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas_.fill(Qt::white);
}

void ImageView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // Only what the canvas leaves uncovered needs white first.
    for (const QRect& uncovered : QRegion(event->rect()) - QRegion(canvas_.rect()))
        painter.fillRect(uncovered, Qt::white);
    painter.drawImage(event->rect().topLeft(), canvas_, event->rect());
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    emit mousePressed(event);
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event);
}

} // namespace vm::ui

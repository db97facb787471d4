#pragma once
// A picture control with a persistent canvas: the plots and the airway picture draw on the canvas
// when their data change, and painting only copies the canvas to the screen.

#include <QImage>
#include <QWidget>

namespace vm::ui {

class ImageView : public QWidget {
    Q_OBJECT
  public:
    explicit ImageView(QWidget* parent = nullptr);

    QImage& canvas() { return canvas_; }
    const QImage& canvas() const { return canvas_; }

    // A new canvas of this size, white; what was drawn before is gone.
    void resizeCanvas(QSize size);

    // Shows the canvas at once, without waiting for the event loop (live plots during a run).
    void repaintNow() { repaint(); }

  signals:
    void mousePressed(QMouseEvent* event);
    void mouseMoved(QMouseEvent* event);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QImage canvas_;
};

} // namespace vm::ui

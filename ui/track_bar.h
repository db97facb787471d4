#pragma once
// A track bar of the control panel: a slider whose groove answers a click by moving the thumb to
// the clicked position, and whose tick marks keep a gap to the scale labels beside them.

#include <QSlider>

namespace vm::ui {

class TrackBar : public QSlider {
    Q_OBJECT
  public:
    explicit TrackBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    int positionAt(QPoint point) const;
};

} // namespace vm::ui

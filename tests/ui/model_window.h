#pragma once
// Helpers for tests that press START: a program folder whose standard record is the model's own
// reference run (as the build makes it), clicks on the row grid, and pixel counts on the plots.

#include "window_fixture.h"

#include <QImage>
#include <QObject>
#include <QRect>

#include <functional>
#include <string>

using namespace vm::ui;

// The folder's standard.dat becomes the build's standard record; expirationDepth, when given,
// replaces the reference's expiratory-effort item (global setting 0).
void useModelStandardRecord(const DataFolder& folder, float expirationDepth = 0.0f);

// A window on a folder with the model's standard record, started.
struct ModelWindow {
    DataFolder folder;
    WindowUnderTest w;

    explicit ModelWindow(float expirationDepth = 0.0f);
    TForm1& form() { return *w.form; }
    WindowProbe ui() const { return w.ui(); }
    void pressStart();
};

// An index as the results table shows one between 1 and 10: two decimals, the user's separator.
std::string tableNumber(float v);

// A mouse click on the middle of a row of the row grid.
void clickGridRow(StringGrid& grid, int row, Qt::MouseButton button = Qt::LeftButton);

// How many pixels inside area (the whole image when empty) have exactly this colour.
int countPixels(const QImage& image, QRgb colour, QRect area = {});

// The rightmost column holding a pixel of the colour, or -1.
int rightmostColumnOf(const QImage& image, QRgb colour);

// Calls a function whenever its widget is about to paint, that is after its picture changed and
// the widget was told to show it.
class PaintWatcher : public QObject {
  public:
    PaintWatcher(QWidget* widget, std::function<void()> onPaint);
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* widget_;
    std::function<void()> onPaint_;
};

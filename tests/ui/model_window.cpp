#include "model_window.h"

#include "record/record_file.h"
#include "record/vocabulary.h"

#include <QEvent>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <stdexcept>

using namespace vm::record;
using namespace vm::ui;

void useModelStandardRecord(const DataFolder& folder, float expirationDepth) {
    SimulationRecord standard;
    const FileResult read = readRecordFile(
        std::filesystem::path(VM_RUNTIME_DIR) / "datfiles1" / "standard.dat", standard);
    if (!read.ok)
        throw std::runtime_error("build standard record: " + read.message);
    if (expirationDepth > 0.0f)
        standard.setGlobalSetting(referenceRow, GlobalItem::expirationDepth, expirationDepth);
    folder.writeStandard(standard);
}

ModelWindow::ModelWindow(float expirationDepth) {
    useModelStandardRecord(folder, expirationDepth);
    w.start(folder);
    if (!w.interaction.messages.isEmpty())
        throw std::runtime_error("start-up said: " +
                                 w.interaction.messages.join('|').toStdString());
    // Shown as the user sees it, so that clicks arrive the way the window system delivers them
    // and the live drawing really paints.
    w.form->show();
}

void ModelWindow::pressStart() {
    QTest::mouseClick(ui().Button2(), Qt::LeftButton);
}

std::string tableNumber(float v) {
    return QLocale().toString(static_cast<double>(v), 'f', 2).toStdString();
}

void clickGridRow(StringGrid& grid, int row, Qt::MouseButton button) {
    QTest::mouseClick(&grid, button, Qt::NoModifier, grid.cellRect(0, row).center());
}

int countPixels(const QImage& image, QRgb colour, QRect area) {
    const QRect bounds = area.isEmpty() ? image.rect() : area.intersected(image.rect());
    int count = 0;
    for (int y = bounds.top(); y <= bounds.bottom(); ++y)
        for (int x = bounds.left(); x <= bounds.right(); ++x)
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return count;
}

int rightmostColumnOf(const QImage& image, QRgb colour) {
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if ((image.pixel(x, y) & 0xffffff) == (colour & 0xffffff))
                return x;
    return -1;
}

PaintWatcher::PaintWatcher(QWidget* widget, std::function<void()> onPaint)
    : widget_(widget), onPaint_(std::move(onPaint)) {
    widget_->installEventFilter(this);
}

bool PaintWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::Paint)
        onPaint_();
    return false;
}

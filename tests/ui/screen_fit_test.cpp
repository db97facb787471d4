// The window as a user sees it: on a real X display with a window manager, maximised. Every
// caption fits its control and the grey panel ends 20 pixels above the client area's bottom.
// Run by main_window_fit_test.sh at several screen sizes; skipped on the off-screen display. A
// screenshot of each size is left in VM_SCREENSHOT_DIR for the eye.

#include "window_fixture.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>

#include <cstdlib>

#include <gtest/gtest.h>

using namespace vm::ui;

namespace {

QRect inWindow(const QWidget* widget, const QRect& rect) {
    return rect.translated(widget->mapTo(widget->window(), QPoint()));
}

// A rectangle of the widget is shown whole when every parent holds it and no later sibling of
// the widget or of a parent (drawn over it) covers any of it.
bool shownWhole(const QWidget* widget, const QRect& rect) {
    const QRect r = inWindow(widget, rect);
    for (const QWidget* w = widget; !w->isWindow(); w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        if (!inWindow(parent, parent->rect()).contains(r))
            return false;
        const QObjectList& siblings = parent->children();
        for (qsizetype k = siblings.indexOf(w) + 1; k < siblings.size(); ++k) {
            const auto* above = qobject_cast<const QWidget*>(siblings[k]);
            if (above != nullptr && above->isVisible() && !above->isWindow() &&
                inWindow(above, above->rect()).intersects(r))
                return false;
        }
    }
    return true;
}

// Where a caption's text lies in its control, by its font's metrics.
QRect textRect(const QWidget* control) {
    const QFontMetrics metrics(control->font());
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        const QRect c = label->contentsRect();
        if (label->wordWrap())
            return metrics.boundingRect(c, Qt::TextWordWrap | label->alignment(), label->text());
        return {c.left(), c.top() + (c.height() - metrics.height()) / 2,
                metrics.horizontalAdvance(label->text()), metrics.height()};
    }
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect c =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize text(metrics.horizontalAdvance(button->text()), metrics.height());
        return {c.center() - QPoint(text.width() / 2, text.height() / 2), text};
    }
    const auto* box = qobject_cast<const QGroupBox*>(control);
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.textAlignment = box->alignment();
    return box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                        box);
}

// Pixels of an area that stand out from its background by a readable step of lightness.
int readablePixels(const QImage& image, const QRect& area, const QColor& background) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += std::abs(QColor(image.pixel(x, y)).lightness() - background.lightness()) >= 48;
    return count;
}

// Waits for the window manager to give the window the whole free area of the screen.
bool waitForMaximised(const TForm1& form) {
    const QRect available = form.screen()->availableGeometry();
    for (int k = 0; k < 200 && form.frameGeometry() != available; ++k)
        QTest::qWait(25);
    QTest::qWait(100); // the last resize reaches the client area
    return form.frameGeometry() == available;
}

} // namespace

TEST(RealScreen, EveryCaptionFitsItsControlAndThePanelEndsAboveTheBottom) {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs a real X display with a window manager";
    DataFolder folder;
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);
    form.showMaximized();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_TRUE(waitForMaximised(form))
        << "frame " << form.frameGeometry().width() << "x" << form.frameGeometry().height();
    const QSize screen = form.screen()->size();
    SCOPED_TRACE(std::to_string(screen.width()) + "x" + std::to_string(screen.height()));

    const QWidget* client = form.centralWidget();
    EXPECT_EQ(ui.Panel6()->geometry().bottom() + 1, client->height() - 20);

    int checked = 0;
    for (const QWidget* control : client->findChildren<QWidget*>()) {
        const bool caption = qobject_cast<const QLabel*>(control) != nullptr ||
                             qobject_cast<const QPushButton*>(control) != nullptr ||
                             qobject_cast<const QGroupBox*>(control) != nullptr;
        if (!caption || !control->isVisible())
            continue;
        const QRect text = textRect(control);
        EXPECT_TRUE(control->rect().contains(text) && shownWhole(control, text))
            << control->objectName().toStdString() << ": text " << text.width() << " wide";
        ++checked;
    }
    EXPECT_GT(checked, 40);

    // Greyed as while START runs, the menu and the selected-row group's title stay readable.
    const QImage shown = form.grab().toImage();
    form.setEnabled(false);
    const QImage greyed = form.grab().toImage();
    form.setEnabled(true);
    EXPECT_GT(readablePixels(greyed, form.menuBar()->geometry(), QColor(192, 192, 192)), 100);
    EXPECT_GT(readablePixels(greyed, inWindow(ui.GroupBox1(), textRect(ui.GroupBox1())),
                             QColor(128, 128, 128)),
              20);

    const QString shots = qEnvironmentVariable("VM_SCREENSHOT_DIR");
    if (!shots.isEmpty()) {
        const QString name =
            QStringLiteral("%1/window-%2x%3").arg(shots).arg(screen.width()).arg(screen.height());
        shown.save(name + QStringLiteral(".png"));
        greyed.save(name + QStringLiteral("-disabled.png"));
    }
}

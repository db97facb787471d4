// The window lays itself out at start-up: first the whole design is scaled to the screen's width,
// then every control is placed from the client size by computeMainWindowGeometry, and placed again
// from the real client area once the window manager has maximised the window. A window that is not
// maximised is not laid out again when its size changes.

#include "ui/main_window.h"

#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/image_view.h"
#include "ui/main_window_geometry.h"
#include "ui/results_view.h"
#include "ui/teaching_cases_view.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>
#include <vector>

namespace vm::ui {

namespace {
// The screen width the window was designed on: there the scaling changes nothing.
constexpr int kDesignScreenWidth = 1280;
// Diameter of the grey panel's corner ellipses.
constexpr int kCornerDiameter = 30;

bool isDesignControl(const QWidget* widget) {
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_")) && !widget->isWindow();
}

QFont scaledFont(QFont font, int m, int d) {
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, MulDiv(font.pixelSize(), m, d)));
    else if (font.pointSize() > 0)
        font.setPointSize(std::max(1, MulDiv(font.pointSize(), m, d)));
    return font;
}

// Every control's position, size and own font, and the window's font, scaled by m / d. Edges are
// scaled rather than sizes, so neighbours that touched still touch.
void scaleDesign(QWidget* window, int m, int d) {
    if (m == d)
        return;
    struct Design {
        QWidget* widget;
        QRect geometry;
        QFont font;
        bool ownFont;
    };
    // Read everything first: a child that inherits its parent's font must not be scaled twice.
    std::vector<Design> designs;
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (isDesignControl(widget))
            designs.push_back({widget, widget->geometry(), widget->font(),
                               widget->testAttribute(Qt::WA_SetFont)});
    window->setFont(scaledFont(window->font(), m, d));
    for (const Design& design : designs) {
        if (design.ownFont)
            design.widget->setFont(scaledFont(design.font, m, d));
        const QRect& g = design.geometry;
        const int left = MulDiv(g.x(), m, d);
        const int top = MulDiv(g.y(), m, d);
        design.widget->setGeometry(left, top, MulDiv(g.x() + g.width(), m, d) - left,
                                   MulDiv(g.y() + g.height(), m, d) - top);
    }
    // Labels size themselves to their text.
    for (const Design& design : designs)
        if (auto* label = qobject_cast<QLabel*>(design.widget))
            label->adjustSize();
}

void place(QWidget* widget, const Box& box) {
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

// The grey panel's outline: a rectangle whose corners are quarter ellipses of the given diameter.
QRegion roundedPanelRegion(int width, int height, int diameter) {
    const int r = diameter / 2;
    QRegion region(r, 0, std::max(0, width - 2 * r), height);
    region += QRegion(0, r, width, std::max(0, height - 2 * r));
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(width - diameter, 0), QPoint(0, height - diameter),
          QPoint(width - diameter, height - diameter)})
        region += QRegion(QRect(corner, QSize(diameter, diameter)), QRegion::Ellipse);
    return region;
}
} // namespace

void TForm1::LayoutMainWindow() {
    const QScreen* display = screen();
    scaleDesign(this, display->geometry().width(), kDesignScreenWidth);

    // Until the window manager has maximised the window, its client area is estimated as the
    // screen's free area below a caption and the menu; the real one lays the controls out again
    // when it arrives (followMaximisedClientArea).
    const QRect available = display->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    resize(available.width(), available.height() - titleBar);
    const int menuHeight = menuBar()->sizeHint().height();
    centralWidget()->setGeometry(0, menuHeight, width(), height() - menuHeight);
    centralWidget()->installEventFilter(this);

    placeControls();
    RichEdit1->clear();

    airway_->fitCanvas();
    for (ImageView* view : {Image2, Image3})
        view->resizeCanvas(view->size());
    setWindowState(windowState() | Qt::WindowMaximized);
}

// Every control from the client area the window has now, from the sizes the controls report.
void TForm1::placeControls() {
    LayoutInputs in;
    in.clientWidth = centralWidget()->width();
    in.clientHeight = centralWidget()->height();
    in.screenHeight = screen()->geometry().height();
    in.fontPixelSize = font().pixelSize();
    results_->measure(in);
    panel_->measure(in);
    const MainWindowGeometry g = computeMainWindowGeometry(in);
    laidOutClientSize_ = centralWidget()->size();

    airway_->place(g);
    place(Image2, g.image2);
    place(Image3, g.image3);
    results_->place(g);

    place(Panel6, g.panel6);
    // The silver window shows outside the rounded corners.
    Panel6->setMask(roundedPanelRegion(Panel6->width(), Panel6->height(), kCornerDiameter));
    panel_->place(g);

    place(Button2, g.button2);
    place(panel_->resetButton(), g.button1);
    place(GroupBox1, g.groupBox1);
    place(Button3, g.button3);
    place(Button6, g.button6);

    Label26->move(g.label26.left, g.label26.top);
    place(RichEdit1, g.richEdit1);
    cases_->place(g);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        followMaximisedClientArea();
    return QMainWindow::eventFilter(watched, event);
}

// The estimate made before the window was shown can miss the window manager's caption: once the
// window stands maximised, its real client area decides, and the pictures are drawn again at
// their new sizes, each as it stood: the volume-time plot that START left keeps the run's clock.
// A window that is not maximised keeps its layout. While START or a replay draws (the replay lets
// events through, also while paused) the pictures stay as they are: the new area is followed
// when they end.
void TForm1::followMaximisedClientArea() {
    if (!isVisible() || !isMaximized() || runInProgress_ || airway_->replayBusy() ||
        centralWidget()->size() == laidOutClientSize_)
        return;
    placeControls();
    resizePlotCanvases();
    DrawFlowVolumePlot();
    if (runPicture_) {
        redrawRunPicture();
    } else if (session_.state().selectedRow >= 1) {
        RedrawVolumeTimeCurve();
    } else {
        volumeTimePlot.setVtStep(1);
        DrawVolumeTimeStep(0);
    }
    airway_->followNewSize();
}

} // namespace vm::ui

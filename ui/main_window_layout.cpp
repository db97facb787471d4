// The window lays itself out at start-up: first the whole design is scaled to the screen's width,
// then every control is placed from the client size by computeMainWindowGeometry, and placed again
// from the real client area once the window manager has maximised the window. A window that is not
// maximised is not laid out again when its size changes.

#include "ui/main_window.h"

#include "ui/main_window_geometry.h"
#include "ui/track_bar_scales.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QTextEdit>

#include <algorithm>
#include <array>
#include <ranges>
#include <vector>

using namespace vm::model;

namespace vm::ui {

namespace {
// The screen width the window was designed on: there the scaling changes nothing.
constexpr int kDesignScreenWidth = 1280;
// Above this screen height the results table gets its larger font.
constexpr int kResultsFontPointSize = 10;
// Diameter of the grey panel's corner ellipses.
constexpr int kCornerDiameter = 30;
// The track bar whose scale labels the lungs group shares.
constexpr std::size_t kLungScaleBar = 7;

// Track bars in a group panel; the rest are never shown and have no place.
bool inGroup(const TrackBarSpec& spec) {
    return spec.section != 0;
}

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

// What the geometry reads from the widgets, after the design was scaled to the screen.
LayoutInputs TForm1::measureLayoutInputs() const {
    LayoutInputs in;
    in.clientWidth = centralWidget()->width();
    in.clientHeight = centralWidget()->height();
    in.screenHeight = screen()->geometry().height();
    in.comboBoxHeight = ComboBox1->height();
    in.gridLineWidth = StringGrid::gridLineWidth;
    in.resultsRowCount = StringGrid1->rowCount();
    in.rowGridRowCount = StringGrid2->rowCount();
    for (const TrackBarSpec& spec : trackBarTable() | std::views::filter(inGroup)) {
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.number)];
        in.trackBarWidth[static_cast<std::size_t>(spec.number)] = controls.bar->width();
        in.captionWidth[static_cast<std::size_t>(spec.number)] = controls.caption->width();
    }
    in.captionHeight = trackBars_[1].caption->height();
    const std::array<QLabel*, 4> headings = {Label5, Label11, Label16, Label21};
    for (std::size_t k = 0; k < headings.size(); ++k)
        in.headingWidth[k] = headings[k]->width();
    in.lungScaleWidth = 0;
    for (const QLabel* label : trackBars_[kLungScaleBar].scaleLabels)
        in.lungScaleWidth = std::max(in.lungScaleWidth, label->width());
    in.fontPixelSize = font().pixelSize();
    return in;
}

// The grey panel with the groups, their track bars, captions, scales and headings.
void TForm1::placeControlPanel(const MainWindowGeometry& g) {
    place(Panel6, g.panel6);
    // The silver window shows outside the rounded corners.
    Panel6->setMask(roundedPanelRegion(Panel6->width(), Panel6->height(), kCornerDiameter));

    place(Panel5, g.panel5);
    place(Panel7, g.panel7);
    const std::array<QFrame*, 5> groups = {nullptr, Panel1, Panel2, Panel3, Panel4};
    for (std::size_t k = 1; k < groups.size(); ++k)
        place(groups[k], g.groupPanel[k]);

    // Each bar with its caption and scale labels; the lung scale shared by track bars 7 and 8 is
    // listed with 7.
    for (const TrackBarSpec& spec : trackBarTable() | std::views::filter(inGroup)) {
        const TrackBarPlace& where = g.trackBar[static_cast<std::size_t>(spec.number)];
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.number)];
        place(controls.bar, where.bar);
        place(controls.caption, where.caption);
        for (std::size_t k = 0; k < controls.scaleLabels.size(); ++k)
            if (controls.scaleLabels[k] != nullptr)
                controls.scaleLabels[k]->move(where.markLeft, where.markTop[k]);
    }

    const std::array<QLabel*, 4> headings = {Label5, Label11, Label16, Label21};
    for (std::size_t k = 0; k < headings.size(); ++k)
        headings[k]->move(g.headingLeft[k], 1);
}

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

    for (ImageView* view : {Image1, Image2, Image3})
        view->resizeCanvas(view->size());
    setWindowState(windowState() | Qt::WindowMaximized);
}

// Every control from the client area the window has now.
void TForm1::placeControls() {
    const MainWindowGeometry g = computeMainWindowGeometry(measureLayoutInputs());
    laidOutClientSize_ = centralWidget()->size();

    place(Image1, g.image1);
    place(Image2, g.image2);
    place(Image3, g.image3);

    place(StringGrid1, g.stringGrid1);
    for (int c = 0; c < StringGrid1->columnCount(); ++c)
        StringGrid1->setColumnWidth(c, g.resultsColumnWidth[static_cast<std::size_t>(c)]);
    StringGrid1->setAllRowHeights(g.resultsRowHeight);
    if (g.resultsFontSize10) {
        QFont tableFont = StringGrid1->font();
        tableFont.setPointSize(kResultsFontPointSize);
        StringGrid1->setFont(tableFont);
    }

    placeControlPanel(g);

    place(Button2, g.button2);
    place(Button1, g.button1);
    place(Button9, g.button9);
    place(Button10, g.button10);
    place(Button8, g.button8);
    place(GroupBox1, g.groupBox1);
    place(Button3, g.button3);
    place(Button6, g.button6);

    for (int c = 0; c < StringGrid2->columnCount(); ++c)
        StringGrid2->setColumnWidth(c, g.rowGridColumnWidth[static_cast<std::size_t>(c)]);
    StringGrid2->setAllRowHeights(g.rowGridRowHeight);
    place(StringGrid2, g.stringGrid2);

    Label26->move(g.label26.left, g.label26.top);
    place(RichEdit1, g.richEdit1);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        followMaximisedClientArea();
    return QMainWindow::eventFilter(watched, event);
}

// The estimate made before the window was shown can miss the window manager's caption: once the
// window stands maximised, its real client area decides, and the pictures are drawn again at
// their new sizes. A window that is not maximised keeps its layout.
void TForm1::followMaximisedClientArea() {
    if (!isVisible() || !isMaximized() || runInProgress ||
        centralWidget()->size() == laidOutClientSize_)
        return;
    placeControls();
    resizePlotCanvases();
    DrawFlowVolumePlot();
    if (state_.selectedRow >= 1) {
        RedrawVolumeTimeCurve();
    } else {
        volumeTimePlot.setVtStep(1);
        DrawVolumeTimeStep(0);
    }
    if (!pictureBuffer.isNull())
        pictureBuffer = QImage(Image1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    showFirstAirwayPicture();
}

} // namespace vm::ui

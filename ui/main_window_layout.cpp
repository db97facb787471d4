// The window lays itself out once, at start-up, from the screen and its own client size: the
// airway picture and both plots across the top, the results table at the top right, and the grey
// control panel below them.

#include "main_window.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainterPath>
#include <QPushButton>
#include <QRegion>
#include <QScreen>
#include <QSlider>
#include <QStyle>
#include <QTextEdit>

#include <cmath>
#include <initializer_list>

namespace {
constexpr int kTrackBarWidth = 30;
constexpr int kComboBoxHeight = 21;
constexpr int kTallScreen = 768;

// Nearest integer, halves to the even neighbour.
int roundEven(double x) {
    return static_cast<int>(std::nearbyint(x));
}

// a * b / c, nearest integer, halves away from zero.
int mulDiv(int a, int b, int c) {
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}

int rightOf(const QWidget* w) {
    return w->x() + w->width();
}
int bottomOf(const QWidget* w) {
    return w->y() + w->height();
}

// Five scale marks beside a track bar, the first one level with its minimum.
void placeScale(const QSlider* bar, std::initializer_list<QLabel*> labels, int firstMark, int marks,
                int left) {
    const int top = bar->y();
    const int height = bar->height();
    const int step = roundEven(0.8 * height / marks);
    int k = firstMark;
    for (QLabel* label : labels) {
        label->move(left, top + roundEven(height / 25.0) + k * step);
        ++k;
    }
}

void placeCaption(QLabel* caption, const QSlider* bar, int left) {
    caption->move(left, bar->y() - caption->height() + 2);
}
} // namespace

void TForm1::LayoutMainWindow() {
    // The window fills the screen's free area; the controls are placed for that size once.
    const QRect available = screen()->availableGeometry();
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    resize(available.width(), available.height() - titleBar);
    const int W = width();
    const int H = height() - menuBar()->sizeHint().height();
    centralWidget()->resize(W, H);

    Image1->setGeometry(10, 0, roundEven(0.38 * W), mulDiv(H, 55, 100));
    Image2->setGeometry(rightOf(Image1) + 10, Image1->y(), Image1->width(),
                        mulDiv(Image1->height(), 75, 100));
    Image3->setGeometry(Image2->x(), bottomOf(Image2) + mulDiv(Image1->height(), 1, 100),
                        Image2->width(), mulDiv(Image1->height(), 24, 100));

    const int tableLeft = rightOf(Image2) + 10;
    const int X = W - tableLeft - 10;
    StringGrid1->setGeometry(tableLeft, Image2->y(), X, Image1->height());
    const double tableShares[] = {0.33, 0.12, 0.2, 0.2, 0.11};
    for (int c = 0; c < StringGrid1->columnCount(); ++c)
        StringGrid1->setColumnWidth(c, roundEven(tableShares[c] * X));
    StringGrid1->setAllRowHeights(StringGrid1->height() / StringGrid1->rowCount() -
                                  StringGrid::gridLineWidth);
    if (screen()->geometry().height() > kTallScreen) {
        QFont tableFont = StringGrid1->font();
        tableFont.setPointSize(10);
        StringGrid1->setFont(tableFont);
    }

    const int panelTop = bottomOf(Image1) + 10;
    Panel6->setGeometry(10, panelTop, W - 20, H - panelTop - 20);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0, 0, Panel6->width(), Panel6->height()), 15, 15);
    Panel6->setMask(QRegion(outline.toFillPolygon().toPolygon()));

    Panel5->setGeometry(20, Panel6->y() + kComboBoxHeight + 10, mulDiv(W, 38, 100),
                        Panel6->height() / 2 - 5);
    const int E = mulDiv(Panel5->width() - 40, 1, 3);
    Panel7->setGeometry(rightOf(Panel5) + 5, Panel5->y(), E + 10, Panel5->height());

    const int groupTop = Panel5->y() + 15;
    const int D = Panel5->height() - 20;
    Panel1->setGeometry(Panel5->x() + 5, groupTop, (E - 5) / 2 + 3, D);
    Panel2->setGeometry(Panel5->x() + Panel1->width() + 20, groupTop, roundEven(1.5 * E), D);
    Panel3->setGeometry(Panel5->x() + 2 * E + 35, groupTop, E, D);
    Panel4->setGeometry(Panel7->x() + 5, groupTop, E, D);

    const int barHeight = mulDiv(D, 4, 5);
    const int barTop = D - barHeight - 1;
    const auto placeBar = [&](QSlider* bar, int left) {
        bar->setGeometry(left, barTop, kTrackBarWidth, barHeight);
    };
    placeBar(TrackBar1, 3);
    placeBar(TrackBar2, 3);
    placeBar(TrackBar7, 3);
    placeBar(TrackBar3, E / 2 + 15);
    placeBar(TrackBar4, Panel2->width() - kTrackBarWidth - 3);
    placeBar(TrackBar5, E / 2 - kTrackBarWidth);
    placeBar(TrackBar6, E / 2);
    placeBar(TrackBar8, Panel4->width() - kTrackBarWidth - 3);

    Label5->move(5, 1);
    Label11->move(((Panel5->width() - Label11->width()) / 10) * 4, 1);
    Label16->move(Panel5->width() - Label16->width() - 15, 1);
    Label21->move((Panel7->width() - Label21->width()) / 2, 1);

    placeCaption(Label24, TrackBar1, TrackBar1->x());
    placeCaption(Label25, TrackBar2, TrackBar2->x());
    placeCaption(Label28, TrackBar3, TrackBar3->x());
    placeCaption(Label27, TrackBar4, TrackBar4->x());
    placeCaption(Label29, TrackBar5, 1);
    placeCaption(Label30, TrackBar6, Panel3->width() - Label30->width() - 5);
    placeCaption(Label31, TrackBar7, TrackBar7->x());
    placeCaption(Label32, TrackBar8, TrackBar8->x() - 2);

    placeScale(TrackBar1, {Label33, Label1, Label2, Label3, Label4}, 0, 4, rightOf(TrackBar1));
    placeScale(TrackBar2, {Label40, Label41, Label42, Label43, Label44}, 0, 4, rightOf(TrackBar2));
    placeScale(TrackBar3, {Label7, Label8, Label9, Label10, Label51}, 1, 5, rightOf(TrackBar3));
    placeScale(TrackBar5, {Label34, Label12, Label13, Label14, Label15}, 0, 4, 2);
    placeScale(TrackBar6, {Label45, Label46, Label47, Label48, Label49}, 0, 4, rightOf(TrackBar6));
    int sharedWidth = 0;
    for (QLabel* label : {Label36, Label37, Label18, Label38, Label39})
        sharedWidth = std::max(sharedWidth, label->width());
    placeScale(TrackBar7, {Label36, Label37, Label18, Label38, Label39}, 0, 4,
               (Panel4->width() - sharedWidth) / 2);

    const int buttonsLeft = rightOf(Panel7) + 5;
    Button2->setGeometry(buttonsLeft, Panel7->y(), 90, 40);
    Button1->setGeometry(buttonsLeft, bottomOf(Button2) + 6, 43, 27);
    Button9->setGeometry(buttonsLeft, bottomOf(Button1) + 6, 43, 25);
    Button10->setGeometry(rightOf(Button9) + 5, Button9->y(), 43, 25);
    Button8->setGeometry(buttonsLeft, bottomOf(Button9) + 1, 90, 25);

    const int lowerTop = bottomOf(Panel5) + 5;
    GroupBox1->setGeometry(buttonsLeft, lowerTop, 90, bottomOf(Panel6) - lowerTop - 5);
    const int w = GroupBox1->width();
    const int h = GroupBox1->height();
    Button3->setGeometry(roundEven(0.1 * w), roundEven(0.2 * h), roundEven(0.8 * w), 20);
    Button6->setGeometry(Button3->x(), bottomOf(Button3) + 10, Button3->width(), 20);

    const int F = E / 2;
    int gridWidth = 0;
    for (int c = 0; c < StringGrid2->columnCount(); ++c) {
        const bool separator = c == 2 || c == 5 || c == 8;
        StringGrid2->setColumnWidth(c, separator ? 15 : F);
        gridWidth += StringGrid2->columnWidth(c) + StringGrid::gridLineWidth;
    }
    const int rowHeight = (bottomOf(Panel6) - lowerTop - 5) / StringGrid2->rowCount();
    StringGrid2->setAllRowHeights(rowHeight);
    StringGrid2->setGeometry(20, lowerTop, gridWidth,
                             (rowHeight + StringGrid::gridLineWidth) * StringGrid2->rowCount());

    Label26->move(Button2->x(), 5);
    RichEdit1->setGeometry(rightOf(Button2) + 5, Panel7->y(),
                           rightOf(Panel6) - (rightOf(Button2) + 5) - 10, Panel7->height());
    RichEdit1->clear();

    for (ImageView* view : {Image1, Image2, Image3})
        view->resizeCanvas(view->size());
}

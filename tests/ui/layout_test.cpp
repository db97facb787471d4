// Where the main window puts its controls on the screen it starts on. The suite runs on the
// 1280-pixel design screen and again on narrower and wider ones (see CMakeLists.txt).

#include "ui/main_window_geometry.h"
#include "window_fixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <algorithm>

using namespace vm::model;
using namespace vm::ui;

// Boxes print as {left, top, width, height} in failure messages.
void PrintTo(const Box& b, std::ostream* out) {
    *out << "{" << b.left << ", " << b.top << ", " << b.width << ", " << b.height << "}";
}

namespace {
constexpr int kDesignWidth = 1280;

Box boxOf(const QWidget* widget) {
    return {widget->x(), widget->y(), widget->width(), widget->height()};
}

bool isColour(const QImage& image, QPoint at, const QColor& colour) {
    return QColor(image.pixel(at)) == colour;
}
} // namespace

class MainWindowLayout : public ::testing::Test {
  protected:
    void SetUp() override {
        form = &w.start(folder);
        ui = WindowProbe(*form);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
        screenWidth = form->screen()->geometry().width();
    }
    // The design's own sizes scaled to this screen, edges rounded half away from zero.
    int scaled(int designSize) const { return MulDiv(designSize, screenWidth, kDesignWidth); }

    // What the geometry reads, taken from this window: the client size, the screen, the sizes
    // the design gives the track bars and the combo box, and the labels' own text sizes.
    LayoutInputs inputs() const {
        LayoutInputs in;
        in.clientWidth = form->centralWidget()->width();
        in.clientHeight = form->centralWidget()->height();
        in.screenHeight = form->screen()->geometry().height();
        in.comboBoxHeight = scaled(21);
        in.fontPixelSize = scaled(11);
        const QLabel* captions[] = {nullptr,
                                    ui.label("Label24"),
                                    ui.label("Label25"),
                                    ui.label("Label28"),
                                    ui.label("Label27"),
                                    ui.label("Label29"),
                                    ui.label("Label30"),
                                    ui.label("Label31"),
                                    ui.label("Label32")};
        for (std::size_t n = 1; n <= 8; ++n) {
            in.trackBarWidth[n] = scaled(30);
            in.captionWidth[n] = captions[n]->width();
        }
        in.captionHeight = ui.label("Label24")->height();
        in.headingWidth = {ui.label("Label5")->width(), ui.label("Label11")->width(),
                           ui.label("Label16")->width(), ui.label("Label21")->width()};
        in.sharedScaleWidth[4] = 0;
        for (const QLabel* label : {ui.label("Label36"), ui.label("Label37"), ui.label("Label18"),
                                    ui.label("Label38"), ui.label("Label39")})
            in.sharedScaleWidth[4] = std::max(in.sharedScaleWidth[4], label->width());
        return in;
    }
    DataFolder folder;
    WindowUnderTest w;
    TForm1* form = nullptr;
    WindowProbe ui;
    int screenWidth = 0;
};

TEST_F(MainWindowLayout, TheDesignIsScaledToTheScreenWidth) {
    SCOPED_TRACE(screenWidth);
    // On the design screen nothing changes: an 11-pixel window font, a 16-pixel note box, 30-pixel
    // track bars and a 21-pixel combo box.
    EXPECT_EQ(form->font().pixelSize(), scaled(11));
    EXPECT_EQ(ui.RichEdit1()->font().pixelSize(), scaled(16));
    EXPECT_EQ(ui.trackBar(1)->width(), scaled(30));
    EXPECT_EQ(ui.trackBar(8)->width(), scaled(30));
    EXPECT_EQ(ui.ComboBox1()->height(), scaled(21));
    // Headings stay bold at the scaled size.
    EXPECT_TRUE(ui.label("Label5")->font().bold());
    EXPECT_EQ(ui.label("Label5")->font().pixelSize(), scaled(11));
    if (screenWidth == kDesignWidth) {
        EXPECT_EQ(form->font().pixelSize(), 11);
        EXPECT_EQ(ui.RichEdit1()->font().pixelSize(), 16);
    }
    EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
}

TEST_F(MainWindowLayout, EveryControlStandsWhereTheGeometrySaysFromItsClientSize) {
    SCOPED_TRACE(screenWidth);
    const MainWindowGeometry g = computeMainWindowGeometry(inputs());
    const std::pair<const QWidget*, Box> placed[] = {
        {ui.Image1(), g.image1},        {ui.Image2(), g.image2},
        {ui.Image3(), g.image3},        {ui.StringGrid1(), g.stringGrid1},
        {ui.Panel6(), g.panel6},        {ui.Panel5(), g.panel5},
        {ui.Panel7(), g.panel7},        {ui.Panel1(), g.groupPanel[1]},
        {ui.Panel2(), g.groupPanel[2]}, {ui.Panel3(), g.groupPanel[3]},
        {ui.Panel4(), g.groupPanel[4]}, {ui.Button2(), g.button2},
        {ui.Button1(), g.button1},      {ui.Button9(), g.button9},
        {ui.Button10(), g.button10},    {ui.Button8(), g.button8},
        {ui.GroupBox1(), g.groupBox1},  {ui.Button3(), g.button3},
        {ui.Button6(), g.button6},      {ui.StringGrid2(), g.stringGrid2},
        {ui.RichEdit1(), g.richEdit1},
    };
    for (const auto& [widget, box] : placed)
        EXPECT_EQ(boxOf(widget), box) << widget->objectName().toStdString();
    // Every bar of a group at its slot, and the caption of every shown one.
    for (const Setting& spec : kSettings) {
        if (spec.section == 0)
            continue;
        const TrackBarPlace& place = g.trackBar[static_cast<std::size_t>(spec.trackBar)];
        EXPECT_EQ(boxOf(ui.trackBar(spec.trackBar)), place.bar) << spec.trackBar;
        if (spec.shown) {
            EXPECT_EQ(boxOf(ui.label(spec.caption.name)), place.caption) << spec.caption.name;
        }
    }

    const std::pair<const QLabel*, QPoint> marks[] = {
        {ui.label("Label33"), {g.trackBar[1].markLeft, g.trackBar[1].markTop[0]}},
        {ui.label("Label4"), {g.trackBar[1].markLeft, g.trackBar[1].markTop[4]}},
        {ui.label("Label7"), {g.trackBar[3].markLeft, g.trackBar[3].markTop[0]}},
        {ui.label("Label51"), {g.trackBar[3].markLeft, g.trackBar[3].markTop[4]}},
        {ui.label("Label34"), {g.trackBar[5].markLeft, g.trackBar[5].markTop[0]}},
        {ui.label("Label49"), {g.trackBar[6].markLeft, g.trackBar[6].markTop[4]}},
        {ui.label("Label36"), {g.trackBar[7].markLeft, g.trackBar[7].markTop[0]}},
        {ui.label("Label39"), {g.trackBar[7].markLeft, g.trackBar[7].markTop[4]}},
        {ui.label("Label5"), {g.headingLeft[0], 1}},
        {ui.label("Label11"), {g.headingLeft[1], 1}},
        {ui.label("Label16"), {g.headingLeft[2], 1}},
        {ui.label("Label21"), {g.headingLeft[3], 1}},
        {ui.label("Label26"), {g.label26.left, g.label26.top}},
    };
    for (const auto& [label, at] : marks)
        EXPECT_EQ(label->pos(), at) << label->objectName().toStdString();

    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(ui.StringGrid1()->columnWidth(c), g.resultsColumnWidth[c]) << c;
    for (int r = 0; r < ui.StringGrid1()->rowCount(); ++r)
        EXPECT_EQ(ui.StringGrid1()->rowHeight(r), g.resultsRowHeight) << r;
    for (int c = 0; c < 11; ++c)
        EXPECT_EQ(ui.StringGrid2()->columnWidth(c), g.rowGridColumnWidth[c]) << c;
    for (int r = 0; r < ui.StringGrid2()->rowCount(); ++r)
        EXPECT_EQ(ui.StringGrid2()->rowHeight(r), g.rowGridRowHeight) << r;
}

TEST_F(MainWindowLayout, OnTheDesignScreenLayingOutAgainMovesNothingAndEmptiesTheNoteBox) {
    if (screenWidth != kDesignWidth)
        GTEST_SKIP() << "a second scaling on another screen would scale twice";
    // Start-up has shown the reference's status note by now.
    ASSERT_FALSE(ui.RichEdit1()->toPlainText().isEmpty());
    const QRect panel = ui.Panel1()->geometry();
    const QRect bar = ui.trackBar(3)->geometry();
    WindowProbe(*form).LayoutMainWindow();
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
    EXPECT_EQ(ui.Panel1()->geometry(), panel);
    EXPECT_EQ(ui.trackBar(3)->geometry(), bar);
    EXPECT_EQ(form->font().pixelSize(), 11);
}

TEST_F(MainWindowLayout, TrackBarsAreFourFifthsOfTheirGroupAndEndOnePixelAboveItsBottom) {
    for (const Setting& spec : kSettings) {
        if (spec.section == 0 || !spec.shown)
            continue;
        const QSlider* bar = ui.trackBar(spec.trackBar);
        SCOPED_TRACE(bar->objectName().toStdString());
        const int groupHeight = bar->parentWidget()->height();
        EXPECT_EQ(bar->height(), MulDiv(groupHeight, 4, 5));
        EXPECT_EQ(bar->y() + bar->height(), groupHeight - 1);
        EXPECT_GE(bar->x(), 0);
        EXPECT_LE(bar->x() + bar->width(), bar->parentWidget()->width());
    }
    // The plots and the table share the top; the grey panel fills the rest but a margin.
    const int W = form->centralWidget()->width();
    const int H = form->centralWidget()->height();
    EXPECT_EQ(ui.StringGrid1()->x() + ui.StringGrid1()->width(), W - 10);
    EXPECT_EQ(ui.Panel6()->geometry(),
              QRect(10, ui.Image1()->height() + 10, W - 20, H - ui.Image1()->height() - 30));
}

TEST_F(MainWindowLayout, GreyPanelHasRoundedCornersWithTheSilverWindowOutside) {
    QFrame* panel = ui.Panel6();
    const QRegion mask = panel->mask();
    const int w = panel->width();
    const int h = panel->height();
    ASSERT_GT(w, 60);
    ASSERT_GT(h, 60);
    // A corner pixel lies outside a 15-pixel-radius quarter circle; so does (3, 3), at 17 pixels
    // from the circle's centre (15, 15).
    for (const QPoint corner : {QPoint(0, 0), QPoint(3, 3), QPoint(w - 1, 0), QPoint(0, h - 1),
                                QPoint(w - 1, h - 1), QPoint(w - 4, h - 4)})
        EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    for (const QPoint inside : {QPoint(w / 2, h / 2), QPoint(w / 2, 0), QPoint(0, h / 2),
                                QPoint(w - 1, h / 2), QPoint(w / 2, h - 1), QPoint(8, 8)})
        EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();

    const QImage shown = form->centralWidget()->grab().toImage();
    const QPoint origin = panel->pos();
    EXPECT_TRUE(isColour(shown, origin, QColor(192, 192, 192)));
    EXPECT_TRUE(isColour(shown, origin + QPoint(w - 1, h - 1), QColor(192, 192, 192)));
    // Between the panel's edge and the airway frame the grey shows.
    EXPECT_TRUE(isColour(shown, origin + QPoint(4, h / 2), QColor(128, 128, 128)));
}

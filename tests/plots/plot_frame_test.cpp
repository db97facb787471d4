#include "canvas_probe.h"
#include "plots/plot_fonts.h"
#include "plots/plot_frame.h"
#include "plots/row_colors.h"

#include <QFontDatabase>
#include <QFontMetrics>

#include <gtest/gtest.h>

#include <limits>

using namespace vm::plots;

using namespace canvas_probe;

namespace {

TEST(RowColours, OneFixedColourPerRecordRow) {
    const QColor expected[5] = {QColor(0, 0, 0), QColor(255, 0, 0), QColor(0, 128, 0),
                                QColor(128, 0, 128), QColor(0, 0, 0)};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(rowColors()[row], expected[row]) << "row " << row;
}

// A point that is not a finite number takes no part: neither the line to it nor the line from it
// is drawn, and the curve carries on from the next good point.
TEST(PlotFrame, NonFinitePointBreaksTheLine) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QImage canvas = blankCanvas(400, 300);
    {
        PlotFrame frame(canvas);
        frame.setPenColour(kRed);
        frame.moveTo(10, 20);
        frame.lineTo(nan, 20);
        frame.lineTo(20, 20);
        frame.lineTo(30, 20); // (80,60) -> (120,60)
        EXPECT_EQ(frame.penPosition(), QPoint(120, 60));
    }
    EXPECT_EQ(columnsOf(canvas, 60, kRed), Range(80, 119));
}

// A value far beyond the image is cut down before drawing: the visible part keeps its direction.
TEST(PlotFrame, FarPointsAreDrawnQuicklyAndInTheirDirection) {
    QImage canvas = blankCanvas(400, 300);
    {
        PlotFrame frame(canvas);
        frame.setPenColour(kRed);
        frame.moveTo(25, 10);    // (100, 30)
        frame.lineTo(25, 1e30f); // straight down, far away
        frame.moveTo(50, 50);
        frame.lineTo(-3e38f, 50); // straight left
    }
    EXPECT_EQ(rowsOf(canvas, 100, kRed), Range(30, 299));
    EXPECT_EQ(columnsOf(canvas, 150, kRed), Range(0, 200));
}

// Label and name boxes follow the text-size rules; the glyphs lie inside them.
TEST(PlotFrame, TickLabelsAndAxisNamesStandWhereTheRulesPutThem) {
    QImage canvas = blankCanvas(400, 300);
    QFont font;
    TextSizes sizes;
    {
        PlotFrame frame(canvas);
        frame.setFont(defaultPlotFont(8));
        font = frame.font();
        sizes = frame.textSizes();
        frame.drawHorizontalTickLabel(12, 50, 50); // tick at (200, 150)
        frame.drawVerticalTickLabel(8, 25, 20);    // axis at x 100, tick at y 60
        frame.drawVerticalTickLabel(-8, 25, 40);   // tick at y 120
        frame.drawHorizontalAxisName(QStringLiteral("Vol (l)"), 75, 80); // end (300, 240)
        frame.drawVerticalAxisName(QStringLiteral("Flow"), 25, 90);      // end (100, 270)
    }
    const QFontMetrics m(font, &canvas);
    ASSERT_EQ(sizes.th, m.height());
    ASSERT_EQ(sizes.hw, m.horizontalAdvance("H"));
    ASSERT_EQ(sizes.mw, m.horizontalAdvance("-"));
    const auto half = [](int v) { return int(std::nearbyint(v * 0.5)); };
    const int digitsEnd = 100 - sizes.mw - 3; // digits of every vertical label end here
    struct Box {
        const char* what;
        QRect box;
    };
    const Box boxes[] = {
        {"12 below its tick",
         QRect(200 - half(sizes.hw), 154, m.horizontalAdvance("12"), sizes.th)},
        {"8 left of the axis", QRect(digitsEnd - m.horizontalAdvance("8"), 60 - half(sizes.th),
                                     m.horizontalAdvance("8"), sizes.th)},
        {"-8 left of the axis", QRect(digitsEnd - m.horizontalAdvance("8") - sizes.mw,
                                      120 - half(sizes.th), m.horizontalAdvance("-8"), sizes.th)},
        {"Vol (l) on its axis end", QRect(300 - m.horizontalAdvance("Vol (l)"), 240 - sizes.th,
                                          m.horizontalAdvance("Vol (l)"), sizes.th)},
        {"Flow right of the axis end",
         QRect(104, 270 - half(sizes.th), m.horizontalAdvance("Flow"), sizes.th)},
    };
    int inside = 0;
    for (const Box& b : boxes) {
        const int glyphPixels = countNot(canvas, b.box, kWhite);
        EXPECT_GT(glyphPixels, 0) << b.what;
        inside += glyphPixels;
    }
    EXPECT_EQ(inside, countNot(canvas, canvas.rect(), kWhite)) << "text outside its box";
}

TEST(PlotFrame, OpaqueTextFillsItsBoxWithTheFillColour) {
    QImage canvas = blankCanvas(200, 100);
    const QColor yellow(255, 255, 0);
    int width = 0;
    int height = 0;
    {
        PlotFrame frame(canvas);
        frame.setFillColour(yellow);
        frame.drawOpaqueText(10, 20, QStringLiteral("1   "));
        width = frame.textWidth(QStringLiteral("1   "));
        height = frame.textSizes().th;
    }
    const QRect box(10, 20, width, height);
    EXPECT_EQ(countColour(canvas, box, yellow) + countColour(canvas, box, kBlack), width * height);
    EXPECT_GT(countColour(canvas, box, kBlack), 0);
    EXPECT_EQ(countNot(canvas, canvas.rect(), kWhite), width * height);
}

// A family this system lacks is replaced by an installed one, and asking for it again while
// drawing does not make the font matcher warn.
TEST(PlotFonts, MissingFamilyFallsBackQuietly) {
    const QString missing = QStringLiteral("No Such Family Velta");
    const QString serif = installedFamily(missing, QFont::Serif);
    EXPECT_TRUE(QFontDatabase::hasFamily(serif)) << serif.toStdString();
    EXPECT_TRUE(QFontDatabase::hasFamily(installedFamily(missing, QFont::SansSerif)));
    const QString installed = QFontDatabase::families().value(0);
    ASSERT_FALSE(installed.isEmpty());
    EXPECT_EQ(installedFamily(installed, QFont::Serif), installed);

    static int warnings = 0;
    warnings = 0;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString&) {
            if (type != QtDebugMsg && type != QtInfoMsg)
                ++warnings;
        });
    QImage canvas = blankCanvas(100, 50);
    for (int i = 0; i < 20; ++i) {
        PlotFrame frame(canvas);
        frame.setFont(plotFont(QStringLiteral("MS Serif"), 7, QFont::Serif));
        frame.drawOpaqueText(0, 0, QStringLiteral("10"));
        frame.setFont(plotFont(QStringLiteral("arial"), 7, QFont::SansSerif));
        frame.drawOpaqueText(0, 20, QStringLiteral("10"));
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings, 0);
}

} // namespace

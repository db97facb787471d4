// The results table and the row grid after start-up: their text from the standard record and
// how their cells are painted.

#include "window_fixture.h"

#include "record/settings_table.h"
#include "record/vocabulary.h"

#include <QImage>
#include <QPainter>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cmath>

using namespace vm::record;
using namespace vm::data;
using namespace vm::ui;

namespace {
struct Line {
    int gridRow;
    const char* name;
    const char* unit;
    const char* reference; // column 2, also column 3 while the reference is shown
    const char* percent;   // column 4
};

// Expected text worked out by hand from the values DataFolder writes: four significant digits
// and two decimals, percentages of the reference itself 100, a zero reference gives " ".
const Line kLines[] = {
    {1, "FEV1", "l", "3.12", "100"},      {2, "FVCEX", "l", "4.00", "100"},
    {3, "FEV1%FVC", "%", "78.09", "100"}, {4, "PEF", "l/s", "8.50", "100"},
    {5, "MEF75", "l/s", "7.25", "100"},   {6, "MEF50", "l/s", "4.50", "100"},
    {7, "MEF25", "l/s", "0.00", " "},     {8, "ERV", "l", "1.20", "100"},
    {12, "FRC", "l", "2.90", "100"},      {13, "TLC", "l", "6.20", "100"},
};

bool isInk(QRgb pixel, const QColor& ink, const QColor& background) {
    const auto distance = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue());
    };
    const QColor p = QColor::fromRgb(pixel);
    return distance(p, ink) <= 60 && distance(p, background) > 120;
}

// Some pixel inside rect is much nearer the ink than the background.
bool hasInk(const QImage& image, const QRect& rect, const QColor& ink, const QColor& background) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (isInk(image.pixel(x, y), ink, background))
                return true;
    return false;
}

bool allPixels(const QImage& image, const QRect& rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (QColor::fromRgb(image.pixel(x, y)) != colour)
                return false;
    return true;
}

// The top-left corner of the ink inside rect, or (-1, -1).
QPoint inkCorner(const QImage& image, const QRect& rect, const QColor& ink,
                 const QColor& background) {
    int left = -1, top = -1;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (isInk(image.pixel(x, y), ink, background)) {
                if (left < 0 || x - rect.left() < left)
                    left = x - rect.left();
                if (top < 0)
                    top = y - rect.top();
            }
    return {left, top};
}

const QColor kGrey176(176, 176, 176);
const QColor kYellow(255, 255, 0);
const QColor kAqua(0, 255, 255);
const QColor kSilver(192, 192, 192);

QImage grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
} // namespace

class TablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        w.start(folder);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
        w.form->resize(1280, 1000);
    }
    DataFolder folder;
    WindowUnderTest w;
};

TEST_F(TablesTest, ResultsTableShowsTheStandardReference) {
    const TextGrid& t = w.ui().StringGrid1()->cells();
    EXPECT_EQ(t.cell(1, 0), "Unit");
    EXPECT_EQ(t.cell(2, 0), "Ref.");
    EXPECT_EQ(t.cell(3, 0), "Obs.");
    EXPECT_EQ(t.cell(4, 0), "%");
    for (const Line& line : kLines) {
        SCOPED_TRACE(line.name);
        EXPECT_EQ(t.cell(0, line.gridRow), line.name);
        EXPECT_EQ(t.cell(1, line.gridRow), line.unit);
        EXPECT_EQ(t.cell(2, line.gridRow), line.reference);
        EXPECT_EQ(t.cell(3, line.gridRow), line.reference);
        EXPECT_EQ(t.cell(4, line.gridRow), line.percent);
    }
    // FET: no reference value and no percentage; Zmienna: the variant with no decimals.
    EXPECT_EQ(t.cell(0, 11), "FET");
    EXPECT_EQ(t.cell(2, 11), "");
    EXPECT_EQ(t.cell(3, 11), "5.50");
    EXPECT_EQ(t.cell(4, 11), " ");
    EXPECT_EQ(t.cell(0, 15), "Zmienna");
    EXPECT_EQ(t.cell(3, 15), "1");
    // A valid reference gives the note of a valid result.
    EXPECT_TRUE(w.ui().RichEdit1()->toPlainText().contains(QStringLiteral("11")));
}

TEST_F(TablesTest, RowGridShowsTheFilesSettingsOfBothLungs) {
    const TextGrid& g = w.ui().StringGrid2()->cells();
    // Each setting of both lungs in its cell; a hidden bar's (the wall stiffness) is not filled
    // from rows.
    for (const Setting& spec : kSettings) {
        if (!spec.target.isColumn())
            continue;
        const int c = spec.target.index;
        const int col = spec.rowGridColumn;
        SCOPED_TRACE(c);
        const auto text = [](int v) { return "   " + std::to_string(v); };
        if (!spec.shown) {
            for (int row = 0; row < 5; ++row)
                EXPECT_EQ(g.cell(col, row), "");
            continue;
        }
        EXPECT_EQ(g.cell(col, 0), text(100 + 10 * c));
        EXPECT_EQ(g.cell(col, 4), text(100 + 10 * c));
        for (int row = 1; row <= 3; ++row)
            EXPECT_EQ(g.cell(col, row), text(90 + 10 * row + c));
    }
    for (int separator : {2, 5, 8}) {
        EXPECT_EQ(w.ui().StringGrid2()->columnWidth(separator), 15);
        EXPECT_EQ(g.cell(separator, 0), "");
    }
}

TEST_F(TablesTest, RowGridPaintsOnlyTheLinesInUse) {
    StringGrid* grid = w.ui().StringGrid2();
    const QImage image = grab(grid);
    const QColor menu = QColor::fromRgb(image.pixel(grid->cellRect(0, 2).center()));

    // Rows 1..3 hold text but there are no results yet: painted as plain empty cells.
    for (int row = 1; row <= 3; ++row) {
        ASSERT_FALSE(grid->cells().cell(0, row).empty());
        const QRect cell = grid->cellRect(0, row).adjusted(0, 2, 0, 0); // below the thick line
        EXPECT_TRUE(allPixels(image, cell, menu)) << "row " << row;
    }
    // The current settings and the reference are grey with black text.
    for (int row : {0, 4}) {
        const QRect cell = grid->cellRect(0, row);
        const QRect textArea = cell.adjusted(2, 2, 0, row == 0 ? -2 : 0);
        EXPECT_EQ(QColor::fromRgb(image.pixel(cell.right(), cell.top() + 1)), kGrey176) << row;
        EXPECT_TRUE(hasInk(image, textArea, Qt::black, kGrey176)) << row;
    }
    // The thick line: three black pixel rows centred on row 0's last pixel line, across the grid.
    const int last = grid->cellRect(0, 0).bottom();
    for (int x : {1, grid->cellRect(5, 0).left() + 3, grid->cellRect(10, 0).right() - 1}) {
        SCOPED_TRACE(x);
        for (int y = last - 1; y <= last + 1; ++y)
            EXPECT_EQ(QColor::fromRgb(image.pixel(x, y)), QColor(Qt::black)) << y;
        EXPECT_EQ(QColor::fromRgb(image.pixel(x, last - 2)), kGrey176);
        EXPECT_NE(QColor::fromRgb(image.pixel(x, last + 2)), QColor(Qt::black));
    }
}

TEST_F(TablesTest, SelectedResultIsYellowAndResultsShowInTheirRowColours) {
    w.state.resultCount = 2;
    w.state.selectedRow = 2;
    StringGrid* grid = w.ui().StringGrid2();
    const QImage image = grab(grid);
    const QColor menu = QColor::fromRgb(image.pixel(grid->cellRect(0, 3).center()));

    const QRect selected = grid->cellRect(0, 2);
    EXPECT_EQ(QColor::fromRgb(image.pixel(selected.right(), selected.center().y())), kYellow);
    EXPECT_TRUE(hasInk(image, selected.adjusted(2, 2, 0, 0), QColor(0, 128, 0), kYellow));
    const QRect newest = grid->cellRect(0, 1).adjusted(0, 2, 0, 0);
    EXPECT_TRUE(hasInk(image, newest, QColor(255, 0, 0), menu));
    // Row 3 is beyond the results in use.
    EXPECT_TRUE(allPixels(image, grid->cellRect(0, 3), menu));

    // The reference line stays grey even when it is the selected row.
    w.state.resultCount = 3;
    w.state.selectedRow = 4;
    const QImage again = grab(grid);
    const QRect reference = grid->cellRect(0, 4);
    EXPECT_EQ(QColor::fromRgb(again.pixel(reference.right(), reference.center().y())), kGrey176);
}

TEST_F(TablesTest, TextStartsTwoPixelsRightOfAndBelowTheCellCorner) {
    StringGrid* table = w.ui().StringGrid1();
    const QImage image = grab(table);
    // The same text drawn by hand at a corner, in the table's font.
    QImage bare(300, 60, QImage::Format_RGB32);
    bare.fill(kSilver);
    {
        QPainter painter(&bare);
        painter.setFont(table->font());
        painter.setPen(Qt::black);
        painter.drawText(bare.rect(), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("FEV1"));
    }
    const QPoint atCorner = inkCorner(bare, bare.rect(), Qt::black, kSilver);
    const QPoint inCell = inkCorner(image, table->cellRect(0, 1), Qt::black, kSilver);
    ASSERT_GE(atCorner.x(), 0);
    EXPECT_EQ(inCell - atCorner, QPoint(2, 2));
}

TEST_F(TablesTest, ResultsTableColours) {
    StringGrid* table = w.ui().StringGrid1();
    w.state.selectedRow = 2;
    const QImage image = grab(table);
    const auto backgroundOf = [&](int column, int row) {
        const QRect cell = table->cellRect(column, row);
        return QColor::fromRgb(image.pixel(cell.right(), cell.bottom()));
    };
    EXPECT_EQ(backgroundOf(0, 0), kAqua);
    EXPECT_EQ(backgroundOf(0, 14), kGrey176);
    EXPECT_EQ(backgroundOf(3, 15), kGrey176);
    EXPECT_EQ(backgroundOf(2, 5), kSilver);
    // The shown result's columns take its row colour; the reference column stays black.
    EXPECT_TRUE(hasInk(image, table->cellRect(3, 1), QColor(0, 128, 0), kSilver));
    EXPECT_FALSE(hasInk(image, table->cellRect(3, 1), Qt::black, kSilver));
    EXPECT_TRUE(hasInk(image, table->cellRect(2, 1), Qt::black, kSilver));
    EXPECT_FALSE(hasInk(image, table->cellRect(2, 1), QColor(0, 128, 0), kSilver));
}

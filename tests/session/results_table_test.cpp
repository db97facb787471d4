#include "session/results_table.h"

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace vm::record;
using namespace vm::data;
using namespace vm::session;

namespace {

struct FormatCase {
    double value;
    int precision;
    int digits;
    char separator;
    const char* text;
};

class NumberFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormat, Text) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, c.precision, c.digits, c.separator), c.text)
        << c.value << " (" << c.precision << "," << c.digits << ")";
}

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, NumberFormat,
    testing::Values(
        // The FEV1 line of a 3.1234 l reference beside a 2.5 l result.
        FormatCase{3.1234, 4, 2, '.', "3.12"}, FormatCase{2.5, 4, 2, '.', "2.50"},
        FormatCase{100.0 * 2.5 / 3.1234, 3, 0, '.', "80"},
        // Four significant digits are coarser than two decimals here, then padded.
        FormatCase{123.456, 4, 2, '.', "123.50"}, FormatCase{1234.56, 4, 2, '.', "1235.00"},
        FormatCase{2.5, 4, 2, ',', "2,50"}, FormatCase{0.0, 4, 2, '.', "0.00"},
        FormatCase{-1.5, 4, 2, '.', "-1.50"}, FormatCase{0.004, 4, 2, '.', "0.00"},
        FormatCase{-0.004, 4, 2, '.', "0.00"}, FormatCase{0.005, 4, 2, '.', "0.01"},
        // A carry that adds an integer digit still fits P digits.
        FormatCase{99.96, 3, 2, '.', "100.00"}, FormatCase{9.996, 4, 2, '.', "10.00"},
        // Halves of exactly representable values round away from zero.
        FormatCase{0.125, 4, 2, '.', "0.13"}, FormatCase{80.5, 3, 0, '.', "81"},
        FormatCase{-2.5, 2, 0, '.', "-3"},
        // 2.675 is stored just below the half, so it rounds down.
        FormatCase{2.675, 4, 2, '.', "2.67"},
        // Integer part longer than P digits: mantissa and exponent.
        FormatCase{123456.0, 4, 2, '.', "1.235E+5"}, FormatCase{99995.0, 4, 2, '.', "1E+5"},
        FormatCase{12345.0, 4, 2, ',', "1,235E+4"}, FormatCase{100.0, 2, 0, '.', "1E+2"},
        FormatCase{-123456.0, 4, 2, '.', "-1.235E+5"}, FormatCase{1e300, 4, 2, '.', "1E+300"},
        FormatCase{100.0, 5, 0, '.', "100"}, FormatCase{99999.4, 5, 0, '.', "99999"},
        FormatCase{5e-324, 4, 2, '.', "0.00"}, FormatCase{kNan, 4, 2, '.', "NAN"},
        FormatCase{kInf, 4, 2, '.', "INF"}, FormatCase{-kInf, 3, 0, '.', "-INF"}));

// Every index of a row set from one base value, so that each line has its own number.
void setIndices(SimulationRecord& record, int row, float base, float status, float variant) {
    for (int f = 0; f < kStoredIndexCount; ++f)
        record.setField(row, static_cast<RowField>(f), base + static_cast<float>(f));
    record.markFieldsHeld(row);
    record.setField(row, RowField::runStatus, status);
    record.setField(row, RowField::modelVariant, variant);
}

// The lines of the results table, and among them those whose value depends on the run's status
// (all but the displayed-quantity code).
std::vector<int> gridRows(bool statusLinesOnly) {
    std::vector<int> rows;
    for (const SpirometricIndex& index : kIndices)
        if (index.resultsTableLine > 0 &&
            !(statusLinesOnly && index.kind == IndexKind::displayedQuantity))
            rows.push_back(index.resultsTableLine);
    return rows;
}

int gridRowOf(RowField field) {
    return indexOfField(field).resultsTableLine;
}

class ResultsTable : public testing::Test {
  protected:
    ResultsTable() : grid(kResultsTableColumns, kResultsTableRows) {
        for (int row = 0; row < kResultsTableRows; ++row)
            for (int column = 0; column < kResultsTableColumns; ++column)
                grid.setCell(column, row, "old");
        setIndices(record, 0, 2.0f, 1.0f, 1.0f);
        state.resultCount = 1;
        state.selectedRow = 1;
    }
    int show(int row, bool withValues = true) {
        return ShowResultsTable(grid, record, state, row, withValues, '.');
    }

    TextGrid grid;
    SimulationRecord record;
    RecordState state;
};

TEST_F(ResultsTable, Fev1LineOfTheWorkedExample) {
    setIndices(record, 1, 1.0f, 1.0f, 1.0f);
    record.setField(0, RowField::fev1, 3.1234f);
    record.setField(1, RowField::fev1, 2.5f);
    EXPECT_EQ(show(1), kNoteValidResult);
    EXPECT_EQ(grid.cell(0, 1), "FEV1");
    EXPECT_EQ(grid.cell(1, 1), "l");
    EXPECT_EQ(grid.cell(2, 1), "3.12");
    EXPECT_EQ(grid.cell(3, 1), "2.50");
    EXPECT_EQ(grid.cell(4, 1), "80");
}

TEST_F(ResultsTable, HeaderNamesAndUnitsAndUntouchedCells) {
    setIndices(record, 1, 1.0f, 1.0f, 1.0f);
    show(1);
    const char* header[] = {"old", "Unit", "Ref.", "Obs.", "%"};
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(grid.cell(column, 0), header[column]);
    // The names, units and lines themselves are pinned with the vocabulary.
    for (const SpirometricIndex& index : kIndices) {
        if (index.resultsTableLine == 0)
            continue;
        EXPECT_EQ(grid.cell(0, index.resultsTableLine), index.name);
        EXPECT_EQ(grid.cell(1, index.resultsTableLine), index.unit);
    }
    for (const int row : {9, 10, 14})
        for (int column = 0; column < 5; ++column)
            EXPECT_EQ(grid.cell(column, row), "old");
}

TEST_F(ResultsTable, ValuesAndPercentagesOfAValidResult) {
    // Reference indices 2, 3, 4, ... by stored order; the result's are 1, 2, 3, ...
    setIndices(record, 1, 1.0f, 1.0f, 1.0f);
    show(1);
    // FEV1 (field 0): ref 2, obs 1, 50 %. FRC (field 9): ref 11, obs 10, 91 %.
    EXPECT_EQ(grid.cell(2, 1), "2.00");
    EXPECT_EQ(grid.cell(3, 1), "1.00");
    EXPECT_EQ(grid.cell(4, 1), "50");
    EXPECT_EQ(grid.cell(2, 12), "11.00");
    EXPECT_EQ(grid.cell(3, 12), "10.00");
    EXPECT_EQ(grid.cell(4, 12), "91");
    // FET: a value but never a reference value or a percentage.
    EXPECT_EQ(grid.cell(2, 11), "old");
    EXPECT_EQ(grid.cell(3, 11), "13.00");
    EXPECT_EQ(grid.cell(4, 11), " ");
    // Zmienna: the variant in (2, 0); neither column 2 nor column 4 written.
    EXPECT_EQ(grid.cell(2, 15), "old");
    EXPECT_EQ(grid.cell(3, 15), "1");
    EXPECT_EQ(grid.cell(4, 15), "old");
}

TEST_F(ResultsTable, FailedRunsShowTheirStatusAndNote) {
    const struct {
        float status;
        const char* text;
        int note;
    } cases[] = {{0.0f, "dead", kNoteDeadResult},
                 {-1.0f, "error", kNoteErrorResult},
                 {2.0f, "error", kNoteErrorResult},
                 {-1.4f, "error", kNoteErrorResult},
                 {0.9f, "error", kNoteValidResult}, // not exactly 1, but the note rounds
                 {std::numeric_limits<float>::quiet_NaN(), "error", kNoteErrorResult}};
    for (const auto& c : cases) {
        setIndices(record, 1, 1.0f, c.status, 3.0f);
        EXPECT_EQ(show(1), c.note) << c.status;
        for (const int row : gridRows(true)) {
            EXPECT_EQ(grid.cell(3, row), c.text) << "row " << row;
            EXPECT_EQ(grid.cell(4, row), " ") << "row " << row;
        }
        EXPECT_EQ(grid.cell(3, 15), "3") << "the variant is shown whatever the status";
    }
}

TEST_F(ResultsTable, StatusComesFromTheSelectedRowNotTheShownOne) {
    setIndices(record, 1, 1.0f, 0.0f, 1.0f);
    setIndices(record, 2, 1.0f, 1.0f, 1.0f);
    state.resultCount = 2;
    state.selectedRow = 1;
    EXPECT_EQ(show(2), kNoteDeadResult);
    EXPECT_EQ(grid.cell(3, 1), "dead");
    // Nothing selected: the reference's status.
    state.selectedRow = -1;
    EXPECT_EQ(show(0), kNoteValidResult);
    EXPECT_EQ(grid.cell(3, 1), "2.00");
    EXPECT_EQ(grid.cell(4, 1), "100");
}

TEST_F(ResultsTable, ModelVariantFourKeepsOnlyVolumePercentages) {
    setIndices(record, 1, 1.0f, 1.0f, 4.0f);
    show(1);
    for (const RowField volume :
         {RowField::fev1, RowField::fvcex, RowField::fev1PctFvc, RowField::erv})
        EXPECT_NE(grid.cell(4, gridRowOf(volume)), " ") << indexOfField(volume).name;
    for (const RowField other : {RowField::pef, RowField::mef75, RowField::mef50, RowField::mef25,
                                 RowField::frc, RowField::tlc})
        EXPECT_EQ(grid.cell(4, gridRowOf(other)), " ") << indexOfField(other).name;
    EXPECT_EQ(grid.cell(3, 15), "4");
}

TEST_F(ResultsTable, ReferenceOfZeroOrBelowGivesNoPercentage) {
    setIndices(record, 1, 1.0f, 1.0f, 1.0f);
    record.setField(0, RowField::mef25, 0.0f);
    record.setField(0, RowField::mef50, -1.0f);
    show(1);
    EXPECT_EQ(grid.cell(4, 7), " ");
    EXPECT_EQ(grid.cell(4, 6), " ");
    EXPECT_EQ(grid.cell(2, 7), "0.00");
    EXPECT_NE(grid.cell(4, 5), " ");
}

TEST_F(ResultsTable, WithoutValuesColumnsThreeAndFourAreEmpty) {
    setIndices(record, 1, 1.0f, 0.0f, 1.0f);
    EXPECT_EQ(show(1, false), kNoteDeadResult);
    for (const int row : gridRows(false)) {
        EXPECT_EQ(grid.cell(3, row), "") << "row " << row;
        EXPECT_EQ(grid.cell(4, row), "") << "row " << row;
    }
    EXPECT_EQ(grid.cell(2, 1), "2.00");
}

TEST_F(ResultsTable, LocaleSeparator) {
    setIndices(record, 1, 1.0f, 1.0f, 1.0f);
    record.setField(0, RowField::fev1, 3.1234f);
    ShowResultsTable(grid, record, state, 1, true, ',');
    EXPECT_EQ(grid.cell(2, 1), "3,12");
}

TEST_F(ResultsTable, RowOutsideTheRecordIsARangeError) {
    EXPECT_THROW(show(5), RangeError);
    state.selectedRow = 7;
    EXPECT_THROW(show(0), RangeError);
}

TEST(RowGrid, LineShowsTheSettingsOfBothLungs) {
    TextGrid grid(kRowGridColumns, kRowGridRows);
    for (int column = 0; column < kRowGridColumns; ++column)
        grid.setCell(column, 2, "old");
    SimulationRecord record;
    const float settings[8] = {100, 50, 123.456f, 77, 250, 99999.4f, 100000, 0.4f};
    for (int c = 0; c < 8; ++c) {
        record.setPartSetting(3, 2, c, settings[c]);
        record.setPartSetting(3, 1, c, 1.0f); // other parts are not shown
    }
    FillGridRow(grid, record, 2, 3, '.');
    // Columns 2, 5 and 8 are separators and column 4 (wall stiffness, 77 here) is not written.
    const char* expected[kRowGridColumns] = {"   100", "   50",    "old", "   123",  "old", "old",
                                             "   250", "   99999", "old", "   1E+5", "   0"};
    for (int column = 0; column < kRowGridColumns; ++column)
        EXPECT_EQ(grid.cell(column, 2), expected[column]) << "column " << column;
}

TEST(RowGrid, RecordRowOutsideTheRecordIsARangeError) {
    TextGrid grid(kRowGridColumns, kRowGridRows);
    SimulationRecord record;
    EXPECT_THROW(FillGridRow(grid, record, 1, 5, '.'), RangeError);
    EXPECT_THROW(FillGridRow(grid, record, 5, 1, '.'), RangeError);
}

TEST(RowColours, BlackRedGreenPurpleBlack) {
    const std::uint32_t expected[] = {0x000000, 0xFF0000, 0x008000, 0x800080, 0x000000};
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(rowColour(row), expected[row]) << row;
    EXPECT_EQ(rowColour(-1), 0x000000u);
    EXPECT_EQ(rowColour(5), 0x000000u);
}

TEST(ResultsPaint, BackgroundsAndTheSelectedRowsTextColour) {
    EXPECT_EQ(resultsCellPaint(0, 2, 1).background, 0x00FFFFu);
    EXPECT_EQ(resultsCellPaint(14, 0, 1).background, 0xB0B0B0u);
    EXPECT_EQ(resultsCellPaint(15, 4, 1).background, 0xB0B0B0u);
    EXPECT_EQ(resultsCellPaint(13, 4, 1).background, 0xC0C0C0u);
    for (int row = 0; row < kResultsTableRows; ++row) {
        for (int column = 0; column < kResultsTableColumns; ++column) {
            for (const int selected : {-1, 1, 2, 3}) {
                const CellPaint paint = resultsCellPaint(row, column, selected);
                const bool coloured = row >= 1 && column >= 3 && selected > 0;
                EXPECT_EQ(paint.useGridFontColour, !coloured) << row << "," << column;
                if (coloured) {
                    EXPECT_EQ(paint.text, rowColour(selected));
                }
                EXPECT_TRUE(paint.drawText);
                EXPECT_FALSE(paint.systemMenuColour);
                EXPECT_EQ(paint.textOffsetX, 2);
                EXPECT_EQ(paint.textOffsetY, 2);
            }
        }
    }
}

TEST(RowGridPaint, BackgroundTextAndTheLineUnderTheCurrentSettings) {
    constexpr std::uint32_t kMenu = 1; // stands for the system's menu colour
    const struct {
        int gridRow, selectedRow, resultCount;
        std::uint32_t background;
        bool drawText;
    } cases[] = {
        {0, -1, 0, 0xB0B0B0, true}, {1, -1, 0, kMenu, false},   {1, -1, 1, kMenu, true},
        {1, 1, 1, 0xFFFF00, true},  {2, 1, 3, kMenu, true},     {3, 3, 3, 0xFFFF00, true},
        {3, -1, 2, kMenu, false},   {4, -1, 0, 0xB0B0B0, true}, {4, 4, 3, 0xB0B0B0, true},
        {2, 2, 1, 0xFFFF00, false}, // selected beyond the results: yellow but empty
    };
    for (const auto& c : cases) {
        const CellPaint paint = rowGridCellPaint(c.gridRow, c.selectedRow, c.resultCount, 5);
        const std::uint32_t background = paint.systemMenuColour ? kMenu : paint.background;
        EXPECT_EQ(background, c.background) << c.gridRow << " sel " << c.selectedRow;
        EXPECT_EQ(paint.drawText, c.drawText) << c.gridRow << " count " << c.resultCount;
        EXPECT_FALSE(paint.useGridFontColour);
        EXPECT_EQ(paint.text, rowColour(c.gridRow));
        EXPECT_EQ(paint.thickLineBelow, c.gridRow == 0);
    }
}

} // namespace

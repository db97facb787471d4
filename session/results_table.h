#pragma once
// The results table (`StringGrid1`: the indices of the reference beside one result) and the row
// grid (`StringGrid2`: the settings of each result), filled from the record as text, and the
// colours their owner drawing uses. The window only paints what these functions decide.

#include "data/text_grid.h"
#include "record/record_state.h"
#include "record/simulation_record.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vm::session {

inline constexpr int kResultsTableColumns = 5;
inline constexpr int kResultsTableRows = 16;
inline constexpr int kRowGridColumns = 11;
inline constexpr int kRowGridRows = 5;

// What a table shows for an index a row cannot give.
inline constexpr std::string_view kAbsentValue = "—";

// Notes shown in the note box for the status of the shown result.
inline constexpr int kNoteValidResult = 11;
inline constexpr int kNoteDeadResult = 9;
inline constexpr int kNoteErrorResult = 10;

// Fixed-point text of `value` rounded once, at whichever is coarser of `precision` significant
// digits and `digits` decimals, then padded with zeros to `digits` decimals. A number whose
// integer part needs more than `precision` digits is written as mantissa and exponent instead
// ("1.235E+5"). NaN and infinities give "NAN", "INF" and "-INF".
std::string formatNumber(double value, int precision, int digits, char decimalSeparator);

// Fills the results table for record row `row` (0..4) beside the reference (row 0). Cells the
// table does not own (rows 9, 10, 14, column 0 of the header) keep their text. Returns the note
// to show for the status of the selected row (or of the reference): kNoteValidResult for 1,
// kNoteDeadResult for 0 and kNoteErrorResult for -1 and for every other status.
int ShowResultsTable(data::TextGrid& grid, const record::SimulationRecord& record,
                     const record::RecordState& state, int row, bool withValues,
                     char decimalSeparator);

// One line of the row grid from a record row: the settings of both lungs, "   " + value.
// Grid column 4 (the wall stiffness) is left alone; it belongs to the current-settings line.
void FillGridRow(data::TextGrid& grid, const record::SimulationRecord& record, int gridRow,
                 int recordRow, char decimalSeparator);

// Colours as 0xRRGGBB.
inline constexpr std::uint32_t kColourBlack = 0x000000;
inline constexpr std::uint32_t kColourAqua = 0x00FFFF;
inline constexpr std::uint32_t kColourSilver = 0xC0C0C0;
inline constexpr std::uint32_t kColourGrey176 = 0xB0B0B0;
inline constexpr std::uint32_t kColourYellow = 0xFFFF00;

// The colour of each record row in plots and tables: black, red, green, purple, black. A row
// outside 0..4 is painted black.
std::uint32_t rowColour(int row);

// How one cell is painted.
struct CellPaint {
    std::uint32_t background = kColourSilver;
    bool systemMenuColour = false; // background is the system's menu colour instead
    bool drawText = true;
    std::uint32_t text = kColourBlack;
    bool useGridFontColour = true; // text colour is the grid font's, not `text`
    int textOffsetX = 2;           // pixels right of the cell's left edge
    int textOffsetY = 2;           // pixels below the cell's top edge
    bool thickLineBelow = false;   // a black line 3 pixels wide on the row's last pixel line
};

CellPaint resultsCellPaint(int row, int column, int selectedRow);
CellPaint rowGridCellPaint(int gridRow, int selectedRow, int resultCount, int rowCount);

} // namespace vm::session

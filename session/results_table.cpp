#include "session/results_table.h"

#include "model/curve_indices.h"
#include "record/settings_table.h"
#include "record/vocabulary.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

using namespace vm::record;
using namespace vm::data;

namespace vm::session {

namespace {

// The exact decimal digits of a non-negative finite double: digits[0, point) is the integer
// part, the rest the fraction. Rounding on these digits rounds the stored value exactly once.
struct DecimalDigits {
    std::string digits;
    std::size_t point = 0;
};

DecimalDigits exactDigits(double magnitude) {
    // 1074 fraction digits hold every double exactly; 309 integer digits the largest.
    char buffer[1500];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 1080);
    DecimalDigits out;
    for (const char* p = buffer; p != written.ptr; ++p) {
        if (*p == '.')
            out.point = out.digits.size();
        else
            out.digits += *p;
    }
    return out;
}

// Rounds half away from zero so that only digits[0, keep) may be non-zero; the digit string may
// gain a leading "1".
void roundAt(DecimalDigits& d, std::size_t keep) {
    if (keep >= d.digits.size())
        return;
    const bool up = d.digits[keep] >= '5';
    std::fill(d.digits.begin() + static_cast<std::ptrdiff_t>(keep), d.digits.end(), '0');
    if (!up)
        return;
    std::size_t i = keep;
    while (i > 0) {
        --i;
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return;
        }
        d.digits[i] = '0';
    }
    d.digits.insert(d.digits.begin(), '1');
    ++d.point;
}

int noteForStatus(float status) {
    const double rounded = std::nearbyint(static_cast<double>(status));
    if (rounded == 1.0)
        return kNoteValidResult;
    if (rounded == 0.0)
        return kNoteDeadResult;
    return kNoteErrorResult;
}

// Each index on its own line of the table, or on none.
constexpr bool everyLineExists() {
    std::array<bool, kResultsTableRows> taken{};
    for (const SpirometricIndex& index : kIndices) {
        if (index.resultsTableLine == 0)
            continue;
        if (index.resultsTableLine >= kResultsTableRows || taken[index.resultsTableLine])
            return false;
        taken[index.resultsTableLine] = true;
    }
    return true;
}
static_assert(everyLineExists(), "an index shown in the results table has a line of its own");

// Whether the table shows an index read from the curves, which only then are read.
constexpr bool showsCurveIndices() {
    for (const SpirometricIndex& index : kIndices)
        if (index.resultsTableLine > 0 && index.source == IndexSource::curve)
            return true;
    return false;
}

// Each setting's row-grid cell exists, is no separator (2, 5 and 8) and holds no other setting.
constexpr bool everySettingCellExists() {
    std::array<bool, kRowGridColumns> taken{};
    for (const Setting& setting : kSettings) {
        const int column = setting.rowGridColumn;
        if (column < 0)
            continue;
        if (column >= kRowGridColumns || column % 3 == 2 || taken[column])
            return false;
        taken[column] = true;
    }
    return true;
}
static_assert(everySettingCellExists(), "a setting's row-grid cell is its own");

// The row grid's cells of a result's line: the settings of the visible track bars. A hidden
// bar's cell belongs to the current-settings line alone.
constexpr bool inResultLines(const Setting& setting) {
    return setting.shown && setting.target.isColumn() && setting.rowGridColumn >= 0;
}

} // namespace

std::string formatNumber(double value, int precision, int digits, char decimalSeparator) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);

    DecimalDigits d = exactDigits(std::fabs(value));
    const auto firstSignificant = d.digits.find_first_not_of('0');
    if (firstSignificant != std::string::npos) {
        // Integer digits of the value (0 or negative below 1).
        const long magnitude = static_cast<long>(d.point) - static_cast<long>(firstSignificant);
        const long decimals = std::min<long>(digits, precision - magnitude);
        roundAt(d, static_cast<std::size_t>(static_cast<long>(d.point) + decimals));
    }
    const bool isZero = d.digits.find_first_not_of('0') == std::string::npos;
    const std::string sign = std::signbit(value) && !isZero ? "-" : "";

    std::string integerPart = d.digits.substr(0, d.point);
    integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    if (integerPart.empty())
        integerPart.push_back('0');

    if (static_cast<int>(integerPart.size()) > precision && integerPart != "0") {
        std::string mantissa = integerPart.substr(0, static_cast<std::size_t>(precision));
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        std::string text = sign + mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            text += decimalSeparator + mantissa.substr(1);
        return text + "E+" + std::to_string(integerPart.size() - 1);
    }
    std::string text = sign + integerPart;
    if (digits > 0) {
        std::string fraction = d.digits.substr(d.point, static_cast<std::size_t>(digits));
        fraction.resize(static_cast<std::size_t>(digits), '0');
        text += decimalSeparator + fraction;
    }
    return text;
}

int ShowResultsTable(TextGrid& grid, const SimulationRecord& record, const RecordState& state,
                     int row, bool withValues, char decimalSeparator) {
    grid.setCell(1, 0, "Unit");
    grid.setCell(2, 0, "Ref.");
    grid.setCell(3, 0, "Obs.");
    grid.setCell(4, 0, "%");

    // The status of the selected result decides, even when another row's values are shown.
    const float status =
        record.field(state.selectedRow > 0 ? state.selectedRow : referenceRow, RowField::runStatus);
    const float variant = record.field(row, RowField::modelVariant);
    const model::IndexValues values = model::readIndices(record, row, showsCurveIndices());
    const model::IndexValues reference =
        model::readIndices(record, referenceRow, showsCurveIndices());
    const auto format = [&](const model::IndexValue& v, const SpirometricIndex& index) {
        return v.present()
                   ? formatNumber(v.value, index.precision, index.decimals, decimalSeparator)
                   : std::string(kAbsentValue);
    };

    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        const int line = index.resultsTableLine;
        if (line == 0)
            continue;
        const bool compared = index.comparison != Comparison::none;
        const model::IndexValue& v = values[i];
        const model::IndexValue& r = reference[i];
        grid.setCell(0, line, std::string(index.name));
        grid.setCell(1, line, std::string(index.unit));
        if (compared)
            grid.setCell(2, line, format(r, index));
        if (!withValues) {
            grid.setCell(3, line, "");
            grid.setCell(4, line, "");
            continue;
        }
        // The displayed-quantity code is shown whatever the status, and never as a percentage.
        if (index.kind == IndexKind::displayedQuantity) {
            grid.setCell(3, line, format(v, index));
            continue;
        }
        grid.setCell(3, line,
                     status == 1.0f   ? format(v, index)
                     : status == 0.0f ? "dead"
                                      : "error");
        // Percentages of a result shown in another displayed quantity mean nothing except for the
        // volume indices.
        const bool percentShown =
            variant < 4.0f || index.comparison == Comparison::percentInEveryVariant;
        std::string percent = " ";
        if (v.present() && r.present() && r.value > 0 && status == 1.0f && compared && percentShown)
            percent = formatNumber(100.0 * v.value / r.value, 3, 0, decimalSeparator);
        grid.setCell(4, line, percent);
    }
    return noteForStatus(status);
}

void FillGridRow(TextGrid& grid, const SimulationRecord& record, int gridRow, int recordRow,
                 char decimalSeparator) {
    for (const Setting& setting : kSettings)
        if (inResultLines(setting))
            grid.setCell(setting.rowGridColumn, gridRow,
                         "   " + formatNumber(record.partSetting(recordRow, kEditedPart,
                                                                 setting.target.index),
                                              5, 0, decimalSeparator));
}

std::uint32_t rowColour(int row) {
    constexpr std::uint32_t kRowColours[] = {kColourBlack, 0xFF0000, 0x008000, 0x800080,
                                             kColourBlack};
    return row >= 0 && row < 5 ? kRowColours[row] : kColourBlack;
}

CellPaint resultsCellPaint(int row, int column, int selectedRow) {
    CellPaint paint;
    if (row == 0)
        paint.background = kColourAqua;
    else if (row == 14 || row == 15)
        paint.background = kColourGrey176;
    else
        paint.background = kColourSilver;
    if (row >= 1 && (column == 3 || column == 4) && selectedRow > 0) {
        paint.useGridFontColour = false;
        paint.text = rowColour(selectedRow);
    }
    return paint;
}

CellPaint rowGridCellPaint(int gridRow, int selectedRow, int resultCount, int rowCount) {
    CellPaint paint;
    paint.systemMenuColour = true;
    const auto paintGrey = [&] {
        paint.systemMenuColour = false;
        paint.background = kColourGrey176;
    };
    // Later tests win: the reference line stays grey even when it is the selected row.
    if (gridRow == 0)
        paintGrey();
    if (gridRow == selectedRow) {
        paint.systemMenuColour = false;
        paint.background = kColourYellow;
    }
    const bool lastRow = gridRow == rowCount - 1;
    if (lastRow)
        paintGrey();
    paint.drawText = gridRow == 0 || lastRow || gridRow <= resultCount;
    paint.useGridFontColour = false;
    paint.text = rowColour(gridRow);
    paint.thickLineBelow = gridRow == 0;
    return paint;
}

} // namespace vm::session

#pragma once
// The spirometric indices of a result, every one in one table: whether the run stores it in the
// row or it is read afterwards from the row's curves, its JSON key, name, unit, precision, how the
// results table sets it beside the reference and on which line. The results table, the report,
// the runner's JSON, tables and CSV, the sweep's columns and the Python module follow this table.
//
// Adding an index is one line here and its computation: a stored index in
// model/spirometric_indices.cpp (its place in the row is the next of the floats after the last
// stored index), an index read from the curves in model/curve_indices.cpp. A row saved before a
// stored index existed does not hold it: it reads as absent, with why (simulation_record.h).

#include "record/simulation_record.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace vm::record {

// Where an index's value comes from.
enum class IndexSource {
    stored, // computed by the run and stored in the row, in table order from layout::kStoredIndices
    curve,  // read from the row's stored curves and indices whenever it is shown
};

// How the results table sets an index beside the reference's.
enum class Comparison {
    none,                  // neither the reference's value nor a percentage
    percent,               // both; the percentage only for displayed quantities below 4
    percentInEveryVariant, // both, the percentage for every displayed quantity
};

// What a value of a row is, which decides how the tables and the runner treat it.
enum class IndexKind {
    measured,          // a value of the run, shown beside the reference's
    runStatus,         // 1 valid, 0 "dead", -1 "error": heads the runner's table
    displayedQuantity, // the code of what the row shows: shown whatever the status, never as %
};

struct SpirometricIndex {
    std::string_view jsonKey; // key in the runner's JSON and CSV, and in the Python module
    std::string_view name;    // the results table's and the report's name
    std::string_view unit;
    IndexSource source = IndexSource::stored;
    int precision = 4; // significant digits where shown to the user
    int decimals = 2;  // digits after the decimal separator there
    Comparison comparison = Comparison::none;
    int resultsTableLine = 0; // 0: not in the results table
    IndexKind kind = IndexKind::measured;
    float resetValue = 0.0f; // a stored index's value when a run starts
};

namespace index_table {
using enum IndexSource;
using enum Comparison;
using enum IndexKind;

// clang-format off
inline constexpr auto kIndices = std::to_array<SpirometricIndex>({
    // Stored by the run, in the order of the row's floats.
    {.jsonKey = "fev1", .name = "FEV1", .unit = "l", .comparison = percentInEveryVariant,
     .resultsTableLine = 1},
    {.jsonKey = "fvcex", .name = "FVCEX", .unit = "l", .comparison = percentInEveryVariant,
     .resultsTableLine = 2},
    {.jsonKey = "fev1PctFvc", .name = "FEV1%FVC", .unit = "%", .comparison = percentInEveryVariant,
     .resultsTableLine = 3},
    {.jsonKey = "pef", .name = "PEF", .unit = "l/s", .comparison = percent, .resultsTableLine = 4},
    {.jsonKey = "mef75", .name = "MEF75", .unit = "l/s", .comparison = percent,
     .resultsTableLine = 5},
    {.jsonKey = "mef50", .name = "MEF50", .unit = "l/s", .comparison = percent,
     .resultsTableLine = 6},
    {.jsonKey = "mef25", .name = "MEF25", .unit = "l/s", .comparison = percent,
     .resultsTableLine = 7},
    {.jsonKey = "erv", .name = "ERV", .unit = "l", .comparison = percentInEveryVariant,
     .resultsTableLine = 8},
    {.jsonKey = "flowAt1s", .name = "flow at 1 s", .unit = "l/s"},
    // FRC starts at 100 and is the lung volume once the tidal breathing begins.
    {.jsonKey = "frc", .name = "FRC", .unit = "l", .comparison = percent, .resultsTableLine = 12,
     .resetValue = 100.0f},
    {.jsonKey = "tlc", .name = "TLC", .unit = "l", .comparison = percent, .resultsTableLine = 13},
    {.jsonKey = "runStatus", .name = "run status", .unit = "", .kind = runStatus,
     .resetValue = 1.0f},
    {.jsonKey = "fet", .name = "FET", .unit = "s", .resultsTableLine = 11},
    {.jsonKey = "modelVariant", .name = "Zmienna", .unit = " ", .precision = 2, .decimals = 0,
     .resultsTableLine = 15, .kind = displayedQuantity, .resetValue = 1.0f},
    // Read from the curves as a spirometer reads a blow (model/curve_indices.h).
    {.jsonKey = "fvc", .name = "FVC", .unit = "l", .source = curve},
    {.jsonKey = "fev1FromTimeZero", .name = "FEV1 (t0)", .unit = "l", .source = curve},
    {.jsonKey = "fef25to75", .name = "FEF25-75", .unit = "l/s", .source = curve},
    {.jsonKey = "fev6", .name = "FEV6", .unit = "l", .source = curve},
    {.jsonKey = "fev1PctFev6", .name = "FEV1%FEV6", .unit = "%", .source = curve, .decimals = 1},
    {.jsonKey = "slowVc", .name = "VC", .unit = "l", .source = curve},
    {.jsonKey = "fev1PctVc", .name = "FEV1%VC", .unit = "%", .source = curve, .decimals = 1},
    {.jsonKey = "rv", .name = "RV", .unit = "l", .source = curve},
    {.jsonKey = "rvPctTlc", .name = "RV%TLC", .unit = "%", .source = curve, .decimals = 1},
    {.jsonKey = "timeToPef", .name = "tPEF", .unit = "s", .source = curve, .decimals = 3},
    {.jsonKey = "backExtrapolatedVolume", .name = "BEV", .unit = "l", .source = curve,
     .decimals = 3},
    {.jsonKey = "empeyIndex", .name = "Empey", .unit = "ml/(l/min)", .source = curve},
    {.jsonKey = "fif50", .name = "FIF50", .unit = "l/s", .source = curve},
    {.jsonKey = "fef50ToFif50", .name = "FEF50/FIF50", .unit = "", .source = curve},
});
// clang-format on

constexpr int countOf(IndexSource source) {
    int count = 0;
    for (const SpirometricIndex& index : kIndices)
        count += index.source == source ? 1 : 0;
    return count;
}

} // namespace index_table

using index_table::kIndices;
inline constexpr int kIndexCount = static_cast<int>(kIndices.size());
inline constexpr int kStoredIndexCount = index_table::countOf(IndexSource::stored);

// The row's floats after the stored indices, counted from the table, are unused up to the mark
// of how many the row holds.
inline constexpr std::size_t kUnusedAfterIndices = layout::kStoredIndices + 4 * kStoredIndexCount;
static_assert(kStoredIndexCount <= layout::kIndexCapacity,
              "the stored indices fit in the row's floats before the mark of how many it holds");
static_assert(kStoredIndexCount >= layout::kFirstIndexCount,
              "every file holds the first fourteen indices");

// The place of the index with this key in kIndices; a key not in the table does not compile.
consteval std::size_t indexNamed(std::string_view key) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        if (kIndices[i].jsonKey == key)
            return i;
    throw "no index has this key";
}

// A stored index's place among the stored ones, which is its RowField; -1 for an index read
// from the curves.
constexpr int storedPlaceOf(std::size_t position) {
    if (kIndices[position].source != IndexSource::stored)
        return -1;
    int place = 0;
    for (std::size_t i = 0; i < position; ++i)
        place += kIndices[i].source == IndexSource::stored ? 1 : 0;
    return place;
}

// The record field of a stored index: RowField::fev1 .. RowField::modelVariant for the first
// fourteen, the next ones in table order.
consteval RowField storedField(std::string_view key) {
    const int place = storedPlaceOf(indexNamed(key));
    if (place < 0)
        throw "the index is read from the curves, not stored";
    return static_cast<RowField>(place);
}

// The table's line of a stored field.
constexpr const SpirometricIndex& indexOfField(RowField field) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        if (storedPlaceOf(i) == static_cast<int>(field))
            return kIndices[i];
    throw RangeError("Range check error: row field " + std::to_string(static_cast<int>(field)));
}

namespace index_table {
// The first fourteen stored indices are the RowFields every file has, in their stored order;
// each key and name is its own and each results-table line holds one index.
constexpr bool consistent() {
    if (storedField("fev1") != RowField::fev1 || storedField("fvcex") != RowField::fvcex ||
        storedField("flowAt1s") != RowField::flowAt1s ||
        storedField("runStatus") != RowField::runStatus ||
        storedField("modelVariant") != RowField::modelVariant)
        return false;
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& a = kIndices[i];
        if (a.jsonKey.empty() || a.precision < 1 || a.decimals < 0 || a.resultsTableLine < 0)
            return false;
        if (a.source == IndexSource::curve && a.kind != IndexKind::measured)
            return false;
        for (std::size_t j = i + 1; j < kIndices.size(); ++j) {
            const SpirometricIndex& b = kIndices[j];
            if (a.jsonKey == b.jsonKey || a.name == b.name ||
                (a.resultsTableLine > 0 && a.resultsTableLine == b.resultsTableLine))
                return false;
        }
    }
    return true;
}
static_assert(consistent(), "one line per index, each key, name and results-table line once");
} // namespace index_table

} // namespace vm::record

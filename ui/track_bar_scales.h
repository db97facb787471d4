#pragma once

namespace vm::ui {

// How a track bar's position becomes a setting in percent and back. Plain C++ so the laws can be
// checked without widgets.

enum class TrackBarScale {
    exponential, // 100 x 2^(P/100 - 2): every 100 positions double the value
    half,        // P / 2
    quarter,     // P / 4 + 25
};

struct TrackBarSpec {
    int number;           // 1..9
    TrackBarScale scale;
    int minimum;
    int maximum;
    int defaultPosition;  // the position that means 100 %
    int settingColumn;    // column of the edited part; -1 for the expiration depth (global item 0)
    int rowGridColumn;    // -1 when the setting has no row-grid column
};

// Track bars 1..9; any other number is a range error.
const TrackBarSpec& TrackBarSpecOf(int number);

// The setting a position means: rounded to the nearest integer (halves to even), at least 10.
double TrackBarValue(int number, int position);

// The position that shows a setting, rounded (halves to even) and clamped to the track bar's range.
// A setting with no position (zero, negative, NaN or infinite) goes to the minimum position.
int TrackBarPosition(int number, double value);

// Nearest integer with halves to the even neighbour.
double RoundHalfEven(double v);

} // namespace vm::ui

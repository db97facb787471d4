#pragma once
// The track bars' laws: how a position of track bar n of the settings table becomes a setting and
// back. Plain C++ so it can be checked without widgets.

#include "record/settings_table.h"

namespace vm::ui {

// The setting a position means: rounded to the nearest integer (halves to even), at least 10.
double trackBarValue(int number, int position);

// The position that shows a setting, rounded (halves to even) and clamped to the track bar's range.
// A setting with no position (zero, negative, NaN or infinite) goes to the minimum position.
int trackBarPosition(int number, double value);

// Nearest integer with halves to the even neighbour.
double roundHalfEven(double v);

} // namespace vm::ui

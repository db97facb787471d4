#pragma once

#include <array>
#include <span>

namespace vm::ui {

// The control panel in one table: per track bar its law (position <-> percent), its labels, its
// group, where its setting goes and which note it shows. Creating, laying out and enabling the
// controls all walk this table. Plain C++ so it can be checked without widgets.

enum class TrackBarScale {
    exponential, // 100 x 2^(P/100 - 2): every 100 positions double the value
    half,        // P / 2
    quarter,     // P / 4 + 25
};

// A static text of the panel: its name in the window description and its text (UTF-8).
struct PanelLabel {
    const char* name = nullptr; // nullptr: no label here
    const char* text = nullptr;
};

struct TrackBarSpec {
    int number; // TrackBar<number>, 1..9
    TrackBarScale scale;
    int minimum;
    int maximum;
    int defaultPosition;   // the position that means 100 %
    unsigned char section; // the group that enables it (ControlGroups); 0: in no group
    bool shown;            // a hidden bar and its caption are never shown nor enabled
    int settingColumn;     // column of the edited part; -1 for the expiration depth (global item 0)
    int rowGridColumn;     // -1 when the setting has no row-grid column
    int noteKey;           // the setting note a change shows; 0: none
    PanelLabel caption;    // just above the bar
    // The scale, top to bottom, enabled with the bar. Track bar 3 has no mark at its lowest
    // position; track bars 7 and 8 share the scale listed with 7.
    std::array<PanelLabel, 5> scaleLabels;
};

// A group of track bars on its own clickable panel.
struct ControlGroupSpec {
    int panel;             // Panel<panel>
    unsigned char section; // what SelectSection enables it by
    int airwayPicture;     // hotspot code of its region in the airway picture
};

// Track bars 1..9 in order.
std::span<const TrackBarSpec> trackBarTable();

// Track bars 1..9; any other number is a range error.
const TrackBarSpec& trackBarSpecOf(int number);

// Panels 1..4 in order.
std::span<const ControlGroupSpec> controlGroups();

// The group enabled by a section; a section of no group is a range error.
const ControlGroupSpec& controlGroupOfSection(unsigned char section);

// The setting a position means: rounded to the nearest integer (halves to even), at least 10.
double trackBarValue(int number, int position);

// The position that shows a setting, rounded (halves to even) and clamped to the track bar's range.
// A setting with no position (zero, negative, NaN or infinite) goes to the minimum position.
int trackBarPosition(int number, double value);

// Nearest integer with halves to the even neighbour.
double roundHalfEven(double v);

} // namespace vm::ui

#pragma once
// Every setting the user moves, in one table: what it sets (a column of the edited lung part or a
// global item) and everything the program shows of it: the track bar's law, range and default, its
// group and its slot there, its row-grid column, its note, its help file, its caption and scale,
// and its heading in the table of all settings. The control panel, its layout, the row grid, the
// right-click help and the runner's names are made from this table, so a new control is one line
// here (and, for a setting the model does not read yet, its conversion).

#include "record/vocabulary.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace vm::record {

// What a setting writes: a column of the part the control panel edits, or a global item.
struct SettingTarget {
    enum class Kind { partColumn, globalItem };
    Kind kind;
    int index; // a SettingColumn or a GlobalItem

    static constexpr SettingTarget column(SettingColumn c) { return {Kind::partColumn, c}; }
    static constexpr SettingTarget item(GlobalItem i) { return {Kind::globalItem, i}; }
    constexpr bool isColumn() const { return kind == Kind::partColumn; }
    bool operator==(const SettingTarget&) const = default;
};

// How a track bar's position P becomes a setting, rounded half to even and at least 10.
enum class TrackBarLaw {
    exponential, // 100 x 2^(P/100 - 2): every 100 positions double the value
    half,        // P / 2
    quarter,     // P / 4 + 25
};

// Where a bar stands in its group's panel, in units E of the layout (a group of one unit is E wide;
// the lungs and peripheral groups are one unit, the intermediate one and a half). The slot also
// says where the caption and the scale go.
enum class TrackBarSlot {
    leftEdge,     // at the left edge; caption above it, scale on its right
    rightEdge,    // at the right edge; caption just left of the bar
    beforeCentre, // ending at E/2; caption and scale at the panel's left edge
    atCentre,     // starting at E/2; caption flush with the panel's right edge
    pastCentre,   // starting 15 pixels after E/2; caption above it, scale on its right
};

// A static text beside a track bar: its name in the window description, its text (UTF-8) and,
// where it differs from its setting's, the help file a right click on it opens.
struct SettingLabel {
    const char* name = nullptr; // nullptr: no label here
    const char* text = nullptr;
    const char* helpFile = nullptr;
};

struct Setting {
    SettingTarget target;
    int trackBar; // TrackBar<trackBar>; the table lists 1, 2, 3 ... in order
    TrackBarLaw law;
    int minimum;
    int maximum;
    int defaultPosition;   // the position that means 100 %
    unsigned char section; // the group that enables it (kControlGroups); 0: in no group
    TrackBarSlot slot;     // its place within the group
    bool shown;            // a hidden bar and its caption are never shown nor enabled
    int rowGridColumn;     // its cell in the row grid's lines; -1: none
    int noteKey;           // the setting note a change shows; 0: none
    const char* helpFile;  // opened by a right click on its caption and scale; nullptr: none
    SettingLabel caption;  // just above the bar
    // The scale, top to bottom, its labels at the hundreds of the range from the bottom up; a scale
    // with fewer labels than hundreds leaves the top ones bare.
    std::array<SettingLabel, 5> scaleLabels;
    bool scaleCentredInGroup; // one scale shared by the group's bars, in the middle of the group
    const char* tableHeading; // its column in the table of all settings; nullptr: none
};

// The silver frame a group stands on: one behind the airway groups, one behind the lungs.
enum class GroupFrame { airways, lungs };

// One group of track bars on its own clickable panel, with its heading.
struct ControlGroup {
    int panel; // Panel<panel>
    GroupFrame frame;
    unsigned char section; // what SelectSection enables it by
    int airwayPicture;     // hotspot code of its region in the airway picture
    const char* helpFile;  // opened by a right click on the panel
    SettingLabel heading;  // on the silver frame above; its own help file, if any
};

namespace settings_table {

inline constexpr const char* kGeneralHelp = "H0000.rtf";

using enum TrackBarLaw;
using enum TrackBarSlot;
using C = SettingColumn;

// clang-format off
inline constexpr auto kSettings = std::to_array<Setting>({
    {SettingTarget::column(C::rCentral), 1, exponential, 100, 500, 200, 1, leftEdge, true, 0, 1,
     "H0001.rtf", {"Label24", "R"},
     {{{"Label33", "50%"}, {"Label1", "100%"}, {"Label2", "200%"}, {"Label3", "400%"},
       {"Label4", "800%"}}}, false, "R"},
    // VDc belongs to the central airways, although its bar stands among the intermediate ones.
    {SettingTarget::column(C::vdc), 2, half, 100, 500, 200, 3, leftEdge, true, 1, 2,
     "H0001.rtf", {"Label25", "VDc"},
     {{{"Label40", "50%"}, {"Label41", "100%"}, {"Label42", "150%"}, {"Label43", "200%"},
       {"Label44", "250%"}}}, false, "VDc"},
    {SettingTarget::column(C::rIntermediate), 3, exponential, 100, 600, 200, 3, pastCentre, true,
     3, 3, "H0002.rtf", {"Label28", " R(1/światło)"},
     {{{"Label7", "100 (norma)"}, {"Label8", "200 (łagodna)"}, {"Label9", "400 (umiar.)"},
       {"Label10", "800 (ciężka)"}, {"Label51", "1600 (b.ciężka)", kGeneralHelp}}}, false,
     "R(1/swiat)"},
    // The wall stiffness has no visible control; only a simulation file can change it.
    {SettingTarget::column(C::stiffness), 4, exponential, 100, 500, 200, 3, rightEdge, false, 4, 4,
     nullptr, {"Label27", "Stiff"}, {}, false, "--stiff--"},
    {SettingTarget::column(C::rPeripheral), 5, exponential, 100, 500, 200, 4, beforeCentre, true,
     6, 5, "H0003.rtf", {"Label29", " R(1/światło)"},
     {{{"Label34", "50%"}, {"Label12", "100%"}, {"Label13", "200%"}, {"Label14", "400%"},
       {"Label15", "800%"}}}, false, "OBW. R(1/swia)"},
    {SettingTarget::column(C::ccc), 6, half, 100, 500, 200, 4, atCentre, true, 7, 6,
     "H0003.rtf", {"Label30", "CCC"},
     {{{"Label45", "50%", kGeneralHelp}, {"Label46", "100%", kGeneralHelp},
       {"Label47", "150%", kGeneralHelp}, {"Label48", "200%", kGeneralHelp},
       {"Label49", "250%", kGeneralHelp}}}, false, "CCC"},
    {SettingTarget::column(C::lungSize), 7, quarter, 100, 500, 300, 5, leftEdge, true, 9, 7,
     "H0004.rtf", {"Label31", "Rozmiar"},
     {{{"Label36", "50%"}, {"Label37", "75%"}, {"Label18", "100%"}, {"Label38", "125%"},
       {"Label39", "150%"}}}, true, "Rozmiar"},
    {SettingTarget::column(C::cm), 8, quarter, 100, 500, 300, 5, rightEdge, true, 10, 8,
     "H0004.rtf", {"Label32", "Cm"}, {}, true, "Cm"},
    // Only "Both lungs" is ever edited, so the expiration depth has no visible control.
    {SettingTarget::item(GlobalItem::expirationDepth), 9, exponential, 0, 400, 200, 0, leftEdge,
     false, -1, 0, nullptr, {"Label53", "głębokość wydechu"}, {}, false, nullptr},
});

// Clicking a group's panel selects its section and shows its region of the airway picture; the
// two numberings differ only for the central airways.
inline constexpr std::array<ControlGroup, 4> kControlGroups{{
    {1, GroupFrame::airways, 1, 2, "H0001.rtf", {"Label5", "GŁÓWNE", "H0001.rtf"}},
    {2, GroupFrame::airways, 3, 3, "H0002.rtf", {"Label11", "POŚREDNIE", "H0002.rtf"}},
    {3, GroupFrame::airways, 4, 4, "H0003.rtf", {"Label16", "OBWODOWE", "H0003.rtf"}},
    {4, GroupFrame::lungs, 5, 5, "H0004.rtf", {"Label21", "PŁUCA"}},
}};
// clang-format on

constexpr bool numberedInOrder() {
    for (std::size_t i = 0; i < kSettings.size(); ++i)
        if (kSettings[i].trackBar != static_cast<int>(i) + 1)
            return false;
    for (std::size_t i = 0; i < kControlGroups.size(); ++i)
        if (kControlGroups[i].panel != static_cast<int>(i) + 1)
            return false;
    return true;
}
static_assert(numberedInOrder(), "a track bar and a group panel are looked up by their number");

// Each column and item at most once, each in range; every column of the edited part once.
constexpr bool eachTargetOnce() {
    std::array<int, layout::kSettingColumns> columns{};
    std::array<int, layout::kGlobalItems> items{};
    for (const Setting& s : kSettings) {
        if (s.target.index < 0)
            return false;
        if (s.target.isColumn()) {
            if (s.target.index >= layout::kSettingColumns || columns[s.target.index]++ != 0)
                return false;
        } else if (s.target.index >= layout::kGlobalItems || items[s.target.index]++ != 0) {
            return false;
        }
    }
    for (int c : columns)
        if (c != 1)
            return false;
    return true;
}
static_assert(eachTargetOnce(), "one control per setting, and one for each column");

// A bar in a group belongs to a group that exists; one in none is never shown.
constexpr bool inAGroup() {
    for (const Setting& s : kSettings) {
        bool found = s.section == 0 && !s.shown;
        for (const ControlGroup& g : kControlGroups)
            found = found || g.section == s.section;
        if (!found)
            return false;
    }
    return true;
}
static_assert(inAGroup(), "every shown bar stands in a group");

} // namespace settings_table

using settings_table::kControlGroups;
using settings_table::kSettings;

// Track bar n (1..kSettings.size()); any other number is a range error.
const Setting& settingOfTrackBar(int trackBar);

// The setting of a part column or global item, if a control has one; else nullptr.
const Setting* settingOf(SettingTarget target);

// The group enabled by a section; a section of no group is a range error.
const ControlGroup& controlGroupOfSection(unsigned char section);

// The runner's name of a setting: its column's name, or "global.N" for a global item.
std::string runnerName(const Setting& setting);

} // namespace vm::record

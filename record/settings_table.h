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

// A track bar and its setting; only what differs from a visible exponential bar of 100..500 at
// 200 needs saying.
struct Setting {
    SettingTarget target;
    int trackBar = 0; // TrackBar<trackBar>; the table lists 1, 2, 3 ... in order
    // The setting in plain Polish, as the window's notices name it (a global item's words are the
    // vocabulary's, record/vocabulary.h).
    std::string_view words{};
    TrackBarLaw law = TrackBarLaw::exponential;
    int minimum = 100;
    int maximum = 500;
    int defaultPosition = 200; // the position that means 100 %
    unsigned char section = 0; // the group that enables it (kControlGroups); 0: none
    TrackBarSlot slot = TrackBarSlot::leftEdge; // its place within the group
    bool shown = true;              // a hidden bar and its caption are never shown nor enabled
    int rowGridColumn = -1;         // its cell in the row grid's lines; -1: none
    int noteKey = 0;                // the setting note a change shows; 0: none
    const char* helpFile = nullptr; // opened by a right click on its caption and scale
    SettingLabel caption{};         // just above the bar
    // The scale, top to bottom, its labels at the hundreds of the range from the bottom up; a scale
    // with fewer labels than hundreds leaves the top ones bare.
    std::array<SettingLabel, 5> scaleLabels{};
    bool scaleCentredInGroup = false;   // one scale shared by the group's bars, in the middle of it
    const char* tableHeading = nullptr; // its column in the table of all settings; nullptr: none
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

constexpr SettingTarget column(SettingColumn c) {
    return SettingTarget::column(c);
}

// clang-format off
inline constexpr auto kSettings = std::to_array<Setting>({
    {.target = column(C::rCentral), .trackBar = 1, .words = "opór dróg centralnych", .section = 1,
     .rowGridColumn = 0, .noteKey = 1, .helpFile = "H0001.rtf", .caption = {"Label24", "R"},
     .scaleLabels = {{{"Label33", "50%"}, {"Label1", "100%"}, {"Label2", "200%"},
                      {"Label3", "400%"}, {"Label4", "800%"}}},
     .tableHeading = "R"},
    // VDc belongs to the central airways, although its bar stands among the intermediate ones.
    {.target = column(C::vdc), .trackBar = 2, .words = "objętość dróg centralnych (VDc)",
     .law = half, .section = 3, .rowGridColumn = 1, .noteKey = 2, .helpFile = "H0001.rtf",
     .caption = {"Label25", "VDc"},
     .scaleLabels = {{{"Label40", "50%"}, {"Label41", "100%"}, {"Label42", "150%"},
                      {"Label43", "200%"}, {"Label44", "250%"}}},
     .tableHeading = "VDc"},
    {.target = column(C::rIntermediate), .trackBar = 3, .words = "opór dróg pośrednich",
     .maximum = 600, .section = 3, .slot = pastCentre, .rowGridColumn = 3, .noteKey = 3,
     .helpFile = "H0002.rtf", .caption = {"Label28", " R(1/światło)"},
     .scaleLabels = {{{"Label7", "100 (norma)"}, {"Label8", "200 (łagodna)"},
                      {"Label9", "400 (umiar.)"}, {"Label10", "800 (ciężka)"},
                      {"Label51", "1600 (b.ciężka)", kGeneralHelp}}},
     .tableHeading = "R(1/swiat)"},
    // The wall stiffness has no visible control; only a simulation file can change it.
    {.target = column(C::stiffness), .trackBar = 4,
     .words = "zapadalność ścian dróg pośrednich (Stiff)", .section = 3, .slot = rightEdge,
     .shown = false, .rowGridColumn = 4, .noteKey = 4, .caption = {"Label27", "Stiff"},
     .tableHeading = "--stiff--"},
    {.target = column(C::rPeripheral), .trackBar = 5, .words = "opór dróg obwodowych",
     .section = 4, .slot = beforeCentre, .rowGridColumn = 6, .noteKey = 5, .helpFile = "H0003.rtf",
     .caption = {"Label29", " R(1/światło)"},
     .scaleLabels = {{{"Label34", "50%"}, {"Label12", "100%"}, {"Label13", "200%"},
                      {"Label14", "400%"}, {"Label15", "800%"}}},
     .tableHeading = "OBW. R(1/swia)"},
    {.target = column(C::ccc), .trackBar = 6, .words = "minimalna objętość płatów (CCC)",
     .law = half, .section = 4, .slot = atCentre, .rowGridColumn = 7, .noteKey = 6,
     .helpFile = "H0003.rtf", .caption = {"Label30", "CCC"},
     .scaleLabels = {{{"Label45", "50%", kGeneralHelp}, {"Label46", "100%", kGeneralHelp},
                      {"Label47", "150%", kGeneralHelp}, {"Label48", "200%", kGeneralHelp},
                      {"Label49", "250%", kGeneralHelp}}},
     .tableHeading = "CCC"},
    {.target = column(C::lungSize), .trackBar = 7, .words = "rozmiar płuc", .law = quarter,
     .defaultPosition = 300, .section = 5, .rowGridColumn = 9, .noteKey = 7,
     .helpFile = "H0004.rtf", .caption = {"Label31", "Rozmiar"},
     .scaleLabels = {{{"Label36", "50%"}, {"Label37", "75%"}, {"Label18", "100%"},
                      {"Label38", "125%"}, {"Label39", "150%"}}},
     .scaleCentredInGroup = true, .tableHeading = "Rozmiar"},
    {.target = column(C::cm), .trackBar = 8, .words = "podatność płuc (Cm)", .law = quarter,
     .defaultPosition = 300, .section = 5, .slot = rightEdge, .rowGridColumn = 10, .noteKey = 8,
     .helpFile = "H0004.rtf", .caption = {"Label32", "Cm"}, .scaleCentredInGroup = true,
     .tableHeading = "Cm"},
    // Only "Both lungs" is ever edited, so the expiration depth has no visible control.
    {.target = SettingTarget::item(GlobalItem::expirationDepth), .trackBar = 9, .minimum = 0,
     .maximum = 400, .shown = false, .caption = {"Label53", "głębokość wydechu"}},
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

#pragma once
// Where the main window puts its controls, computed once at start-up from the screen and the
// client area. Plain C++ so the numbers can be checked without a screen.

#include "record/settings_table.h"
#include "ui/control_slots.h"

#include <array>

namespace vm::ui {

// Per track bar n of the settings table, at index n; index 0 unused.
inline constexpr std::size_t kTrackBarIndices = record::kSettings.size() + 1;

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const Box&) const = default;
};

// What the layout reads: the client size after maximising, the screen, and a few sizes the
// widgets report for themselves (already scaled with the window).
struct LayoutInputs {
    int clientWidth = 0;
    int clientHeight = 0;
    int screenHeight = 0;
    int comboBoxHeight = 21; // a one-line combo box
    int gridLineWidth = 1;
    int resultsRowCount = 16;
    int rowGridRowCount = 5;
    std::array<int, kTrackBarIndices> trackBarWidth{}; // of the bars in a group
    std::array<int, 4> headingWidth{}; // "GŁÓWNE", "POŚREDNIE", "OBWODOWE", "PŁUCA"
    int captionHeight = 13;            // height of a caption label
    std::array<int, kTrackBarIndices> captionWidth{}; // caption label of each bar in a group
    // The widest label of each group's shared scale, by the group's panel number.
    std::array<int, record::kControlGroups.size() + 1> sharedScaleWidth{0, 30, 30, 30, 30};
    // The window font's pixel size after scaling; the sizes that hold text grow with it.
    int fontPixelSize = kDesignFontPixelSize;
    static constexpr int kDesignFontPixelSize = 11;
};

struct TrackBarPlace {
    Box bar;                      // relative to its group panel
    Box caption;                  // relative to its group panel
    std::array<int, 5> markTop{}; // tops of the scale labels, top to bottom
    int markCount = 0;
    int markLeft = 0;
};

struct MainWindowGeometry {
    Box image1, image2, image3;
    Box stringGrid1;
    std::array<int, 5> resultsColumnWidth{};
    int resultsRowHeight = 0;
    bool resultsFontSize10 = false;
    Box panel6; // the grey rounded panel
    Box panel5, panel7;
    int unitE = 0;
    std::array<Box, 5> groupPanel;                        // Panel1..Panel4 at 1..4
    std::array<TrackBarPlace, kTrackBarIndices> trackBar; // relative to their group panel
    std::array<int, 4> headingLeft{}; // within Panel5 (first three) and Panel7 (last)
    Box button2, button1, button9, button10, button8;
    Box groupBox1, button3, button6; // buttons relative to the group box
    Box stringGrid2;
    std::array<int, 11> rowGridColumnWidth{};
    int rowGridRowHeight = 0;
    Box label26; // left and top only, relative to Panel6
    Box richEdit1;
};

MainWindowGeometry computeMainWindowGeometry(const LayoutInputs& in);

} // namespace vm::ui

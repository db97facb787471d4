#pragma once
// The sensitive regions of the airway picture: which row of the parameter table lies under the
// mouse, what its hotspot code means (hint, track-bar group, help file), and which picture and
// hint the airway picture shows next. Plain decisions only; the window carries them out.

#include "data/text_grid.h"

#include <optional>
#include <string>
#include <string_view>

namespace vm::data {

// A region covers the points less than this many percent away from its centre in x and in y.
inline constexpr int kHintRadius = 5;
// No region under the mouse.
inline constexpr int kNoRegion = -1;
// Hotspot codes outside this range are read as the plain picture with no region.
inline constexpr int kLowestHotspotCode = -6;
inline constexpr int kHighestHotspotCode = 11;

// round(100 × position / size), to the nearest whole percent with ties to even; 0 when the size
// is not positive.
int positionPercent(int position, int size);

// The table row (1 .. rowCount − 1) whose region holds the mouse position (x, y) on a picture of
// width × height pixels; the last such row wins. A row whose x or y is not a whole number is
// never hit. kNoRegion when none holds it or the picture has no size.
int hoveredRegion(const TextGrid& grid, int x, int y, int width, int height);

// The hotspot code of a row: its column 3 as a whole number; 1 for kNoRegion, for a text that is
// not a whole number and for 0.
int regionCode(const TextGrid& grid, int row);

// What a hotspot code stands for.
struct Hotspot {
    std::string_view hint;                    // empty: no hint box
    std::optional<std::string_view> helpFile; // nothing: a right click opens no help
};

// Codes 1..5 are the plain picture and the four marked parts; the other codes have no hint and
// no help file.
Hotspot hotspotOf(int code);

// The help file of a right click on the hovered row: "helpfiles/H0000.rtf" outside every region.
std::optional<std::string_view> rightClickHelpFile(const TextGrid& grid, int hoveredRow);

// The track-bar group of a left click on the hovered row: 0 outside every region; for a region,
// its column 3 read as "1".."5" gives 0, 1, 3, 4, 5; any other text changes nothing.
std::optional<int> leftClickSection(const TextGrid& grid, int hoveredRow);

// Where the hint box goes, relative to the picture: above and to the right of the point (x, y),
// 10 pixels wide per character of the text (characters, not bytes, of the UTF-8 text).
struct HintBox {
    int left = 0;
    int top = 0;
    int width = 0;
};
HintBox hintBoxAt(std::string_view hintText, int x, int y, int boxHeight);

// What ShowAirwayPicture does for one request.
enum class HintChange { keep, show, hide };
struct AirwayPictureStep {
    int picture = 0; // the picture to draw (1..11; 6..11 are empty), 0 for none
    HintChange hint = HintChange::keep;
    std::string_view hintText; // for HintChange::show
    std::string message;       // "Bad num. -4": shown instead of any drawing
};

// The airway picture's memory of what it shows. Requests: 1..11 a picture; −1 nothing; −2 picture
// 1 even when shown; −3 the current picture again without touching the hint; −4..−6 the
// "Bad num. " message. 0 and codes outside −6..11 show the plain picture.
class AirwayPictureState {
  public:
    // −2 until a picture has been shown.
    int currentPicture() const { return currentPicture_; }

    // Decides what request n does and takes the picture it draws as the current one.
    AirwayPictureStep request(int n);

  private:
    int currentPicture_ = -2;
};

} // namespace vm::data

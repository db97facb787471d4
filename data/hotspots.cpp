#include "data/hotspots.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace vm::data {

namespace {

constexpr int kXColumn = 1;
constexpr int kYColumn = 2;
constexpr int kCodeColumn = 3;
constexpr int kPlainPicture = 1;

// Codes 1..5: the plain picture, then the central, intermediate and peripheral airways and the
// lung parenchyma. Hints are UTF-8 and begin with a space.
constexpr std::array<Hotspot, 5> kHotspots = {{
    {"", "helpfiles/H0001.rtf"},
    {" główne", "helpfiles/H0001.rtf"},
    {" pośrednie", "helpfiles/H0002.rtf"},
    {" obwodowe", "helpfiles/H0003.rtf"},
    {" miąższ płuc", "helpfiles/H0004.rtf"},
}};

// A whole number: an optional sign and decimal digits, nothing else, within the range of int.
std::optional<int> wholeNumber(std::string_view text) {
    const bool plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (plus && text.front() == '-'))
        return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// A cell the grid does not have reads as empty.
std::string_view cellText(const TextGrid& grid, int column, int row) {
    if (column >= grid.columnCount() || row < 0 || row >= grid.rowCount())
        return {};
    return grid.cell(column, row);
}

bool isBadNumber(int n) {
    return n >= -6 && n <= -4;
}

} // namespace

int positionPercent(int position, int size) {
    if (size <= 0)
        return 0;
    // Held well inside int: a position far off a tiny picture is simply far from every region.
    return static_cast<int>(std::clamp(std::nearbyint(100.0 * position / size), -1e9, 1e9));
}

int hoveredRegion(const TextGrid& grid, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return kNoRegion; // a picture not laid out yet has no regions
    const int px = positionPercent(x, width);
    const int py = positionPercent(y, height);
    int hovered = kNoRegion;
    for (int row = 1; row < grid.rowCount(); ++row) {
        const std::optional<int> rx = wholeNumber(cellText(grid, kXColumn, row));
        const std::optional<int> ry = wholeNumber(cellText(grid, kYColumn, row));
        // In 64 bits, so that a centre near the ends of int cannot overflow the distance.
        if (rx && ry && std::llabs(static_cast<long long>(px) - *rx) < kHintRadius &&
            std::llabs(static_cast<long long>(py) - *ry) < kHintRadius)
            hovered = row;
    }
    return hovered;
}

int regionCode(const TextGrid& grid, int row) {
    if (row == kNoRegion)
        return kPlainPicture;
    const std::optional<int> code = wholeNumber(cellText(grid, kCodeColumn, row));
    return code && *code != 0 ? *code : kPlainPicture;
}

Hotspot hotspotOf(int code) {
    if (code < 1 || code > static_cast<int>(kHotspots.size()))
        return {};
    return kHotspots[static_cast<std::size_t>(code - 1)];
}

std::optional<std::string_view> rightClickHelpFile(const TextGrid& grid, int hoveredRow) {
    if (hoveredRow == kNoRegion)
        return "helpfiles/H0000.rtf";
    return hotspotOf(regionCode(grid, hoveredRow)).helpFile;
}

std::optional<int> leftClickSection(const TextGrid& grid, int hoveredRow) {
    if (hoveredRow == kNoRegion)
        return 0;
    // The text itself is compared, so "02" or "+2" select nothing.
    static constexpr std::array<std::pair<std::string_view, int>, 5> kSections = {{
        {"1", 0},
        {"2", 1},
        {"3", 3},
        {"4", 4},
        {"5", 5},
    }};
    const std::string_view text = cellText(grid, kCodeColumn, hoveredRow);
    for (const auto& [code, section] : kSections)
        if (text == code)
            return section;
    return std::nullopt;
}

HintBox hintBoxAt(std::string_view hintText, int x, int y, int boxHeight) {
    int characters = 0;
    for (const char byte : hintText)
        characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80 ? 1 : 0; // lead bytes only
    return {x + 5, y - boxHeight - 5, 10 * characters};
}

AirwayPictureStep AirwayPictureState::request(int n) {
    if (n == 0 || n < kLowestHotspotCode || n > kHighestHotspotCode)
        n = kPlainPicture; // a code from a foreign table: the plain picture, no region
    if (n == -2) {
        n = kPlainPicture;
        currentPicture_ = 2; // so that picture 1 is drawn whatever was shown
    }
    if (n == currentPicture_ || n == -1)
        return {};
    const bool updateHint = n != -3;
    if (n == -3)
        n = currentPicture_ == -2 ? kPlainPicture : currentPicture_;
    if (isBadNumber(n))
        return {0, HintChange::keep, {}, "Bad num. " + std::to_string(n)};

    AirwayPictureStep step{n, HintChange::keep, {}, {}};
    if (updateHint) {
        step.hintText = hotspotOf(n).hint;
        step.hint = n >= 2 && n <= 5 ? HintChange::show : HintChange::hide;
    }
    currentPicture_ = n;
    return step;
}

} // namespace vm::data

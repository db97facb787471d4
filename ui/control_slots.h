#pragma once
// Where a track bar stands in its group panel, from its slot in the settings table: the bar, its
// caption and its scale. The window's layout places every bar with these; the same arithmetic
// checks at build time, on the design window with today's window font, that every shown bar's
// slot exists in its group and holds no other bar, and that its caption and scale stay inside
// the group, clear of the other captions and bars. A new control that would not fit does not
// build.

#include "record/settings_table.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vm::ui {

// a x b / c rounded to the nearest integer with halves away from zero.
constexpr int MulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t absProduct = product < 0 ? -product : product;
    const std::int64_t absC = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t magnitude = (absProduct * 2 + absC) / (2 * absC);
    return static_cast<int>(((product < 0) != (c < 0)) ? -magnitude : magnitude);
}

// The unit E of the control panel for a client width: a third of the airway frame's inside.
constexpr int panelUnit(int clientWidth) {
    return MulDiv(MulDiv(clientWidth, 38, 100) - 40, 1, 3);
}

// Group panel 1 is half a unit wide, panel 2 a unit and a half (rounded half to even), the
// others a unit.
constexpr int groupPanelWidth(int panel, int unitE) {
    if (panel == 1)
        return (unitE - 5) / 2 + 3;
    if (panel == 2) {
        const int half = 3 * unitE / 2;
        return half + (3 * unitE % 2 != 0 && half % 2 != 0 ? 1 : 0);
    }
    return unitE;
}

// Left edges within the group panel.
struct SlotPlace {
    int bar = 0;
    int caption = 0;
    int scale = 0; // where the bar's own scale labels begin
};

constexpr SlotPlace slotPlace(record::TrackBarSlot slot, int unitE, int groupWidth, int barWidth,
                              int captionWidth) {
    using enum record::TrackBarSlot;
    switch (slot) {
    case leftEdge:
        return {3, 3, 3 + barWidth};
    case rightEdge:
        return {groupWidth - barWidth - 3, groupWidth - barWidth - 5, groupWidth - 3};
    case beforeCentre:
        return {unitE / 2 - barWidth, 1, 2};
    case atCentre:
        return {unitE / 2, groupWidth - captionWidth - 5, unitE / 2 + barWidth};
    case pastCentre:
        return {unitE / 2 + 15, unitE / 2 + 15, unitE / 2 + 15 + barWidth};
    }
    return {};
}

namespace design {

// The screen the layout was drawn for, where scaling changes nothing, and its track bars.
inline constexpr int kClientWidth = 1280;
inline constexpr int kBarWidth = 30;

// Today's window font at the design size, "Sans Serif" at 11 pixels, which is DejaVu Sans on the
// systems the program runs on: the advance of each printable ASCII character and Polish letter in
// pixels, as Qt measures it. A label is one pixel wider than its characters' advances.
inline constexpr std::array<unsigned char, 95> kAsciiAdvance{
    3, 4, 5, 9, 7, 10, 9, 3,  4,  4, 6, 9, 3, 4, 3, 4, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 4, 4, 9, 9,  9, 6,  11, 8, 8, 8, 8, 7, 6, 9, 8, 3, 3, 7, 6, 9, 8, 9,
    7, 9, 8, 7, 7, 8,  8, 11, 8,  7, 8, 4, 4, 4, 9, 6, 6, 7, 7, 6, 7, 7, 4, 7,
    7, 3, 3, 6, 3, 11, 7, 7,  7,  7, 5, 6, 4, 7, 7, 9, 7, 7, 6, 7, 4, 7, 9};
inline constexpr std::array<std::pair<char32_t, int>, 18> kPolishAdvance{{
    {U'ą', 7},
    {U'ć', 6},
    {U'ę', 7},
    {U'ł', 3},
    {U'ń', 7},
    {U'ó', 7},
    {U'ś', 6},
    {U'ź', 6},
    {U'ż', 6},
    {U'Ą', 8},
    {U'Ć', 8},
    {U'Ę', 7},
    {U'Ł', 6},
    {U'Ń', 8},
    {U'Ó', 9},
    {U'Ś', 7},
    {U'Ź', 8},
    {U'Ż', 8},
}};
// A character the tables lack counts as the widest.
inline constexpr int kWidestAdvance = 11;

constexpr int advance(char32_t c) {
    if (c >= 32 && c < 127)
        return kAsciiAdvance[c - 32];
    for (const auto& [letter, width] : kPolishAdvance)
        if (letter == c)
            return width;
    return kWidestAdvance;
}

// The width of a label holding UTF-8 text at today's font.
constexpr int labelWidth(std::string_view utf8) {
    int width = 1;
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0xff >> (length + 1));
        for (std::size_t k = 1; k < length && at + k < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[at + k]) & 0x3f);
        width += advance(c);
        at += length;
    }
    return width;
}

struct Span {
    int left = 0;
    int right = 0;
    constexpr bool overlaps(const Span& other) const {
        return left < other.right && other.left < right;
    }
};

// The widest label of a group's shared scale.
constexpr int sharedScaleWidth(unsigned char section) {
    int widest = 0;
    for (const record::Setting& s : record::kSettings)
        if (s.section == section && s.scaleCentredInGroup)
            for (const record::SettingLabel& label : s.scaleLabels)
                if (label.text != nullptr)
                    widest = std::max(widest, labelWidth(label.text));
    return widest;
}

// Whether the shown bars of a group fit it at the design window. One that does not stops the
// build at the line that says why.
constexpr bool groupFits(const record::ControlGroup& group) {
    const int unitE = panelUnit(kClientWidth);
    const int groupWidth = groupPanelWidth(group.panel, unitE);
    const Span inside{0, groupWidth};
    std::array<Span, record::kSettings.size()> bars{};
    std::array<Span, record::kSettings.size()> captions{};
    std::array<Span, record::kSettings.size()> scales{};
    std::size_t count = 0;
    for (const record::Setting& s : record::kSettings) {
        if (s.section != group.section || !s.shown)
            continue;
        const int captionWidth = labelWidth(s.caption.text);
        const SlotPlace place = slotPlace(s.slot, unitE, groupWidth, kBarWidth, captionWidth);
        int scaleWidth = 0;
        for (const record::SettingLabel& label : s.scaleLabels)
            if (label.text != nullptr)
                scaleWidth = std::max(scaleWidth, labelWidth(label.text));
        const int scaleLeft = s.scaleCentredInGroup
                                  ? (groupWidth - sharedScaleWidth(group.section)) / 2
                                  : place.scale;
        bars[count] = {place.bar, place.bar + kBarWidth};
        captions[count] = {place.caption, place.caption + captionWidth};
        scales[count] = {scaleLeft, scaleLeft + scaleWidth};
        for (const Span& span : {bars[count], captions[count], scales[count]})
            if (span.left < inside.left || span.right > inside.right)
                throw "a bar, caption or scale of the group reaches past its edge";
        for (std::size_t k = 0; k < count; ++k)
            if (bars[k].overlaps(bars[count]) || captions[k].overlaps(captions[count]))
                throw "two bars of the group, or their captions, stand in one place";
        ++count;
    }
    for (std::size_t a = 0; a < count; ++a)
        for (std::size_t b = 0; b < count; ++b)
            if (a != b && scales[a].right > scales[a].left && scales[a].overlaps(bars[b]))
                throw "a scale of the group runs into another bar";
    return true;
}

constexpr bool everyGroupFits() {
    for (const record::ControlGroup& group : record::kControlGroups)
        groupFits(group);
    return true;
}

} // namespace design

static_assert(design::everyGroupFits(), "a shown track bar does not fit its group's slot");

} // namespace vm::ui

#include "record/simulation_record.h"
#include "ui/track_bar_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

using namespace vm::record;
using namespace vm::ui;

namespace {

TEST(TrackBarLaws, PositionsBecomeSettingsWithHalvesToEven) {
    struct Case {
        int bar, position;
        double value;
    } cases[] = {
        {1, 100, 50},  {1, 200, 100},  {1, 300, 200}, {1, 400, 400},
        {1, 500, 800}, {3, 600, 1600}, {1, 250, 141},               // 100 * sqrt 2 = 141.42
        {2, 101, 50},                                               // 50.5 goes to the even 50
        {2, 103, 52},                                               // 51.5 goes to the even 52
        {6, 500, 250}, {7, 100, 50},   {7, 300, 100}, {8, 102, 50}, // 50.5
        {8, 106, 52},                                               // 51.5
        {9, 0, 25},    {9, 200, 100},  {9, 400, 400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trackBarValue(c.bar, c.position), c.value)
            << "bar " << c.bar << " at " << c.position;
}

TEST(TrackBarLaws, EveryDefaultPositionMeansOneHundredPercent) {
    for (const Setting& spec : kSettings) {
        EXPECT_EQ(trackBarValue(spec.trackBar, spec.defaultPosition), 100.0) << spec.trackBar;
        EXPECT_EQ(trackBarPosition(spec.trackBar, 100.0), spec.defaultPosition) << spec.trackBar;
    }
}

TEST(TrackBarLaws, SettingsBecomePositionsClampedToTheRange) {
    EXPECT_EQ(trackBarPosition(1, 150.0), 258); // (log2 1.5 + 2) * 100 = 258.5
    EXPECT_EQ(trackBarValue(1, 258), 149.0);
    EXPECT_EQ(trackBarPosition(2, 52.0), 104);
    EXPECT_EQ(trackBarPosition(7, 75.0), 200);
    EXPECT_EQ(trackBarPosition(1, 10000.0), 500);
    EXPECT_EQ(trackBarPosition(3, 10.0), 100);
    EXPECT_EQ(trackBarPosition(2, 1e30), 500) << "a huge value must not overflow the position";
    EXPECT_EQ(trackBarPosition(9, 1.0), 0);
}

TEST(TrackBarLaws, SettingsWithoutAPositionGoToTheMinimum) {
    const double bad[] = {0.0, -5.0, std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (const Setting& spec : kSettings)
        for (double v : bad)
            EXPECT_EQ(trackBarPosition(spec.trackBar, v), spec.minimum)
                << spec.trackBar << " " << v;
}

TEST(TrackBarLaws, UnknownTrackBarOrSectionIsARangeError) {
    EXPECT_THROW(settingOfTrackBar(0), RangeError);
    EXPECT_THROW(trackBarValue(static_cast<int>(kSettings.size()) + 1, 200), RangeError);
    EXPECT_THROW(controlGroupOfSection(2), RangeError);
}

// A new line in the table must not reuse a label, a setting or a grid cell of another line.
TEST(ControlPanelTable, EveryLabelColumnAndNoteBelongsToOneTrackBar) {
    std::set<std::string> labels;
    std::set<int> settingColumns, gridColumns, notes;
    for (const Setting& spec : kSettings) {
        SCOPED_TRACE(spec.trackBar);
        EXPECT_EQ(&settingOfTrackBar(spec.trackBar), &spec);
        for (const SettingLabel& label : spec.scaleLabels)
            if (label.name != nullptr) {
                EXPECT_TRUE(labels.insert(label.name).second) << label.name;
            }
        EXPECT_TRUE(labels.insert(spec.caption.name).second) << spec.caption.name;
        if (spec.target.isColumn()) {
            EXPECT_TRUE(settingColumns.insert(spec.target.index).second);
            EXPECT_TRUE(gridColumns.insert(spec.rowGridColumn).second);
            EXPECT_TRUE(notes.insert(spec.noteKey).second);
        }
        // Only a group's bars have a place on the panel.
        if (spec.section != 0) {
            EXPECT_NO_THROW(controlGroupOfSection(spec.section));
        } else {
            EXPECT_FALSE(spec.shown);
        }
    }
    for (std::size_t k = 0; k < kControlGroups.size(); ++k)
        EXPECT_EQ(kControlGroups[k].panel, static_cast<int>(k) + 1);
}

} // namespace

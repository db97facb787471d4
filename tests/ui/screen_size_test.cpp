// The results table's font follows the screen: size 10 from a screen height above 768 pixels.
// The test runs on the default off-screen display and again on one exactly 768 pixels tall.

#include "window_fixture.h"

#include <QScreen>

#include <gtest/gtest.h>

using namespace vm::model;
using namespace vm::ui;

TEST(ScreenSize, ResultsTableFontGrowsOnlyOnTallScreens) {
    DataFolder folder;
    WindowUnderTest w;
    TForm1& form = w.start(folder);
    const WindowProbe ui(form);
    const int screenHeight = form.screen()->geometry().height();
    SCOPED_TRACE(screenHeight);
    if (screenHeight > 768) {
        EXPECT_EQ(ui.StringGrid1()->font().pointSize(), 10);
    } else {
        EXPECT_EQ(ui.StringGrid1()->font(), form.font());
    }
    // The row grid keeps the window's font either way.
    EXPECT_EQ(ui.StringGrid2()->font(), form.font());
    // The window fills the screen's width and the first picture starts at its left margin.
    EXPECT_EQ(form.width(), form.screen()->availableGeometry().width());
    EXPECT_EQ(ui.Image1()->geometry().topLeft(), QPoint(10, 0));
}

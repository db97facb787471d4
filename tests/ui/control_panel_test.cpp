// The control panel as the user drives it: track bars turning positions into settings of both
// lungs, loading a row's settings onto the bars, "reset", the group panels and the lung selector.

#include "window_fixture.h"

#include "record/vocabulary.h"

#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace vm::record;
using namespace vm::ui;

namespace {
const std::string kMarker = "unchanged";

std::string gridRow0(const WindowProbe& ui, int column) {
    return ui.StringGrid2()->cells().cell(column, 0);
}

void markGridRow0(const WindowProbe& ui) {
    for (int column = 0; column < ui.StringGrid2()->columnCount(); ++column)
        ui.StringGrid2()->cells().setCell(column, 0, kMarker);
}

void click(QWidget* widget, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), widget->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), widget->mapToGlobal(QPointF(at)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}
} // namespace

class ControlPanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form = &w.start(folder);
        ASSERT_TRUE(w.interaction.messages.isEmpty());
        ui = WindowProbe(*form);
        for (int n = 1; n <= 9; ++n)
            bars[n] = ui.trackBar(n);
    }
    // What the note box holds after showing note n on its own.
    QString noteText(int n) {
        const QString before = ui.RichEdit1()->toPlainText();
        WindowProbe(*form).ShowSettingNote(n);
        const QString note = ui.RichEdit1()->toPlainText();
        ui.RichEdit1()->setPlainText(before);
        return note;
    }
    DataFolder folder;
    WindowUnderTest w;
    TForm1* form = nullptr;
    WindowProbe ui;
    std::array<QSlider*, 10> bars{};
};

TEST_F(ControlPanelTest, PositionsBecomeSettingsOfBothLungsInTheirGridColumn) {
    using enum SettingColumn;
    struct Case {
        int bar;
        int position;
        SettingColumn column;
        double value;   // worked out from the bar's law
        int gridColumn; // of the row grid
    };
    const Case cases[] = {
        {1, 250, rCentral, 141, 0},       // 100 x 2^0.5 = 141.42
        {1, 500, rCentral, 800, 0},       // 100 x 2^3
        {2, 101, vdc, 50, 1},             // 50.5, half to even
        {2, 103, vdc, 52, 1},             // 51.5, half to even
        {3, 100, rIntermediate, 50, 3},   // lowest position
        {3, 600, rIntermediate, 1600, 3}, // highest position, four digits
        {4, 300, stiffness, 200, 4},      // the hidden stiffness bar still writes its setting
        {5, 150, rPeripheral, 71, 6},     // 100 x 2^-0.5 = 70.71
        {6, 251, ccc, 126, 7},            // 125.5, half to even
        {7, 102, lungSize, 50, 9},        // 50.5, half to even
        {8, 106, cm, 52, 10},             // 51.5, half to even
        {8, 500, cm, 150, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("TrackBar" + std::to_string(c.bar) + " at " + std::to_string(c.position));
        markGridRow0(ui);
        ui.RichEdit1()->clear();
        bars[c.bar]->setValue(c.position);
        EXPECT_EQ(w.state.currentPartSettings[kEditedPart][c.column], c.value);
        const std::string expected = "   " + std::to_string(static_cast<int>(c.value));
        EXPECT_EQ(gridRow0(ui, c.gridColumn), expected);
        // Only that cell is written.
        for (int column = 0; column < ui.StringGrid2()->columnCount(); ++column)
            if (column != c.gridColumn) {
                EXPECT_EQ(gridRow0(ui, column), kMarker) << column;
            }
        EXPECT_FALSE(ui.RichEdit1()->toPlainText().isEmpty());
        EXPECT_EQ(ui.RichEdit1()->toPlainText(), noteText(c.bar));
        // The other lung parts are not the control panel's.
        EXPECT_EQ(w.state.currentPartSettings[LungPart::leftLung][c.column], 100.0);
        EXPECT_EQ(w.state.currentPartSettings[LungPart::lobe5][c.column], 100.0);
    }
    EXPECT_NE(noteText(1), noteText(3));
}

TEST_F(ControlPanelTest, ExpirationDepthGoesToTheFirstGlobalSettingWithoutANote) {
    const std::pair<int, double> cases[] = {{0, 25}, {400, 400}, {300, 200}, {200, 100}};
    markGridRow0(ui);
    ui.RichEdit1()->clear();
    for (const auto& [position, value] : cases) {
        ui.trackBar(9)->setValue(position);
        EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], value) << position;
    }
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
    for (int column = 0; column < ui.StringGrid2()->columnCount(); ++column)
        EXPECT_EQ(gridRow0(ui, column), kMarker);
    EXPECT_EQ(w.state.currentPartSettings[kEditedPart][SettingColumn::rCentral], 100.0);
}

TEST_F(ControlPanelTest, EveryUserScrollRunsTheHandlerEvenWhenThePositionStays) {
    WindowProbe(*form).Panel1Click();
    QSlider* bar = ui.trackBar(1);
    bar->setValue(500);
    double& setting = w.state.currentPartSettings[kEditedPart][SettingColumn::rCentral];
    setting = 7;
    markGridRow0(ui);

    // The program setting the same position again is no change.
    bar->setValue(500);
    EXPECT_EQ(setting, 7);
    EXPECT_EQ(gridRow0(ui, 0), kMarker);

    // A key press against the end of the scale leaves the bar at 500 but is still handled.
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 500);
    EXPECT_EQ(setting, 800);
    EXPECT_EQ(gridRow0(ui, 0), "   800");

    // A page step that moves the bar: two positions, the value of the new one.
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(bar->value(), 498);
    EXPECT_EQ(setting, 789); // 100 x 2^2.98 = 789.0

    // Letting go of the thumb where it is counts as well.
    setting = 7;
    emit bar->sliderReleased();
    EXPECT_EQ(setting, 789);
}

TEST_F(ControlPanelTest, LoadingARowMovesOnlyTheBarsWhoseSettingHasAnotherPosition) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        int bar;
        float stored;
        int position;   // expected
        double setting; // expected current setting afterwards
        std::string cell;
    };
    const Case cases[] = {
        // 150 lies between positions: (log2 1.5 + 2) x 100 = 258.5 -> 258, which means 149.
        {1, 150.0f, 258, 149, "   149"},
        // 100.2 already stands at 200: nothing runs and the value stays unquantised.
        {2, 100.2f, 200, static_cast<double>(100.2f), kMarker},
        {3, 100.0f, 200, 100, kMarker},
        // Settings without a position go to the lowest one, whose value is 50.
        {4, 0.0f, 100, 50, "   50"},
        {5, static_cast<float>(nan), 100, 50, "   50"},
        {6, -3.0f, 100, 50, "   50"},
        {7, static_cast<float>(inf), 100, 50, "   50"},
        // Far beyond the scale: clamped to the highest position, 150 %.
        {8, 1e30f, 500, 150, "   150"},
    };
    const int row = 1;
    for (const Case& c : cases)
        w.record.setPartSetting(row, kEditedPart, c.bar - 1, c.stored);
    w.record.setPartSetting(row, LungPart::leftLung, SettingColumn::ccc, 77.5f);
    w.record.setPartSetting(row, LungPart::lobe5, SettingColumn::rCentral, 12.25f);
    // The stored depth stands at the bar's own position, so it is not copied.
    w.record.setGlobalSetting(row, GlobalItem::expirationDepth, 100.2f);
    w.state.currentGlobalSettings[GlobalItem::expirationDepth] = 123;
    markGridRow0(ui);

    ASSERT_TRUE(form->runCommand([&] { WindowProbe(*form).LoadRowSettingsToControls(row); }));
    EXPECT_TRUE(w.interaction.messages.isEmpty());
    const int gridColumns[] = {0, 1, 3, 4, 6, 7, 9, 10};
    for (const Case& c : cases) {
        SCOPED_TRACE("TrackBar" + std::to_string(c.bar));
        EXPECT_EQ(bars[c.bar]->value(), c.position);
        EXPECT_EQ(w.state.currentPartSettings[kEditedPart][c.bar - 1], c.setting);
        EXPECT_EQ(gridRow0(ui, gridColumns[c.bar - 1]), c.cell);
    }
    // Every part is copied, not only the one on the bars.
    EXPECT_EQ(w.state.currentPartSettings[LungPart::leftLung][SettingColumn::ccc], 77.5);
    EXPECT_EQ(w.state.currentPartSettings[LungPart::lobe5][SettingColumn::rCentral], 12.25);
    EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], 123);
    EXPECT_EQ(ui.trackBar(9)->value(), 200);
}

TEST_F(ControlPanelTest, TheExpirationDepthReachesTheSettingsOnlyThroughItsBar) {
    // 50 % of the depth is one hundred positions below the default.
    w.record.setGlobalSetting(2, GlobalItem::expirationDepth, 50.0f);
    w.record.setGlobalSetting(0, GlobalItem::expirationDepth, 400.0f);
    WindowProbe(*form).LoadRowSettingsToControls(2);
    EXPECT_EQ(ui.trackBar(9)->value(), 100);
    EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], 50);
    // Row -1 means the reference.
    w.record.setPartSetting(0, kEditedPart, SettingColumn::rCentral, 400.0f);
    WindowProbe(*form).LoadRowSettingsToControls(-1);
    EXPECT_EQ(ui.trackBar(9)->value(), 400);
    EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], 400);
    EXPECT_EQ(ui.trackBar(1)->value(), 400);
}

TEST_F(ControlPanelTest, LoadingARowOutsideTheRecordStopsWithARangeError) {
    EXPECT_FALSE(form->runCommand([&] { WindowProbe(*form).LoadRowSettingsToControls(5); }));
    EXPECT_EQ(w.interaction.messages.size(), 1);
    EXPECT_EQ(ui.trackBar(1)->value(), 200);
}

TEST_F(ControlPanelTest, ResetWithEveryBarAtItsDefaultRunsNoHandler) {
    for (int column = 0; column < layout::kSettingColumns; ++column)
        w.state.currentPartSettings[kEditedPart][column] = 100.2;
    w.state.currentGlobalSettings[GlobalItem::expirationDepth] = 100.2;
    markGridRow0(ui);
    ui.Button1()->click();
    for (int column = 0; column < layout::kSettingColumns; ++column)
        EXPECT_EQ(w.state.currentPartSettings[kEditedPart][column], 100.2) << column;
    EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], 100.2);
    for (int column = 0; column < ui.StringGrid2()->columnCount(); ++column)
        EXPECT_EQ(gridRow0(ui, column), kMarker) << column;
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
}

TEST_F(ControlPanelTest, ResetBringsMovedBarsBackToOneHundredPercent) {
    const int moved[] = {0, 120, 450, 100, 150, 330, 480, 100, 101, 7};
    for (int n = 1; n <= 9; ++n)
        bars[n]->setValue(moved[n]);
    ASSERT_NE(w.state.currentPartSettings[kEditedPart][SettingColumn::rCentral], 100.0);
    // Whichever group is enabled: here none.
    WindowProbe(*form).SelectSection(0);
    ui.Button1()->click();
    const int defaults[] = {0, 200, 200, 200, 200, 200, 200, 300, 300, 200};
    const int gridColumns[] = {0, 1, 3, 4, 6, 7, 9, 10};
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(bars[n]->value(), defaults[n]) << n;
    for (int column = 0; column < layout::kSettingColumns; ++column) {
        EXPECT_EQ(w.state.currentPartSettings[kEditedPart][column], 100.0) << column;
        EXPECT_EQ(gridRow0(ui, gridColumns[column]), "   100") << column;
    }
    EXPECT_EQ(w.state.currentGlobalSettings[GlobalItem::expirationDepth], 100.0);
    // The notes the moves showed are cleared at the end.
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
}

TEST_F(ControlPanelTest, ClickingAGroupEnablesItsBarsAndShowsItsRegion) {
    struct Group {
        QFrame* panel;
        unsigned char section;
        int picture;
        std::vector<int> enabled;
    };
    const Group groups[] = {
        {ui.Panel1(), 1, 2, {1}},
        {ui.Panel2(), 3, 3, {2, 3}},
        {ui.Panel3(), 4, 4, {5, 6}},
        {ui.Panel4(), 5, 5, {7, 8}},
    };
    // Each region's picture one plain colour, so the shown one can be told apart.
    const QColor colours[] = {Qt::black, Qt::black, Qt::red, Qt::green, Qt::blue, Qt::cyan};
    for (int k = 2; k <= 5; ++k) {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(colours[k]);
        WindowProbe(*form).pictureTable()[static_cast<std::size_t>(k)] = picture;
    }
    for (const Group& g : groups) {
        SCOPED_TRACE(int(g.section));
        click(g.panel, QPoint(g.panel->width() / 2, 2));
        EXPECT_EQ(WindowProbe(*form).activeSection(), g.section);
        for (int n = 1; n <= 8; ++n) {
            const bool expected =
                std::find(g.enabled.begin(), g.enabled.end(), n) != g.enabled.end();
            EXPECT_EQ(bars[n]->isEnabled(), expected) << "TrackBar" << n;
        }
        const QImage& shown = ui.Image1()->canvas();
        EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), colours[g.picture]);
    }
}

TEST_F(ControlPanelTest, AClickOnADisabledTrackBarSelectsItsGroup) {
    ASSERT_FALSE(ui.trackBar(5)->isEnabled());
    click(ui.trackBar(5), QPoint(ui.trackBar(5)->width() / 2, ui.trackBar(5)->height() / 2));
    EXPECT_EQ(WindowProbe(*form).activeSection(), 4);
    EXPECT_TRUE(ui.trackBar(5)->isEnabled());
}

TEST_F(ControlPanelTest, APressThatLeavesThePanelIsNoClick) {
    QFrame* panel = ui.Panel3();
    const QPoint inside(panel->width() / 2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(inside),
                      panel->mapToGlobal(QPointF(inside)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(panel, &press);
    const QPoint outside(panel->width() + 5, 2);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(outside),
                        panel->mapToGlobal(QPointF(outside)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(panel, &release);
    EXPECT_EQ(WindowProbe(*form).activeSection(), 0);
    EXPECT_FALSE(ui.trackBar(5)->isEnabled());
}

TEST_F(ControlPanelTest, TheLungChoiceStaysBothLungs) {
    QComboBox* choice = ui.ComboBox1();
    choice->setCurrentIndex(2);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(choice->currentText(), QStringLiteral("Both lungs"));
    form->show();
    EXPECT_FALSE(choice->isVisible());
}

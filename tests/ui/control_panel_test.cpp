// The control panel as the user drives it: track bars turning positions into settings of both
// lungs, loading a row's settings onto the bars, "reset", the group panels and the lung selector.

#include "window_fixture.h"

#include "record/vocabulary.h"
#include "ui/track_bar_scales.h"

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
};

// Every bar of the settings table, at both ends of its range and beside its default: its law's
// value in its setting of both lungs (or its global item), shown in its own cell of the row grid
// alone, with its note.
TEST_F(ControlPanelTest, EveryBarWritesItsSettingItsCellAndItsNote) {
    for (const Setting& spec : kSettings) {
        for (const int position : {spec.minimum, spec.maximum, spec.defaultPosition + 1}) {
            SCOPED_TRACE("TrackBar" + std::to_string(spec.trackBar) + " at " +
                         std::to_string(position));
            markGridRow0(ui);
            ui.RichEdit1()->clear();
            ui.trackBar(spec.trackBar)->setValue(position);
            const double value = trackBarValue(spec.trackBar, position);
            const int target = spec.target.index;
            if (spec.target.isColumn()) {
                EXPECT_EQ(w.state.currentPartSettings[kEditedPart][target], value);
                // The other lung parts are not the control panel's.
                EXPECT_EQ(w.state.currentPartSettings[LungPart::leftLung][target], 100.0);
            } else {
                EXPECT_EQ(w.state.currentGlobalSettings[target], value);
            }
            for (int column = 0; column < ui.StringGrid2()->columnCount(); ++column)
                EXPECT_EQ(gridRow0(ui, column),
                          column == spec.rowGridColumn
                              ? "   " + std::to_string(static_cast<int>(value))
                              : kMarker)
                    << column;
            EXPECT_EQ(ui.RichEdit1()->toPlainText(),
                      spec.noteKey == 0 ? QString() : noteText(spec.noteKey));
        }
    }
    EXPECT_NE(noteText(1), noteText(3));
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
        w.record.setPartSetting(row, kEditedPart, settingOfTrackBar(c.bar).target.index, c.stored);
    w.record.setPartSetting(row, LungPart::leftLung, SettingColumn::ccc, 77.5f);
    w.record.setPartSetting(row, LungPart::lobe5, SettingColumn::rCentral, 12.25f);
    // The stored depth stands at the bar's own position, so it is not copied.
    w.record.setGlobalSetting(row, GlobalItem::expirationDepth, 100.2f);
    w.state.currentGlobalSettings[GlobalItem::expirationDepth] = 123;
    markGridRow0(ui);

    ASSERT_TRUE(form->runCommand([&] { WindowProbe(*form).LoadRowSettingsToControls(row); }));
    EXPECT_TRUE(w.interaction.messages.isEmpty());
    for (const Case& c : cases) {
        SCOPED_TRACE("TrackBar" + std::to_string(c.bar));
        const Setting& spec = settingOfTrackBar(c.bar);
        EXPECT_EQ(ui.trackBar(c.bar)->value(), c.position);
        EXPECT_EQ(w.state.currentPartSettings[kEditedPart][spec.target.index], c.setting);
        EXPECT_EQ(gridRow0(ui, spec.rowGridColumn), c.cell);
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
    for (const Setting& spec : kSettings)
        ui.trackBar(spec.trackBar)->setValue(spec.minimum);
    // Whichever group is enabled: here none.
    WindowProbe(*form).SelectSection(0);
    ui.Button1()->click();
    for (const Setting& spec : kSettings) {
        SCOPED_TRACE("TrackBar" + std::to_string(spec.trackBar));
        EXPECT_EQ(ui.trackBar(spec.trackBar)->value(), spec.defaultPosition);
        EXPECT_EQ(spec.target.isColumn()
                      ? w.state.currentPartSettings[kEditedPart][spec.target.index]
                      : w.state.currentGlobalSettings[spec.target.index],
                  100.0);
        if (spec.rowGridColumn >= 0) {
            EXPECT_EQ(gridRow0(ui, spec.rowGridColumn), "   100");
        }
    }
    // The notes the moves showed are cleared at the end.
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
}

TEST_F(ControlPanelTest, ClickingAGroupEnablesItsBarsAndShowsItsRegion) {
    // Each region's picture one plain colour, so the shown one can be told apart.
    const QColor colours[] = {Qt::black, Qt::black, Qt::red, Qt::green, Qt::blue, Qt::cyan};
    for (int k = 2; k <= 5; ++k) {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(colours[k]);
        WindowProbe(*form).pictureTable()[static_cast<std::size_t>(k)] = picture;
    }
    for (const ControlGroup& group : kControlGroups) {
        SCOPED_TRACE(int(group.section));
        QFrame* panel = ui.groupPanel(group.panel);
        click(panel, QPoint(panel->width() / 2, 2));
        EXPECT_EQ(WindowProbe(*form).activeSection(), group.section);
        // The group's shown bars, and no other.
        for (const Setting& spec : kSettings)
            EXPECT_EQ(ui.trackBar(spec.trackBar)->isEnabled(),
                      spec.section == group.section && spec.shown)
                << "TrackBar" << spec.trackBar;
        const QImage& shown = ui.Image1()->canvas();
        EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)),
                  colours[group.airwayPicture]);
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

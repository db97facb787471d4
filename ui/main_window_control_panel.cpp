// Handlers of the control panel: the track bars that set the edited lung part's settings, the
// reset button, the group panels and the lung selector.

#include "ui/main_window.h"

#include "record/vocabulary.h"
#include "ui/clickable_panel.h"
#include "ui/track_bar_scales.h"

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

#include <array>
#include <string>

using namespace vm::record;

namespace vm::ui {

namespace {
constexpr int kExpirationDepthBar = 9;
constexpr int kTrackBarCount = 9;
// The region's name is hinted this far above the bottom of the airway picture.
constexpr int kHintAboveBottom = 60;
} // namespace

QSlider* TForm1::trackBarOf(int n) const {
    return trackBars_[static_cast<std::size_t>(trackBarSpecOf(n).number)].bar;
}

QFrame* TForm1::groupPanelOf(unsigned char section) const {
    const std::array<QFrame*, 4> panels = {Panel1, Panel2, Panel3, Panel4};
    return panels[static_cast<std::size_t>(controlGroupOfSection(section).panel - 1)];
}

void TForm1::ApplyTrackBarChange(int n) {
    const TrackBarSpec& spec = trackBarSpecOf(n);
    const double value = trackBarValue(n, trackBarOf(n)->value());
    state_.currentPart(kEditedPart, spec.settingColumn) = value;
    StringGrid2->cells().setCell(spec.rowGridColumn, 0,
                                 "   " + std::to_string(static_cast<long long>(value)));
    StringGrid2->update();
    ShowSettingNote(spec.noteKey);
}

void TForm1::TrackBar9Change() {
    state_.currentGlobal(GlobalItem::expirationDepth) =
        trackBarValue(kExpirationDepthBar, trackBarOf(kExpirationDepthBar)->value());
}

// Positions set here run a bar's change handler only when they move it, so a setting that already
// matches its bar keeps its exact stored value, and a moved one takes the value of its position.
void TForm1::LoadRowSettingsToControls(int row) {
    const int source = row == -1 ? 0 : row;
    loadCurrentPartSettingsFromRow(state_, record_, source);
    for (const TrackBarSpec& spec : trackBarTable()) {
        if (spec.settingColumn < 0)
            continue;
        const double setting = state_.currentPart(kEditedPart, spec.settingColumn);
        trackBarOf(spec.number)->setValue(trackBarPosition(spec.number, setting));
    }
    // The stored depth reaches the current settings only through its bar's handler.
    const double depth = record_.globalSetting(source, GlobalItem::expirationDepth);
    trackBarOf(kExpirationDepthBar)->setValue(trackBarPosition(kExpirationDepthBar, depth));
}

void TForm1::ResetControls() {
    for (const TrackBarSpec& spec : trackBarTable())
        trackBarOf(spec.number)->setValue(spec.defaultPosition);
    RichEdit1->clear();
}

namespace {
QPoint airwayHintPoint(const QWidget* picture) {
    return {picture->x() + picture->width() / 2,
            picture->y() + picture->height() - kHintAboveBottom};
}
} // namespace

// Selects the group on Panel<panel> and shows its region of the airway picture.
void TForm1::clickGroup(int panel) {
    const ControlGroupSpec& group = controlGroups()[static_cast<std::size_t>(panel - 1)];
    SelectSection(group.section);
    const QPoint hint = airwayHintPoint(Image1);
    ShowAirwayPicture(group.airwayPicture, hint.x(), hint.y());
}

void TForm1::Panel1Click() {
    clickGroup(1);
}
void TForm1::Panel2Click() {
    clickGroup(2);
}
void TForm1::Panel3Click() {
    clickGroup(3);
}
void TForm1::Panel4Click() {
    clickGroup(4);
}

// Only "Both lungs" is ever edited; any other choice is taken back at once.
void TForm1::ComboBox1Change() {
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setCurrentText(QStringLiteral("Both lungs"));
}

void TForm1::connectControlPanel() {
    using Handler = void (TForm1::*)();
    const std::array<Handler, kTrackBarCount> changes = {
        &TForm1::TrackBar1Change, &TForm1::TrackBar2Change, &TForm1::TrackBar3Change,
        &TForm1::TrackBar4Change, &TForm1::TrackBar5Change, &TForm1::TrackBar6Change,
        &TForm1::TrackBar7Change, &TForm1::TrackBar8Change, &TForm1::TrackBar9Change};
    for (int n = 1; n <= kTrackBarCount; ++n) {
        QSlider* bar = trackBarOf(n);
        const Handler handler = changes[static_cast<std::size_t>(n - 1)];
        const auto run = [this, handler] { runCommand([this, handler] { (this->*handler)(); }); };
        // A new position, whether the user's or the program's.
        connect(bar, &QSlider::valueChanged, this, run);
        // Every key press, wheel step or drag step of the user counts, also one that leaves the
        // position where it was (at either end); one that moves it arrives as valueChanged. Code
        // sets positions with setValue, which triggers no action.
        connect(bar, &QSlider::actionTriggered, this, [bar, run](int) {
            if (bar->sliderPosition() == bar->value())
                run();
        });
        // Letting go of the thumb ends the drag where it is.
        connect(bar, &QSlider::sliderReleased, this, run);
    }

    const std::array<std::pair<QFrame*, Handler>, 4> panels = {{
        {Panel1, &TForm1::Panel1Click},
        {Panel2, &TForm1::Panel2Click},
        {Panel3, &TForm1::Panel3Click},
        {Panel4, &TForm1::Panel4Click},
    }};
    for (const auto& [panel, handler] : panels) {
        if (auto* clickable = qobject_cast<ClickablePanel*>(panel))
            wireCommand(clickable, &ClickablePanel::clicked, handler);
    }
    // "reset" works whichever group is enabled, also on the disabled track bars.
    wireCommand(Button1, &QPushButton::clicked, &TForm1::ResetControls);
    wireCommand(ComboBox1, &QComboBox::currentIndexChanged, &TForm1::ComboBox1Change);
}

} // namespace vm::ui

#include "ui/control_panel.h"

#include "ui/clickable_panel.h"
#include "ui/track_bar.h"
#include "ui/track_bar_scales.h"
#include "ui/widget_making.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <ranges>

using namespace vm::record;

namespace vm::ui {

namespace {

// Design sizes, before the window is scaled to the screen.
constexpr int kTrackBarThickness = 30;
constexpr int kTrackBarLength = 150;
constexpr int kComboBoxWidth = 145;
constexpr int kComboBoxHeight = 21;

// The lung selector's items, in the order of its list.
constexpr std::array<LungPart, 3> kSelectorParts = {LungPart::bothLungs, LungPart::leftLung,
                                                    LungPart::rightLung};

QLabel* makeLabel(QWidget* parent, const SettingLabel& label) {
    return vm::ui::makeLabel(parent, label.name, QString::fromUtf8(label.text));
}

// Vertical track bars have their minimum at the top; the arrow keys move the thumb the way the
// arrow points. Range and design position come from the track bar's law, so the widget and the
// law agree.
QSlider* makeTrackBar(QWidget* parent, const Setting& spec, Qt::Orientation orientation) {
    const QByteArray name = "TrackBar" + QByteArray::number(spec.trackBar);
    auto* bar = named(new TrackBar(orientation, parent), name.constData());
    if (orientation == Qt::Vertical)
        bar->resize(kTrackBarThickness, kTrackBarLength);
    else
        bar->resize(kTrackBarLength, kTrackBarThickness);
    bar->setRange(spec.minimum, spec.maximum);
    bar->setValue(spec.defaultPosition);
    bar->setSingleStep(1);
    bar->setPageStep(2);
    bar->setTickInterval(100);
    bar->setTickPosition(orientation == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    if (orientation == Qt::Vertical) {
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
    }
    return bar;
}

void place(QWidget* widget, const Box& box) {
    widget->setGeometry(box.left, box.top, box.width, box.height);
}

bool inAGroup(const Setting& spec) {
    return spec.section != 0;
}

} // namespace

ControlPanel::ControlPanel(QWidget* client, session::Session& session, CommandRunner runCommand)
    : QObject(client), session_(session), runCommand_(std::move(runCommand)) {
    ComboBox1 = named(new QComboBox(client), "ComboBox1");
    ComboBox1->addItems(
        {QStringLiteral("Both lungs"), QStringLiteral("Left lung"), QStringLiteral("Right lung")});
    ComboBox1->setGeometry(20, 0, kComboBoxWidth, kComboBoxHeight);
    ComboBox1->hide();

    createGroups(client);
    Button1 = makeButton(client, "Button1", QStringLiteral("reset"));
    // The track bars in no group: the expiration depth, never shown.
    createTrackBars(client, 0);
    connectControls();
}

// The silver frames with the group headings, then the group panels with their track bars.
void ControlPanel::createGroups(QWidget* client) {
    Panel5 = makePanel(new QFrame(client), "Panel5", kSilver);
    Panel7 = makePanel(new QFrame(client), "Panel7", kSilver);
    for (const ControlGroup& group : kControlGroups)
        headings_[static_cast<std::size_t>(group.panel)] =
            makeHeading(group.frame == GroupFrame::lungs ? Panel7 : Panel5, group.heading.name,
                        QString::fromUtf8(group.heading.text));
    for (const ControlGroup& group : kControlGroups) {
        const QByteArray name = "Panel" + QByteArray::number(group.panel);
        groupPanels_[static_cast<std::size_t>(group.panel)] =
            makePanel(new ClickablePanel(client), name.constData(), kSilver);
    }
    for (const ControlGroup& group : kControlGroups)
        createTrackBars(groupPanelOf(group.panel), group.section);
}

// The bars of one section, then their captions, then their scales: later siblings lie on top.
// The bars of a group stand upright; the one in no group lies across.
void ControlPanel::createTrackBars(QWidget* parent, unsigned char section) {
    const auto inSection = [section](const Setting& spec) { return spec.section == section; };
    const Qt::Orientation orientation = section == 0 ? Qt::Horizontal : Qt::Vertical;
    for (const Setting& spec : kSettings | std::views::filter(inSection)) {
        QSlider* bar = makeTrackBar(parent, spec, orientation);
        if (!spec.shown) {
            bar->setEnabled(false);
            bar->hide();
        }
        trackBars_[static_cast<std::size_t>(spec.trackBar)].bar = bar;
    }
    for (const Setting& spec : kSettings | std::views::filter(inSection)) {
        QLabel* caption = makeLabel(parent, spec.caption);
        if (!spec.shown)
            caption->hide();
        trackBars_[static_cast<std::size_t>(spec.trackBar)].caption = caption;
    }
    for (const Setting& spec : kSettings | std::views::filter(inSection))
        for (std::size_t k = 0; k < spec.scaleLabels.size(); ++k)
            if (spec.scaleLabels[k].name != nullptr)
                trackBars_[static_cast<std::size_t>(spec.trackBar)].scaleLabels[k] =
                    makeLabel(parent, spec.scaleLabels[k]);
}

void ControlPanel::connectControls() {
    for (const Setting& spec : kSettings) {
        QSlider* bar = trackBarOf(spec.trackBar);
        const auto run = [this, n = spec.trackBar] {
            runCommand_([this, n] { ApplyTrackBarChange(n); });
        };
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
    for (const ControlGroup& group : kControlGroups)
        if (auto* clickable = qobject_cast<ClickablePanel*>(groupPanelOf(group.panel)))
            connect(clickable, &ClickablePanel::clicked, this, [this, panel = group.panel] {
                runCommand_([this, panel] { clickGroup(panel); });
            });
    // "reset" works whichever group is enabled, also on the disabled track bars.
    connect(Button1, &QPushButton::clicked, this,
            [this] { runCommand_([this] { ResetControls(); }); });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { runCommand_([this] { ComboBox1Change(); }); });
}

QSlider* ControlPanel::trackBarOf(int n) const {
    return trackBars_[static_cast<std::size_t>(settingOfTrackBar(n).trackBar)].bar;
}

QFrame* ControlPanel::groupPanelOf(int panel) const {
    return groupPanels_.at(static_cast<std::size_t>(panel));
}

void ControlPanel::ApplyTrackBarChange(int n) {
    const Setting& spec = settingOfTrackBar(n);
    emit changed(session_.SetSetting(spec, trackBarValue(n, trackBarOf(n)->value())));
}

// Selects the group on Panel<panel> and shows its region of the airway picture.
void ControlPanel::clickGroup(int panel) {
    const ControlGroup& group = kControlGroups.at(static_cast<std::size_t>(panel - 1));
    SelectSection(group.section);
    emit groupPicked(group.airwayPicture);
}

void ControlPanel::ComboBox1Change() {
    const auto index = static_cast<std::size_t>(std::max(ComboBox1->currentIndex(), 0));
    emit changed(
        session_.ChooseEditedPart(kSelectorParts.at(std::min(index, kSelectorParts.size() - 1))));
}

void ControlPanel::ResetControls() {
    emit changed(session_.ResetControls());
}

// Captions and headings stay readable whatever is selected; a hidden bar is never enabled.
void ControlPanel::SelectSection(unsigned char section) {
    activeSection_ = section;
    for (const Setting& spec : kSettings | std::views::filter(inAGroup)) {
        const bool selected = spec.section == section;
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.trackBar)];
        controls.bar->setEnabled(selected && spec.shown);
        for (QLabel* label : controls.scaleLabels)
            if (label != nullptr)
                label->setEnabled(selected);
    }
}

void ControlPanel::showChanges(const session::ViewChanges& changes) {
    if (changes.controlsFromRow)
        placeBarsAtRow(*changes.controlsFromRow);
    if (changes.controlsToDefaults)
        placeBarsAtDefaults();
    if (changes.editedPart) {
        const auto shown = std::ranges::find(kSelectorParts, *changes.editedPart);
        ComboBox1->setCurrentIndex(static_cast<int>(shown - kSelectorParts.begin()));
        ComboBox1->setCurrentText(ComboBox1->itemText(ComboBox1->currentIndex()));
    }
}

// Positions set here run a bar's change handler only when they move it, so a setting that already
// matches its bar keeps its exact stored value, and a moved one takes the value of its position.
void ControlPanel::placeBarsAtRow(int row) {
    for (const Setting& spec : kSettings)
        trackBarOf(spec.trackBar)
            ->setValue(trackBarPosition(spec.trackBar, session_.controlSetting(spec, row)));
}

void ControlPanel::placeBarsAtDefaults() {
    for (const Setting& spec : kSettings)
        trackBarOf(spec.trackBar)->setValue(spec.defaultPosition);
}

void ControlPanel::setGroupsEnabled(bool enabled) {
    for (const ControlGroup& group : kControlGroups)
        groupPanelOf(group.panel)->setEnabled(enabled);
}

void ControlPanel::measure(LayoutInputs& in) const {
    in.comboBoxHeight = ComboBox1->height();
    bool firstCaption = true;
    std::array<bool, kControlGroups.size() + 1> sharesScale{};
    std::array<int, kControlGroups.size() + 1> widestMark{};
    for (const Setting& spec : kSettings | std::views::filter(inAGroup)) {
        const auto n = static_cast<std::size_t>(spec.trackBar);
        in.trackBarWidth[n] = trackBars_[n].bar->width();
        in.captionWidth[n] = trackBars_[n].caption->width();
        if (firstCaption)
            in.captionHeight = trackBars_[n].caption->height();
        firstCaption = false;
        if (!spec.scaleCentredInGroup)
            continue;
        const auto panel = static_cast<std::size_t>(controlGroupOfSection(spec.section).panel);
        sharesScale[panel] = true;
        for (const QLabel* label : trackBars_[n].scaleLabels)
            if (label != nullptr)
                widestMark[panel] = std::max(widestMark[panel], label->width());
    }
    for (std::size_t panel = 1; panel < sharesScale.size(); ++panel)
        if (sharesScale[panel])
            in.sharedScaleWidth[panel] = widestMark[panel];
    for (const ControlGroup& group : kControlGroups)
        in.headingWidth[static_cast<std::size_t>(group.panel - 1)] =
            headings_[static_cast<std::size_t>(group.panel)]->width();
}

// The frames, the groups, their track bars, captions, scales and headings.
void ControlPanel::place(const MainWindowGeometry& g) {
    vm::ui::place(Panel5, g.panel5);
    vm::ui::place(Panel7, g.panel7);
    for (const ControlGroup& group : kControlGroups)
        vm::ui::place(groupPanelOf(group.panel),
                      g.groupPanel[static_cast<std::size_t>(group.panel)]);

    for (const Setting& spec : kSettings | std::views::filter(inAGroup)) {
        const TrackBarPlace& where = g.trackBar[static_cast<std::size_t>(spec.trackBar)];
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.trackBar)];
        vm::ui::place(controls.bar, where.bar);
        vm::ui::place(controls.caption, where.caption);
        for (std::size_t k = 0; k < controls.scaleLabels.size(); ++k)
            if (controls.scaleLabels[k] != nullptr)
                controls.scaleLabels[k]->move(where.markLeft, where.markTop[k]);
    }

    for (const ControlGroup& group : kControlGroups)
        headings_[static_cast<std::size_t>(group.panel)]->move(
            g.headingLeft[static_cast<std::size_t>(group.panel - 1)], 1);
}

void ControlPanel::forEachHelpTarget(
    const std::function<void(QWidget*, const char* file)>& visit) const {
    for (const ControlGroup& group : kControlGroups) {
        visit(groupPanelOf(group.panel), group.helpFile);
        if (group.heading.helpFile != nullptr)
            visit(headings_[static_cast<std::size_t>(group.panel)], group.heading.helpFile);
    }
    for (const Setting& spec : kSettings) {
        if (spec.helpFile == nullptr)
            continue;
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.trackBar)];
        visit(controls.caption, spec.caption.helpFile ? spec.caption.helpFile : spec.helpFile);
        for (std::size_t k = 0; k < controls.scaleLabels.size(); ++k)
            if (controls.scaleLabels[k] != nullptr) {
                const char* own = spec.scaleLabels[k].helpFile;
                visit(controls.scaleLabels[k], own ? own : spec.helpFile);
            }
    }
}

} // namespace vm::ui

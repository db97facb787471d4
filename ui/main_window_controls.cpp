// Creation of the main window's controls with their names, texts, ranges and start positions.
// Where they go on the window is LayoutMainWindow's job.

#include "ui/main_window.h"

#include "ui/clickable_panel.h"
#include "ui/track_bar.h"
#include "ui/track_bar_scales.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

#include <ranges>

using namespace vm::record;

namespace vm::ui {

namespace {
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
const QColor kLime(0, 255, 0);

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void paintBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Design sizes, before the window is scaled to the screen.
constexpr int kTrackBarThickness = 30;
constexpr int kTrackBarLength = 150;
constexpr int kComboBoxWidth = 145;
constexpr int kComboBoxHeight = 21;

QFrame* makePanel(QFrame* panel, const char* name, const QColor& colour) {
    named(panel, name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    paintBackground(panel, colour);
    return panel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    label->adjustSize();
    return label;
}

QLabel* makeLabel(QWidget* parent, const PanelLabel& label) {
    return makeLabel(parent, label.name, QString::fromUtf8(label.text));
}

QLabel* makeHeading(QWidget* parent, const char* name, const QString& text) {
    QLabel* label = makeLabel(parent, name, text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    return label;
}

// Vertical track bars have their minimum at the top; the arrow keys move the thumb the way the
// arrow points.
// Range and design position come from the track bar's law, so the widget and the law agree.
QSlider* makeTrackBar(QWidget* parent, int number, Qt::Orientation orientation) {
    const TrackBarSpec& spec = trackBarSpecOf(number);
    const QByteArray name = "TrackBar" + QByteArray::number(number);
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

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    return named(new QPushButton(text, parent), name);
}
} // namespace

void TForm1::createControls() {
    setObjectName(QStringLiteral("Form1"));
    paintBackground(this, kSilver);
    QFont windowFont(QStringLiteral("Sans Serif"));
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPixelSize(11);
    setFont(windowFont);
    // Disabled texts (the menu while START runs) in the platform's manner, greyed but readable:
    // its own disabled grey is made for a lighter window than this silver one.
    QPalette window = palette();
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        window.setColor(QPalette::Disabled, role, kGrey);
    setPalette(window);

    auto* client = named(new QWidget(this), "ClientArea");
    paintBackground(client, kSilver);
    // The scales of the groups not selected stay readable, greyed, on the silver panels.
    QPalette greyed = client->palette();
    greyed.setColor(QPalette::Disabled, QPalette::WindowText, kGrey);
    client->setPalette(greyed);
    setCentralWidget(client);

    Image1 = named(new ImageView(client), "Image1");
    Image2 = named(new ImageView(client), "Image2");
    Image3 = named(new ImageView(client), "Image3");

    StringGrid1 = named(new StringGrid(5, 16, client), "StringGrid1");
    paintBackground(StringGrid1, kSilver);

    // The grey panel lies under the groups, the row grid and the buttons, so it is made first.
    Panel6 = named(new QFrame(client), "Panel6");
    paintBackground(Panel6, kGrey);
    Label26 = makeLabel(Panel6, "Label26", QStringLiteral("Dane z pliku:  Standard"));
    QPalette dataSource = Label26->palette();
    dataSource.setColor(QPalette::Window, kGrey);
    dataSource.setColor(QPalette::WindowText, kLime);
    Label26->setPalette(dataSource);
    Label26->setAutoFillBackground(true);

    ComboBox1 = named(new QComboBox(client), "ComboBox1");
    ComboBox1->addItems(
        {QStringLiteral("Both lungs"), QStringLiteral("Left lung"), QStringLiteral("Right lung")});
    ComboBox1->setGeometry(20, 0, kComboBoxWidth, kComboBoxHeight);
    ComboBox1->hide();

    createControlPanel();

    StringGrid2 = named(new StringGrid(11, 5, client), "StringGrid2");
    for (int separator : {2, 5, 8})
        StringGrid2->setColumnWidth(separator, 15);

    Button2 = makeButton(client, "Button2", QStringLiteral("START"));
    Button1 = makeButton(client, "Button1", QStringLiteral("reset"));
    Button9 = makeButton(client, "Button9", QStringLiteral("pauza"));
    Button10 = makeButton(client, "Button10", QStringLiteral("3"));
    Button8 = makeButton(client, "Button8", QStringLiteral("animacja"));
    GroupBox1 = named(new QGroupBox(QStringLiteral("Wybrany wiersz"), client), "GroupBox1");
    // The group's title stands on the grey panel: greyed, it is drawn in silver.
    QPalette titlePalette = GroupBox1->palette();
    titlePalette.setColor(QPalette::Disabled, QPalette::WindowText, kSilver);
    GroupBox1->setPalette(titlePalette);
    Button3 = makeButton(GroupBox1, "Button3", QStringLiteral("Usuń wiersz"));
    Button6 = makeButton(GroupBox1, "Button6", QStringLiteral("Użyj jako ref."));

    // The row grid takes the keyboard focus for its arrow keys, after the buttons in the tab
    // order, so the window still opens with the focus where it had it.
    StringGrid2->setFocusPolicy(Qt::StrongFocus);
    QWidget::setTabOrder(Button6, StringGrid2);

    RichEdit1 = named(new QTextEdit(client), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    QPalette notePalette = RichEdit1->palette();
    notePalette.setColor(QPalette::Base, kSilver);
    RichEdit1->setPalette(notePalette);
    QFont noteFont = windowFont;
    noteFont.setPixelSize(16);
    RichEdit1->setFont(noteFont);

    // The track bars in no group: the expiration depth, never shown.
    createTrackBarGroup(client, 0);

    connectControlPanel();
}

void TForm1::createControlPanel() {
    QWidget* client = centralWidget();
    Panel5 = makePanel(new QFrame(client), "Panel5", kSilver);
    Panel7 = makePanel(new QFrame(client), "Panel7", kSilver);
    Label5 = makeHeading(Panel5, "Label5", QStringLiteral("GŁÓWNE"));
    Label11 = makeHeading(Panel5, "Label11", QStringLiteral("POŚREDNIE"));
    Label16 = makeHeading(Panel5, "Label16", QStringLiteral("OBWODOWE"));
    Label21 = makeHeading(Panel7, "Label21", QStringLiteral("PŁUCA"));

    Panel1 = makePanel(new ClickablePanel(client), "Panel1", kSilver);
    Panel2 = makePanel(new ClickablePanel(client), "Panel2", kSilver);
    Panel3 = makePanel(new ClickablePanel(client), "Panel3", kSilver);
    Panel4 = makePanel(new ClickablePanel(client), "Panel4", kSilver);
    for (const ControlGroupSpec& group : controlGroups())
        createTrackBarGroup(groupPanelOf(group.section), group.section);
}

// The bars of one section, then their captions, then their scales: later siblings lie on top.
// The bars of a group stand upright; the one in no group lies across.
void TForm1::createTrackBarGroup(QWidget* parent, unsigned char section) {
    const auto inSection = [section](const TrackBarSpec& spec) { return spec.section == section; };
    const Qt::Orientation orientation = section == 0 ? Qt::Horizontal : Qt::Vertical;
    for (const TrackBarSpec& spec : trackBarTable() | std::views::filter(inSection)) {
        QSlider* bar = makeTrackBar(parent, spec.number, orientation);
        if (!spec.shown) {
            bar->setEnabled(false);
            bar->hide();
        }
        trackBars_[static_cast<std::size_t>(spec.number)].bar = bar;
    }
    for (const TrackBarSpec& spec : trackBarTable() | std::views::filter(inSection)) {
        QLabel* caption = makeLabel(parent, spec.caption);
        if (!spec.shown)
            caption->hide();
        trackBars_[static_cast<std::size_t>(spec.number)].caption = caption;
    }
    for (const TrackBarSpec& spec : trackBarTable() | std::views::filter(inSection))
        for (std::size_t k = 0; k < spec.scaleLabels.size(); ++k)
            if (spec.scaleLabels[k].name != nullptr)
                trackBars_[static_cast<std::size_t>(spec.number)].scaleLabels[k] =
                    makeLabel(parent, spec.scaleLabels[k]);
}

} // namespace vm::ui

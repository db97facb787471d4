// Creation of the main window's controls with their names, texts, ranges and start positions.
// Where they go on the window is LayoutMainWindow's job.

#include "ui/main_window.h"

#include "ui/clickable_panel.h"
#include "ui/track_bar_scales.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTextEdit>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::session;

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
    const TrackBarSpec& spec = TrackBarSpecOf(number);
    const QByteArray name = "TrackBar" + QByteArray::number(number);
    auto* bar = named(new QSlider(orientation, parent), name.constData());
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

void TForm1::CreateControls() {
    setObjectName(QStringLiteral("Form1"));
    paintBackground(this, kSilver);
    QFont windowFont(QStringLiteral("Sans Serif"));
    windowFont.setStyleHint(QFont::SansSerif);
    windowFont.setPixelSize(11);
    setFont(windowFont);

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

    CreateControlPanel();

    StringGrid2 = named(new StringGrid(11, 5, client), "StringGrid2");
    for (int separator : {2, 5, 8})
        StringGrid2->setColumnWidth(separator, 15);

    Button2 = makeButton(client, "Button2", QStringLiteral("START"));
    Button1 = makeButton(client, "Button1", QStringLiteral("reset"));
    Button9 = makeButton(client, "Button9", QStringLiteral("pauza"));
    Button10 = makeButton(client, "Button10", QStringLiteral("3"));
    Button8 = makeButton(client, "Button8", QStringLiteral("animacja"));
    GroupBox1 = named(new QGroupBox(QStringLiteral("Wybrany wiersz"), client), "GroupBox1");
    Button3 = makeButton(GroupBox1, "Button3", QStringLiteral("Usuń wiersz"));
    Button6 = makeButton(GroupBox1, "Button6", QStringLiteral("Użyj jako ref."));

    RichEdit1 = named(new QTextEdit(client), "RichEdit1");
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    QPalette notePalette = RichEdit1->palette();
    notePalette.setColor(QPalette::Base, kSilver);
    RichEdit1->setPalette(notePalette);
    QFont noteFont = windowFont;
    noteFont.setPixelSize(16);
    RichEdit1->setFont(noteFont);

    // Only the "Both lungs" setting is ever shown, so the expiration depth has no visible control.
    TrackBar9 = makeTrackBar(client, 9, Qt::Horizontal);
    TrackBar9->hide();
    Label53 = makeLabel(client, "Label53", QStringLiteral("głębokość wydechu"));
    Label53->hide();

    ConnectControlPanel();
}

void TForm1::CreateControlPanel() {
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

    TrackBar1 = makeTrackBar(Panel1, 1, Qt::Vertical);
    Label24 = makeLabel(Panel1, "Label24", QStringLiteral("R"));
    Label33 = makeLabel(Panel1, "Label33", QStringLiteral("50%"));
    Label1 = makeLabel(Panel1, "Label1", QStringLiteral("100%"));
    Label2 = makeLabel(Panel1, "Label2", QStringLiteral("200%"));
    Label3 = makeLabel(Panel1, "Label3", QStringLiteral("400%"));
    Label4 = makeLabel(Panel1, "Label4", QStringLiteral("800%"));

    TrackBar2 = makeTrackBar(Panel2, 2, Qt::Vertical);
    TrackBar3 = makeTrackBar(Panel2, 3, Qt::Vertical);
    TrackBar4 = makeTrackBar(Panel2, 4, Qt::Vertical);
    TrackBar4->setEnabled(false);
    TrackBar4->hide();
    Label25 = makeLabel(Panel2, "Label25", QStringLiteral("VDc"));
    Label28 = makeLabel(Panel2, "Label28", QStringLiteral(" R(1/światło)"));
    Label27 = makeLabel(Panel2, "Label27", QStringLiteral("Stiff"));
    Label27->hide();
    Label40 = makeLabel(Panel2, "Label40", QStringLiteral("50%"));
    Label41 = makeLabel(Panel2, "Label41", QStringLiteral("100%"));
    Label42 = makeLabel(Panel2, "Label42", QStringLiteral("150%"));
    Label43 = makeLabel(Panel2, "Label43", QStringLiteral("200%"));
    Label44 = makeLabel(Panel2, "Label44", QStringLiteral("250%"));
    Label7 = makeLabel(Panel2, "Label7", QStringLiteral("100 (norma)"));
    Label8 = makeLabel(Panel2, "Label8", QStringLiteral("200 (łagodna)"));
    Label9 = makeLabel(Panel2, "Label9", QStringLiteral("400 (umiar.)"));
    Label10 = makeLabel(Panel2, "Label10", QStringLiteral("800 (ciężka)"));
    Label51 = makeLabel(Panel2, "Label51", QStringLiteral("1600 (b.ciężka)"));

    TrackBar5 = makeTrackBar(Panel3, 5, Qt::Vertical);
    TrackBar6 = makeTrackBar(Panel3, 6, Qt::Vertical);
    Label29 = makeLabel(Panel3, "Label29", QStringLiteral(" R(1/światło)"));
    Label30 = makeLabel(Panel3, "Label30", QStringLiteral("CCC"));
    Label34 = makeLabel(Panel3, "Label34", QStringLiteral("50%"));
    Label12 = makeLabel(Panel3, "Label12", QStringLiteral("100%"));
    Label13 = makeLabel(Panel3, "Label13", QStringLiteral("200%"));
    Label14 = makeLabel(Panel3, "Label14", QStringLiteral("400%"));
    Label15 = makeLabel(Panel3, "Label15", QStringLiteral("800%"));
    Label45 = makeLabel(Panel3, "Label45", QStringLiteral("50%"));
    Label46 = makeLabel(Panel3, "Label46", QStringLiteral("100%"));
    Label47 = makeLabel(Panel3, "Label47", QStringLiteral("150%"));
    Label48 = makeLabel(Panel3, "Label48", QStringLiteral("200%"));
    Label49 = makeLabel(Panel3, "Label49", QStringLiteral("250%"));

    TrackBar7 = makeTrackBar(Panel4, 7, Qt::Vertical);
    TrackBar8 = makeTrackBar(Panel4, 8, Qt::Vertical);
    Label31 = makeLabel(Panel4, "Label31", QStringLiteral("Rozmiar"));
    Label32 = makeLabel(Panel4, "Label32", QStringLiteral("Cm"));
    Label36 = makeLabel(Panel4, "Label36", QStringLiteral("50%"));
    Label37 = makeLabel(Panel4, "Label37", QStringLiteral("75%"));
    Label18 = makeLabel(Panel4, "Label18", QStringLiteral("100%"));
    Label38 = makeLabel(Panel4, "Label38", QStringLiteral("125%"));
    Label39 = makeLabel(Panel4, "Label39", QStringLiteral("150%"));
}

} // namespace vm::ui

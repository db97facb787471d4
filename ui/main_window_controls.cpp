// Creation of the main window's controls with their names, texts, ranges and start positions:
// the window's own, then its parts. Where they go on the window is LayoutMainWindow's job.

#include "ui/main_window.h"

#include "record/settings_table.h"
#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/image_view.h"
#include "ui/results_view.h"
#include "ui/widget_making.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

#include <vector>

namespace vm::ui {

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

    Image2 = named(new ImageView(client), "Image2");
    Image3 = named(new ImageView(client), "Image3");

    // The grey panel lies under the groups, the row grid and the buttons, so it is made first.
    Panel6 = named(new QFrame(client), "Panel6");
    paintBackground(Panel6, kGrey);
    Label26 = makeLabel(Panel6, "Label26", QStringLiteral("Dane z pliku:  Standard"));
    QPalette dataSource = Label26->palette();
    dataSource.setColor(QPalette::Window, kGrey);
    dataSource.setColor(QPalette::WindowText, kLime);
    Label26->setPalette(dataSource);
    Label26->setAutoFillBackground(true);

    const auto runner = [this](const std::function<void()>& command) {
        return runCommand(command);
    };
    airway_ = new AirwayPictureView(
        client, session_, interaction_, Image2, [this] { return panel_->activeSection(); }, runner);
    results_ = new ResultsView(client, session_);
    panel_ = new ControlPanel(client, session_, runner);

    Button2 = makeButton(client, "Button2", QStringLiteral("START"));
    GroupBox1 = named(new QGroupBox(QStringLiteral("Wybrany wiersz"), client), "GroupBox1");
    // The group's title stands on the grey panel: greyed, it is drawn in silver.
    QPalette titlePalette = GroupBox1->palette();
    titlePalette.setColor(QPalette::Disabled, QPalette::WindowText, kSilver);
    GroupBox1->setPalette(titlePalette);
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

    // Tab walks the lung selector and the groups' track bars, START and the buttons, the row grid
    // (after the buttons, so the window still opens with the focus on START), the note box and
    // the bars in no group.
    const auto byName = [this](const QString& name) { return findChild<QWidget*>(name); };
    const auto bar = [&](const record::Setting& spec) {
        return byName(QStringLiteral("TrackBar%1").arg(spec.trackBar));
    };
    std::vector<QWidget*> tabs{byName(QStringLiteral("ComboBox1"))};
    for (const record::Setting& spec : record::kSettings)
        if (spec.section != 0)
            tabs.push_back(bar(spec));
    for (const char* name : {"Button2", "Button1", "Button9", "Button10", "Button8", "Button3",
                             "Button6", "StringGrid2", "RichEdit1"})
        tabs.push_back(byName(QString::fromLatin1(name)));
    for (const record::Setting& spec : record::kSettings)
        if (spec.section == 0)
            tabs.push_back(bar(spec));
    for (std::size_t k = 1; k < tabs.size(); ++k)
        QWidget::setTabOrder(tabs[k - 1], tabs[k]);
}

} // namespace vm::ui

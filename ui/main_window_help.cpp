// Help on the main window: the right-click help of the control panel, the plots, START and the
// results table; the help menu entries; the setting notes in the note box; the settings table of
// every lung part and the about window.

#include "ui/main_window.h"

#include "data/setting_notes.h"
#include "ui/help_requests.h"
#include "ui/interaction.h"
#include "ui/settings_table_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTextEdit>

#include <string_view>

namespace vm::ui {

namespace {
struct ControlHelp {
    const char* control;
    const char* file;
};

// Which help file a right click on each control opens. The labels of a group mostly open the
// group's file; "1600 (b.ciężka)" and the CCC scale open the general one, and "VDc" with its
// scale opens that of the central airways although it lies among the intermediate ones.
// clang-format off
constexpr ControlHelp kControlHelp[] = {
    {"Image2", "H0000.rtf"}, {"Image3", "H0000.rtf"}, {"Button2", "H0000.rtf"},
    {"Label51", "H0000.rtf"}, {"Label45", "H0000.rtf"}, {"Label46", "H0000.rtf"},
    {"Label47", "H0000.rtf"}, {"Label48", "H0000.rtf"}, {"Label49", "H0000.rtf"},
    {"Panel1", "H0001.rtf"}, {"Label5", "H0001.rtf"}, {"Label24", "H0001.rtf"},
    {"Label33", "H0001.rtf"}, {"Label1", "H0001.rtf"}, {"Label2", "H0001.rtf"},
    {"Label3", "H0001.rtf"}, {"Label4", "H0001.rtf"}, {"Label25", "H0001.rtf"},
    {"Label40", "H0001.rtf"}, {"Label41", "H0001.rtf"}, {"Label42", "H0001.rtf"},
    {"Label43", "H0001.rtf"}, {"Label44", "H0001.rtf"},
    {"Panel2", "H0002.rtf"}, {"Label11", "H0002.rtf"}, {"Label28", "H0002.rtf"},
    {"Label7", "H0002.rtf"}, {"Label8", "H0002.rtf"}, {"Label9", "H0002.rtf"},
    {"Label10", "H0002.rtf"},
    {"Panel3", "H0003.rtf"}, {"Label16", "H0003.rtf"}, {"Label29", "H0003.rtf"},
    {"Label30", "H0003.rtf"}, {"Label34", "H0003.rtf"}, {"Label12", "H0003.rtf"},
    {"Label13", "H0003.rtf"}, {"Label14", "H0003.rtf"}, {"Label15", "H0003.rtf"},
    {"Panel4", "H0004.rtf"}, {"Label31", "H0004.rtf"}, {"Label32", "H0004.rtf"},
    {"Label36", "H0004.rtf"}, {"Label37", "H0004.rtf"}, {"Label18", "H0004.rtf"},
    {"Label38", "H0004.rtf"}, {"Label39", "H0004.rtf"},
    {"StringGrid1", "H0006.rtf"},
};
// clang-format on

constexpr std::string_view kGeneralHelp = "H0000.rtf";

// The longest run of dashes narrower than the width, in the font.
QString dashLine(const QFont& font, int width) {
    const QFontMetrics metrics(font);
    QString dashes;
    while (metrics.horizontalAdvance(dashes) < width && dashes.size() < width)
        dashes += QLatin1Char('-');
    dashes.chop(1);
    return dashes;
}
} // namespace

std::filesystem::path TForm1::helpFilePath(std::string_view name) const {
    return dataFilePath("helpfiles/" + std::string(name));
}

void TForm1::connectRightClickHelp() {
    auto* watcher = new RightClickWatcher(this, [this](QObject* sender) {
        runCommand([this, sender] { Button1MouseDown(sender, Qt::RightButton); });
    });
    for (const ControlHelp& help : kControlHelp)
        if (QObject* control = findChild<QObject*>(QString::fromLatin1(help.control)))
            watcher->watch(control);
}

void TForm1::installHelpRefusal() {
    qApp->installEventFilter(new HelpRequestRefusal(this));
}

void TForm1::Button1MouseDown(QObject* sender, Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    std::string_view file = kGeneralHelp;
    const QString name = sender != nullptr ? sender->objectName() : QString();
    for (const ControlHelp& help : kControlHelp)
        if (name == QLatin1String(help.control))
            file = help.file;
    interaction_.showHelpFile(helpFilePath(file));
}

void TForm1::Help2Click() {
    interaction_.showHelpFile(helpFilePath(kGeneralHelp));
}

void TForm1::About1Click() {
    interaction_.showAboutBox();
}

void TForm1::parametry1Click() {
    parametry2Click();
}

void TForm1::parametry2Click() {
    SettingsTableWindow window(this, record_, state_.selectedRow);
    interaction_.showModalWindow(window);
}

// The text above the separator, a line of dashes as wide as the box allows when there is text on
// both sides, and the text below. A note that cannot be read leaves the box as it was.
void TForm1::ShowSettingNote(int key) {
    const data::SettingNoteResult result = data::readSettingNote(helpFilePath("pdp.txt"), key);
    if (!result.note) {
        interaction_.showMessage(QString::fromStdString(result.error));
        return;
    }
    const QString first = QString::fromStdString(result.note->first);
    const QString second = QString::fromStdString(result.note->second);
    QStringList paragraphs{first};
    if (!first.isEmpty() && !second.isEmpty()) {
        // Qt keeps a margin inside the box; the dashes fill the width that text can take.
        const int margin = static_cast<int>(RichEdit1->document()->documentMargin());
        paragraphs << dashLine(RichEdit1->font(), RichEdit1->viewport()->width() - 2 * margin);
    }
    paragraphs << second;
    RichEdit1->clear();
    RichEdit1->setPlainText(paragraphs.join(QLatin1Char('\n')));
}

} // namespace vm::ui

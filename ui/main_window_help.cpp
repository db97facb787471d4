// Help on the main window: the right-click help of the control panel, the plots, START and the
// results table; the help menu entries; the setting notes in the note box; the settings table of
// every lung part and the about window.

#include "ui/main_window.h"

#include "data/setting_notes.h"
#include "record/settings_table.h"
#include "ui/control_panel.h"
#include "ui/help_requests.h"
#include "ui/interaction.h"
#include "ui/settings_table_dialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTextEdit>

#include <string_view>

namespace vm::ui {

namespace {
// Which help file a right click on each of the window's own controls opens; the control panel's
// labels and groups take theirs from the settings table.
struct ControlHelp {
    const char* control;
    const char* file;
};
constexpr ControlHelp kWindowControlHelp[] = {
    {"Image2", "H0000.rtf"},
    {"Image3", "H0000.rtf"},
    {"Button2", "H0000.rtf"},
    {"StringGrid1", "H0006.rtf"},
};

constexpr std::string_view kGeneralHelp = record::settings_table::kGeneralHelp;
constexpr const char* kHelpFileProperty = "helpFile";

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
    return session_.folder().dataPath("helpfiles/" + std::string(name));
}

// Each control with a help file carries its file's name; a right click on it opens that file.
void TForm1::connectRightClickHelp() {
    auto* watcher = new RightClickWatcher(this, [this](QObject* sender) {
        runCommand([this, sender] { Button1MouseDown(sender, Qt::RightButton); });
    });
    const auto watch = [watcher](QObject* control, const char* file) {
        control->setProperty(kHelpFileProperty, QString::fromLatin1(file));
        watcher->watch(control);
    };
    for (const ControlHelp& help : kWindowControlHelp)
        if (QObject* control = findChild<QObject*>(QString::fromLatin1(help.control)))
            watch(control, help.file);
    panel_->forEachHelpTarget(watch);
}

void TForm1::installHelpRefusal() {
    qApp->installEventFilter(new HelpRequestRefusal(this));
}

void TForm1::Button1MouseDown(QObject* sender, Qt::MouseButton button) {
    if (button != Qt::RightButton)
        return;
    const QVariant own = sender != nullptr ? sender->property(kHelpFileProperty) : QVariant();
    const std::string file =
        own.isValid() ? own.toString().toStdString() : std::string(kGeneralHelp);
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
    // The unknown patient's settings stay hidden until the answer: the reference is shown instead.
    const int selected = session_.state().selectedRow;
    SettingsTableWindow window(this, session_.record(),
                               selected == session_.hiddenSettingsRow() ? -1 : selected);
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

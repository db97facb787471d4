// The program entry: the application object, the main window (whose creation runs start-up), the
// about and help windows, and the message loop until the main window closes.

#include "data/startup_checks.h"
#include "session/program_session.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/qt_interaction.h"

#include <QApplication>
#include <QFile>

#include <filesystem>

using namespace vm::session;
using namespace vm::ui;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QtInteraction interaction;
    // The folder's bytes as they are: a name that is not UTF-8 would not survive a QString.
    const std::filesystem::path exeDir = vm::data::programFolder().value_or(std::filesystem::path(
        QFile::encodeName(QCoreApplication::applicationDirPath() + '/').toStdString()));
    TForm1 form1(interaction, programSession(exeDir));
    interaction.setParentWindow(&form1);

    // The about and help windows are made once here and reused.
    TAboutBox aboutBox(&form1);
    interaction.setAboutBox(&aboutBox);
    TForm4 form4(&form1);
    interaction.setHelpWindow(&form4);

    // A reason to quit found at start-up has been told to the user already.
    if (form1.terminationRequested())
        return 0;
    form1.showMaximized();
    return application.exec();
}

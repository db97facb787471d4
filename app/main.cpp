// The program entry: the application object, the main window (whose creation runs start-up), the
// about and help windows, and the message loop until the main window closes.

#include "session/program_session.h"
#include "ui/about_box.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/qt_interaction.h"

#include <QApplication>

using namespace vm::session;
using namespace vm::ui;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QtInteraction interaction;
    const QString exeDir = QCoreApplication::applicationDirPath() + QStringLiteral("/");
    TForm1 form1(interaction, programSession(exeDir.toStdString()));
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

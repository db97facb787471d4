#include "ui/main_window.h"

#include "data/single_instance.h"
#include "ui/interaction.h"

#include <QString>

using namespace vm::record;
using namespace vm::session;

namespace vm::ui {

TForm1::TForm1(Interaction& interaction, Session& session,
               std::filesystem::path instanceLockDirectory, QWidget* parent)
    : QMainWindow(parent), interaction_(interaction), record_(session.record()),
      state_(session.state()), session_(session),
      exeDir_(QString::fromStdString(session.folder().exeDir.string())),
      instanceLockDirectory_(std::move(instanceLockDirectory)) {
    createControls();
    createMenus();
    connectHandlers();
    createRowCommands();
    connectRightClickHelp();
    createAirwayPicture();
    runCommand([this] { runStartup(); });
}

// The pictures, the background and the frame buffer are values of the window and go with it;
// the single-instance marker is released last.
TForm1::~TForm1() = default;

bool TForm1::runCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const RangeError& error) {
        interaction_.showMessage(QString::fromStdString(error.what()));
        return false;
    }
}

} // namespace vm::ui

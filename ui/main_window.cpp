#include "ui/main_window.h"

#include "data/single_instance.h"
#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/interaction.h"
#include "ui/results_view.h"

#include <QString>

using namespace vm::session;

namespace vm::ui {

TForm1::TForm1(Interaction& interaction, Session& session,
               std::filesystem::path instanceLockDirectory, QWidget* parent)
    : QMainWindow(parent), interaction_(interaction), session_(session),
      exeDir_(QString::fromStdString(session.folder().exeDir.string())),
      instanceLockDirectory_(std::move(instanceLockDirectory)) {
    createControls();
    createMenus();
    connectHandlers();
    connectRightClickHelp();
    runCommand([this] { runStartup(); });
}

// The pictures, the background and the frame buffer are values of the window's parts and go with
// them; the single-instance marker is released last.
TForm1::~TForm1() = default;

// An index outside the record, its state or the program's tables throws the record's RangeError
// wherever it is checked; a command ends there, and this is where the window says why.
bool TForm1::runCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const record::RangeError& error) {
        interaction_.showMessage(QString::fromStdString(error.what()));
        return false;
    }
}

} // namespace vm::ui

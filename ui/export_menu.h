#pragma once
// "Eksport": the plots and the spirogram as PNG or SVG pictures, the results and curves as CSV
// and the selected result's report as PDF, for other programs. The pictures are drawn by the
// plots' own functions at the size the window shows them, the text made by the session's CSV
// writer; the dialogs and messages go through the seam.

#include "session/session.h"
#include "ui/command_runner.h"

#include <QObject>

#include <filesystem>
#include <functional>
#include <string>

class QMenu;
class QAction;
class QMenuBar;

namespace vm::ui {

class ImageView;
class Interaction;

class ExportMenu : public QObject {
    Q_OBJECT
  public:
    // The plots are exported at the size of their views on the window.
    ExportMenu(QMenuBar* menuBar, const session::Session& session, Interaction& interaction,
               CommandRunner runCommand, const ImageView* flowVolumeView,
               const ImageView* volumeTimeView);

    // --- Handlers, named after the menu items that call them; each asks for a file and writes
    // it ---
    void ExportFlowVolumePlot1Click();
    void ExportVolumeTimePlot1Click();
    void ExportResults1Click();
    void ExportFlowVolumeCurves1Click();
    void ExportVolumeTimeCurves1Click();
    void ExportSpirogram1Click();
    void ExportReport1Click(); // "Raport PDF"

  private:
    friend struct WindowProbe;

    // Asks for a file through the seam and writes it; a problem is shown as a message.
    void exportChosenFile(const QString& filter, const QString& defaultSuffix,
                          const std::function<std::string(const std::filesystem::path&)>& write);

    const session::Session& session_;
    Interaction& interaction_;
    const ImageView* flowVolumeView_;
    const ImageView* volumeTimeView_;
    QMenu* Export1 = nullptr;
};

} // namespace vm::ui

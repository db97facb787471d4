#pragma once
// The program's only working window: the airway picture and the two plots across the top, the
// results table beside them and, below, the control panel with the track bars, the buttons, the
// row grid and the note box. It composes the control panel, the results view, the airway picture
// with its animation, the teaching cases and the file, export and reading menus, each with the
// state and handlers of its own, and turns the other clicks into commands of the session,
// redrawing what a command says changed. Controls keep the names of the stored window description;
// the handlers keep the names of the controls that call them.

#include "plots/volume_time_plot.h"
#include "session/session.h"

#include <QColor>
#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;

namespace vm::data {
class SingleInstanceMarker;
}

namespace vm::ui {

class AirwayPictureView;
class FramePacer;
class ControlPanel;
class ExportMenu;
class FileMenu;
class ImageView;
class Interaction;
class ReadingMenu;
class ResultsView;
class TeachingCasesView;
struct MainWindowGeometry;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // Creating the window runs the whole start-up. Every data file is found below the session's
    // program folder. The single-instance marker lies in instanceLockDirectory (empty: the user's
    // usual place), so that tests can run side by side. The program passes its one session;
    // tests pass their own.
    TForm1(Interaction& interaction, session::Session& session,
           std::filesystem::path instanceLockDirectory = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Set when start-up found a reason to quit; the program then never enters its message loop.
    bool terminationRequested() const { return terminationRequested_; }
    // Set when start-up stopped at a damaged data file: START can never run.
    bool startUnavailable() const { return startUnavailable_; }
    // The program folder, ending in '/'.
    const QString& exeDir() const { return exeDir_; }

    // Runs one command; a range error inside it stops the command with its message.
    bool runCommand(const std::function<void()>& command);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Tests reach the controls and handlers through their own probe.
    friend struct WindowProbe;

    // --- START and the result rows: clicks become the session's commands ---
    void Button2Click();
    // START's window part: locks the window and draws the run live.
    void StartSimulation();
    void Button3Click();
    void Button6Click();
    void StringGrid2SelectCell(int row);
    void StringGrid2CurrentRowClick(int row);
    void StringGrid2RightClick(QPoint globalPosition, int row);
    void DE1Click();
    void Useasref1Click();
    void HELP1Click();

    // --- Menu bar: the window's own items; "Plik", "Eksport", "Pacjent" and "Interpretacja" are
    // its parts' ---
    void Reset1Click();
    void Help2Click();
    void About1Click();
    void Quit1Click();

    // --- Teaching cases: "Przypadki", the unknown patient and "Przywróć wszystkie nastawy" ---
    void createCaseMenus();
    void OpenCaseClick(std::size_t index);
    void UnknownPatient1Click();
    void RestoreAll1Click();

    // --- Help: the right-click help of the controls, the settings table of every lung part, the
    // setting notes in the note box ---
    void Button1MouseDown(QObject* sender, Qt::MouseButton button);
    void parametry1Click();
    void parametry2Click();
    void ShowSettingNote(int key);

    // --- Views ---
    // The track bars to record row `row`'s settings (-1: the reference).
    void LoadRowSettingsToControls(int row);
    // The results table and its status note.
    void ShowResultsTable(int row, bool withValues);
    // The plots on their persistent canvases, from the record.
    void DrawFlowVolumePlot();
    void DrawVolumeTimeStep(int row);
    void RedrawVolumeTimeCurve();
    // Redraws exactly what a session command changed.
    void RefreshResultViews(const session::ViewChanges& changes);
    void clearNoteBox();

    // --- Start-up and layout ---
    void createControls();
    void createMenus();
    void connectHandlers();
    void connectRightClickHelp();
    void installHelpRefusal();
    void runStartup();
    void initialiseProgramModel();
    // After start-up stopped at a damaged data file or at a scratch file it could not write: the
    // note box says why once and START stays disabled, since the model was never initialised.
    void reportStartUnavailable(const QString& note);
    void requestTermination() { terminationRequested_ = true; }
    // Geometry of every control from the window's size; run once at start-up.
    void LayoutMainWindow();
    void placeControls();
    void followMaximisedClientArea();
    void resizePlotCanvases();
    // START's picture on the volume-time plot drawn again at the plot's size: the frame, the
    // newest result's curve as far as the run drew it, and the run clock's last time.
    void redrawRunPicture();

    // --- Locking while START or the replay draws ---
    void setLockableControlsEnabled(std::initializer_list<QWidget*> buttons, bool enabled);
    void setCommandControlsEnabled(bool enabled);
    session::RunHooks liveDrawingHooks();
    void showLiveFrameIfDue();
    // Shows what the run drew and the screen has not shown yet.
    void finishLiveDrawing();

    // exeDir followed by "helpfiles/" and the name.
    std::filesystem::path helpFilePath(std::string_view name) const;

    // Connects a signal to a handler that runs as one command.
    template <typename Sender, typename Signal>
    void wireCommand(Sender* sender, Signal signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    }

    Interaction& interaction_;
    session::Session& session_;
    QString exeDir_;
    std::filesystem::path instanceLockDirectory_;
    bool terminationRequested_ = false;
    bool startUnavailable_ = false;
    bool runInProgress_ = false; // set while START runs
    std::unique_ptr<data::SingleInstanceMarker> instanceMarker_;
    // START's live drawing: the plot and a lung frame are shown at most once this often.
    double liveFrameInterval_ms_ = 0.0;
    std::unique_ptr<FramePacer> livePacer_;
    bool livePlotUnshown_ = false;
    std::optional<record::LungFrameValues> liveLungsUnshown_;
    // What START left on the volume-time plot, kept until a command draws the plot again.
    struct RunPicture {
        int vtStepReached = 1;
        std::optional<double> runClock_s;
    };
    std::optional<RunPicture> runPicture_;
    std::optional<double> lastRunClock_s_;
    QSize laidOutClientSize_;

    // --- The parts of the window ---
    ControlPanel* panel_ = nullptr;
    ResultsView* results_ = nullptr;
    AirwayPictureView* airway_ = nullptr;
    TeachingCasesView* cases_ = nullptr;
    FileMenu* files_ = nullptr;
    ExportMenu* exports_ = nullptr;
    ReadingMenu* reading_ = nullptr;

    // --- The window's own controls, named as in the stored window description ---
    ImageView* Image2 = nullptr;    // flow-volume plot
    ImageView* Image3 = nullptr;    // volume-time plot
    QTextEdit* RichEdit1 = nullptr; // note box
    QFrame* Panel6 = nullptr;       // grey rounded control panel
    QLabel* Label26 = nullptr;      // data source
    QPushButton* Button2 = nullptr; // START
    QGroupBox* GroupBox1 = nullptr;
    QPushButton* Button3 = nullptr; // delete the selected row
    QPushButton* Button6 = nullptr; // use the selected row as reference

    QMenu* PopupMenu1 = nullptr; // row menu of the row grid
    QAction* DE1 = nullptr;
    QAction* Useasref1 = nullptr;
    QAction* parametry1 = nullptr; // "Nastawy"
    QAction* HELP1 = nullptr;      // "Pomoc"

    QAction* Reset1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About1 = nullptr;
    QAction* Quit1 = nullptr;

    std::array<QColor, 5> rowColors;
    plots::VolumeTimePlot volumeTimePlot;
};

} // namespace vm::ui

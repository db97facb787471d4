#pragma once
// The program's only working window: the airway picture and the two plots across the top, the
// results table beside them and, below, the control panel with the track bars, the buttons, the
// row grid and the note box. Controls keep the names of the stored window description.

#include "data/hotspots.h"
#include "data/text_grid.h"
#include "plots/volume_time_plot.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "session/results_table.h"
#include "session/session.h"
#include "ui/image_view.h"
#include "ui/string_grid.h"

#include <QColor>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>

class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTextEdit;
class QTimer;

namespace vm::data {
class SingleInstanceMarker;
}
namespace vm::model {
struct RunHooks;
}

namespace vm::ui {

class Interaction;
struct LayoutInputs;
struct MainWindowGeometry;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    // Creating the window runs the whole start-up. exeDir is the session's program folder, ending
    // in '/'; every data file is found below it. The single-instance marker lies in
    // instanceLockDirectory (empty: the user's usual place), so that tests can run side by side.
    // The program passes its one session; tests pass their own.
    TForm1(Interaction& interaction, session::Session& session,
           std::filesystem::path instanceLockDirectory = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    // Set when start-up found a reason to quit; the program then never enters its message loop.
    bool terminationRequested() const { return terminationRequested_; }
    // Set when start-up stopped at a damaged data file: START can never run.
    bool startUnavailable() const { return startUnavailable_; }
    const QString& exeDir() const { return exeDir_; }

    // Runs one command; a range error inside it stops the command with its message.
    bool runCommand(const std::function<void()>& command);

    // The results table, the row grid and the note box.
    void ShowResultsTable(int row, bool withValues);
    void FillGridRow(int gridRow, int recordRow);
    void ShowSettingNote(int key);
    void StringGrid1DrawCell(QPainter& painter, int column, int row, const QRect& rect);
    void StringGrid2DrawCell(QPainter& painter, int column, int row, const QRect& rect);

    // Enables exactly one group of track bars: 1 central, 3 intermediate, 4 peripheral
    // airways, 5 lungs; 0 none.
    void SelectSection(unsigned char section);

    // Geometry of every control from the window's size; run once at start-up.
    void LayoutMainWindow();

    // The control panel: track bars, the reset button, the group panels and the lung selector.
    // Sets the track bars from a record row's settings; a bar whose position changes runs its
    // change handler.
    void LoadRowSettingsToControls(int row);
    // Puts every track bar back to its start position and clears the note box.
    void ResetControls();
    // Writes setting column n - 1 of the edited part from track bar n (1..8), shows it in the row
    // grid and shows the setting's note.
    void ApplyTrackBarChange(int n);
    void TrackBar1Change() { ApplyTrackBarChange(1); }
    void TrackBar2Change() { ApplyTrackBarChange(2); }
    void TrackBar3Change() { ApplyTrackBarChange(3); }
    void TrackBar4Change() { ApplyTrackBarChange(4); }
    void TrackBar5Change() { ApplyTrackBarChange(5); }
    void TrackBar6Change() { ApplyTrackBarChange(6); }
    void TrackBar7Change() { ApplyTrackBarChange(7); }
    void TrackBar8Change() { ApplyTrackBarChange(8); }
    void TrackBar9Change(); // expiration depth
    void Panel1Click();
    void Panel2Click();
    void Panel3Click();
    void Panel4Click();
    void ComboBox1Change();

    // START and the result rows: the handlers of their controls turn clicks into the session's
    // commands. START's window part locks the window and draws the run live.
    void StartSimulation();
    void Button2Click();
    void Button3Click();
    void Button6Click();
    void StringGrid2SelectCell(int row);
    void StringGrid2CurrentRowClick(int row);
    void StringGrid2RightClick(QPoint globalPosition, int row);
    void DE1Click();
    void Useasref1Click();
    void parametry1Click();
    void HELP1Click();

    // The plots on their persistent canvases, from the record.
    void DrawFlowVolumePlot();
    void DrawVolumeTimeStep(int row);
    void RedrawVolumeTimeCurve();

    // --- The airway picture with its hints, and the lung animation ---
    // Shows picture n (1..11) of pictureTable over Image1, hinting its region's name near (x, y)
    // in Image1. Requests: -1 nothing; -2 picture 1 even when shown; -3 the current picture again,
    // hint untouched; -4..-6 the "Bad num. " message. The shown picture is not drawn again.
    void ShowAirwayPicture(int n, int x, int y);
    // The mouse over the picture, in Image1's pixels; both do nothing during a run or a replay.
    void Image1MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void FormPaint();
    void Memo1MouseMove();
    void Timer1Timer();
    // One lung frame over Image1: row 0 from the live model, rows 1..4 from that row's traces at
    // replaySample.
    void DrawLungFrame(int row);
    void Button8Click();  // "animacja": replays the selected result along its flow-volume curve
    void Button9Click();  // "pauza" / "go"
    void Button10Click(); // replay speed "1", "2", "3"
    int currentPicture() const { return airwayPicture_.currentPicture(); }
    int hoveredRegion = -1;     // the tparm row under the mouse, -1 for none
    bool animationBusy = false; // set while Button8Click runs
    bool replayPaused = false;  // survives from one replay to the next
    int replaySpeed = 3;        // 1: 200 ms a frame, 2: 50 ms, 3: no wait
    int replaySample = 0;       // the flow-volume sample the replay shows

    // Menu bar commands.
    void Open1Click();
    void Save1Click();
    void Saveas1Click();
    void Reset1Click();
    void Help2Click();
    void About1Click();
    void Quit1Click();
    // The "Eksport" menu: each asks for a file and writes it.
    void ExportFlowVolumePlot1Click();
    void ExportVolumeTimePlot1Click();
    void ExportResults1Click();
    void ExportFlowVolumeCurves1Click();
    void ExportVolumeTimeCurves1Click();

    // --- Help: right-click help files, the settings table of every lung part ---
    // The right-click help shared by the controls of the help-file table: opens the sender's file.
    void Button1MouseDown(QObject* sender, Qt::MouseButton button);
    // The settings table window of the selected row (or of the reference), shown modally.
    void parametry2Click();

  private:
    void connectRightClickHelp();
    void installHelpRefusal();
    // exeDir followed by "helpfiles/" and the name.
    std::filesystem::path helpFilePath(std::string_view name) const;

    // Tests reach the controls through their own probe.
    friend struct WindowProbe;

    // --- Controls, named as in the stored window description ---
    ImageView* Image1 = nullptr;       // airway picture
    ImageView* Image2 = nullptr;       // flow-volume plot
    ImageView* Image3 = nullptr;       // volume-time plot
    StringGrid* StringGrid1 = nullptr; // results table, 5 columns x 16 rows
    StringGrid* StringGrid2 = nullptr; // row grid, 11 columns x 5 rows
    QTextEdit* RichEdit1 = nullptr;    // note box
    data::TextGrid tparm{5, 40};       // the parameter table, never shown

    QFrame* Panel1 = nullptr; // central airways group
    QFrame* Panel2 = nullptr; // intermediate airways group
    QFrame* Panel3 = nullptr; // peripheral airways group
    QFrame* Panel4 = nullptr; // lungs group
    QFrame* Panel5 = nullptr; // silver frame behind the airway groups
    QFrame* Panel6 = nullptr; // grey rounded control panel
    QFrame* Panel7 = nullptr; // silver frame behind the lungs group

    // TrackBar1..TrackBar9 with their captions and scale labels, made from the track-bar table
    // and named as it says; index n holds track bar n.
    struct TrackBarControls {
        QSlider* bar = nullptr;
        QLabel* caption = nullptr;
        std::array<QLabel*, 5> scaleLabels{}; // as in the table; nullptr where it has none
    };
    std::array<TrackBarControls, 10> trackBars_{};
    QComboBox* ComboBox1 = nullptr;

    // Group headings and the data source.
    QLabel* Label5 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label16 = nullptr;
    QLabel* Label21 = nullptr;
    QLabel* Label26 = nullptr; // data source

    QPushButton* Button1 = nullptr;  // reset
    QPushButton* Button2 = nullptr;  // START
    QPushButton* Button3 = nullptr;  // delete the selected row
    QPushButton* Button6 = nullptr;  // use the selected row as reference
    QPushButton* Button8 = nullptr;  // animation
    QPushButton* Button9 = nullptr;  // pause
    QPushButton* Button10 = nullptr; // replay speed
    QGroupBox* GroupBox1 = nullptr;

    QMenu* PopupMenu1 = nullptr; // row menu of the row grid
    QAction* DE1 = nullptr;
    QAction* Useasref1 = nullptr;
    QAction* parametry1 = nullptr; // "Nastawy"
    QAction* HELP1 = nullptr;      // "Pomoc"

    QMenu* File1 = nullptr; // "Plik"
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Saveas1 = nullptr;
    QAction* Reset1 = nullptr;
    QAction* Help2 = nullptr;
    QAction* About1 = nullptr;
    QAction* Quit1 = nullptr;

    QMenu* Export1 = nullptr; // "Eksport"
    QAction* ExportFlowVolumePlot1 = nullptr;
    QAction* ExportVolumeTimePlot1 = nullptr;
    QAction* ExportResults1 = nullptr;
    QAction* ExportFlowVolumeCurves1 = nullptr;
    QAction* ExportVolumeTimeCurves1 = nullptr;

  public:
    // --- Objects made at start-up and kept for the life of the window ---
    std::array<QImage, 12> pictureTable; // 1..11 used; 1..5 the airway pictures
    QImage backgroundPicture;            // background of the lung animation
    QImage pictureBuffer;                // off-screen frame the size of Image1
    std::array<QColor, 5> rowColors;
    unsigned char activeSection = 0;
    QTimer* Timer1 = nullptr;   // takes the airway picture back to its plain state
    bool runInProgress = false; // set while START runs; the airway picture ignores the mouse
    plots::VolumeTimePlot volumeTimePlot;

  private:
    void createAirwayPicture();
    void showPictureBuffer();
    bool showReplayFrame(int row);
    void waitForReplay();
    void setReplayLockedControlsEnabled(bool enabled);
    QLabel* Memo1 = nullptr; // the hint box
    data::AirwayPictureState airwayPicture_;
    QImage frameBackground_;       // backgroundPicture stretched to pictureBuffer's size
    bool replayCancelled_ = false; // the window was closed while a replay ran

    void createControls();
    void createControlPanel();
    void createTrackBarGroup(QWidget* parent, unsigned char section);
    void connectControlPanel();
    QSlider* trackBarOf(int n) const;
    QFrame* groupPanelOf(unsigned char section) const;
    void clickGroup(int panel);
    LayoutInputs measureLayoutInputs() const;
    void placeControlPanel(const MainWindowGeometry& g);
    void createMenus();
    // Connects a control's signal to a handler that runs as one command.
    template <typename Sender, typename Signal>
    void wireCommand(Sender* sender, Signal signal, void (TForm1::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    }
    void connectHandlers();
    void runStartup();
    bool loadPictures();
    void initialiseProgramModel();
    void resizePlotCanvases();
    // Redraws exactly what a session command changed.
    void RefreshResultViews(const session::ViewChanges& changes);
    void createRowCommands();
    void setLockableControlsEnabled(std::initializer_list<QPushButton*> buttons, bool enabled);
    void setCommandControlsEnabled(bool enabled);
    model::RunHooks liveDrawingHooks();
    void clearNoteBox();
    void showRowHelp();
    void showFirstAirwayPicture();
    void drawRowGridSeparator(QPainter& painter);
    void paintCell(QPainter& painter, const StringGrid& grid, const session::CellPaint& paint,
                   const QRect& rect, const std::string& text);
    void requestTermination() { terminationRequested_ = true; }
    // After start-up stopped at a damaged data file: the note box says so once and START stays
    // disabled, since the model was never initialised.
    void reportDamagedDataFiles();
    // exeDir followed by a relative name such as "datfiles1/standard.dat", folders matched
    // without regard to letter case.
    std::filesystem::path dataFilePath(std::string_view relative) const;
    std::filesystem::path exeDirPath() const;

    // --- The layout from the real client area: placed for the size the window has at start-up,
    // and again when the window manager has maximised it to another size. ---
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void placeControls();
    void followMaximisedClientArea();
    QSize laidOutClientSize_;
    // Simulation files: the dialogs open in the simulations folder; "Zapisz jako" asks again
    // while the name chosen is refused.
    QString simulationsFolderText() const;
    QString askSaveFileName();
    // Asks for a file through the seam and writes it; a problem is shown as a message.
    void exportChosenFile(const QString& filter, const QString& defaultSuffix,
                          const std::function<std::string(const std::filesystem::path&)>& write);

    Interaction& interaction_;
    record::SimulationRecord& record_;
    record::RecordState& state_;
    session::Session& session_;
    QString exeDir_;
    std::filesystem::path instanceLockDirectory_;
    bool terminationRequested_ = false;
    bool startUnavailable_ = false;
    std::unique_ptr<data::SingleInstanceMarker> instanceMarker_;
};

} // namespace vm::ui

#pragma once
// The airway picture in the top-left corner with the lung animation over it. The picture follows
// the mouse over its regions, names the region under the pointer in a small yellow box, selects a
// region's group of track bars on a left click and opens its help on a right click. During START a
// frame of the live model is drawn over it at every tick, and "animacja" replays the selected
// result, one frame each time its flow-volume curve (drawn on the flow-volume plot meanwhile) has
// moved on far enough; "pauza"/"go" and the speed button act during the replay.

#include "data/hotspots.h"
#include "data/text_grid.h"
#include "session/session.h"
#include "ui/main_window_geometry.h"

#include <QImage>
#include <QObject>

#include <array>
#include <filesystem>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace vm::ui {

class ImageView;
class Interaction;

class AirwayPictureView : public QObject {
    Q_OBJECT
  public:
    // Runs one command; a range error inside it stops the command with its message.
    using CommandRunner = std::function<bool(const std::function<void()>&)>;

    // The replay draws the selected result's curve on flowVolumePlot; activeSection tells which
    // group of track bars is enabled, 0 for none.
    AirwayPictureView(QWidget* client, const session::Session& session, Interaction& interaction,
                      ImageView* flowVolumePlot, std::function<unsigned char()> activeSection,
                      CommandRunner runCommand);

    // --- Handlers, named after the controls and events that call them ---
    // Shows picture n (1..11) of the picture table over Image1, hinting its region's name near
    // (x, y) in Image1. Requests: -1 nothing; -2 picture 1 even when shown; -3 the current picture
    // again, hint untouched; -4..-6 the "Bad num. " message. The shown picture is not drawn again.
    void ShowAirwayPicture(int n, int x, int y);
    // The mouse over the picture, in Image1's pixels; both do nothing during a run or a replay.
    void Image1MouseMove(int x, int y);
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void FormPaint();
    void Memo1MouseMove();
    void Timer1Timer();
    // One lung frame over Image1: row 0 from the live model, rows 1..4 from that row's traces at
    // the replay's sample.
    void DrawLungFrame(int row);
    // A frame of values the live model had.
    void DrawLungFrame(const record::LungFrameValues& values);
    void Button8Click();  // "animacja": replays the selected result along its flow-volume curve
    void Button9Click();  // "pauza" / "go"
    void Button10Click(); // replay speed "1", "2", "3"

    int currentPicture() const { return airwayPicture_.currentPicture(); }
    // A group's region, its name hinted near the bottom of the picture.
    void showGroupRegion(int airwayPicture);

    // Start-up: the hotspots of the parameter table (empty when read; else the file layer's
    // message), then the five airway pictures and the animation's background (false, after
    // showing why, when one cannot be read), then the plain picture and the frame buffer. A
    // scratch copy that cannot be written is the folder's fault, not the pictures': its message
    // goes to scratchProblem, and is shown only when writableFolderTold is false (a failed write
    // probe has told about the folder already).
    std::string loadParameterTable(const std::filesystem::path& path);
    bool loadPictures(const session::ProgramFolder& folder, bool writableFolderTold,
                      std::string& scratchProblem);
    void showFirstPicture();

    // While START runs the picture ignores the mouse and the hint timer stops.
    void setRunInProgress(bool running);
    void setHintTimerRunning(bool running);
    bool replayBusy() const { return animationBusy_; }
    // The buttons the window locks: "animacja" with START, all three during a run.
    std::array<QPushButton*, 3> animationButtons() const { return {Button8, Button9, Button10}; }

    void place(const MainWindowGeometry& g);
    // A fresh white canvas the picture's size.
    void fitCanvas();
    // After a new layout: the frame buffer at the picture's new size and the plain picture.
    void followNewSize();

  signals:
    // A left click on a region selects its group of track bars.
    void sectionPicked(unsigned char section);
    // The replay locks the window's command controls while it runs, and unlocks them after.
    void replayLocking(bool locked);

  private:
    friend struct WindowProbe;

    void showPictureBuffer();
    bool showReplayFrame(int row);
    void waitForReplay();

    const session::Session& session_;
    Interaction& interaction_;
    ImageView* flowVolumePlot_;
    std::function<unsigned char()> activeSection_;
    CommandRunner runCommand_;

    ImageView* Image1 = nullptr;
    QLabel* Memo1 = nullptr;  // the hint box
    QTimer* Timer1 = nullptr; // takes the airway picture back to its plain state
    QPushButton* Button8 = nullptr;
    QPushButton* Button9 = nullptr;
    QPushButton* Button10 = nullptr;
    data::TextGrid tparm{5, 40}; // the parameter table, never shown

    std::array<QImage, 12> pictureTable; // 1..11 used; 1..5 the airway pictures
    QImage backgroundPicture;            // background of the lung animation
    QImage pictureBuffer;                // off-screen frame the size of Image1
    QImage frameBackground_;             // backgroundPicture stretched to pictureBuffer's size
    data::AirwayPictureState airwayPicture_;

    int hoveredRegion = -1;        // the tparm row under the mouse, -1 for none
    bool runInProgress_ = false;   // set while START runs
    bool animationBusy_ = false;   // set while Button8Click runs
    bool replayPaused = false;     // survives from one replay to the next
    int replaySpeed = 3;           // 1: 200 ms a frame, 2: 50 ms, 3: no wait
    int replaySample = 0;          // the flow-volume sample the replay shows
    bool replayCancelled_ = false; // the window was closed while a replay ran
};

} // namespace vm::ui

#pragma once
// The control panel: the groups of track bars on their clickable panels with their headings,
// captions and scales, all made from the settings table, the "reset" button and the lung
// selector. Every change of a setting is a command of the session; what it changed goes to the
// window through changed(). The controls stand on the window's client area beside the window's
// other controls, so that they overlap and take the focus as they always have.

#include "record/settings_table.h"
#include "session/session.h"
#include "ui/command_runner.h"
#include "ui/main_window_geometry.h"

#include <QObject>

#include <array>
#include <functional>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;

namespace vm::ui {

class ControlPanel : public QObject {
    Q_OBJECT
  public:
    ControlPanel(QWidget* client, session::Session& session, CommandRunner runCommand);

    // --- Handlers ---
    // Track bar n's position becomes its setting through the session.
    void ApplyTrackBarChange(int n);
    void ComboBox1Change();
    // "reset": every track bar back to its start position and the note box cleared.
    void ResetControls();

    // Enables exactly one group of track bars: 1 central, 3 intermediate, 4 peripheral
    // airways, 5 lungs; 0 none.
    void SelectSection(unsigned char section);
    unsigned char activeSection() const { return activeSection_; }

    // What a command changed here: the bars to a row's settings or to their defaults, the lung
    // selector. A bar whose position changes runs its change handler.
    void showChanges(const session::ViewChanges& changes);

    // The group panels, which START and the replay lock, and the reset button.
    void setGroupsEnabled(bool enabled);
    QPushButton* resetButton() const { return Button1; }

    // Layout: the sizes the panel's widgets report, then their places.
    void measure(LayoutInputs& in) const;
    void place(const MainWindowGeometry& g);

    // Every label of the panel that has a help file, with its file; the group panels too.
    void forEachHelpTarget(const std::function<void(QWidget*, const char* file)>& visit) const;

  signals:
    // A setting command ran: the window shows what it changed.
    void changed(const session::ViewChanges& changes);
    // A group's panel was clicked: the airway picture shows that group's region.
    void groupPicked(int airwayPicture);

  private:
    friend struct WindowProbe;

    struct TrackBarControls {
        QSlider* bar = nullptr;
        QLabel* caption = nullptr;
        std::array<QLabel*, 5> scaleLabels{}; // as in the table; nullptr where it has none
    };

    void createGroups(QWidget* client);
    void createTrackBars(QWidget* parent, unsigned char section);
    void connectControls();
    void clickGroup(int panel);
    void placeBarsAtRow(int row);
    void placeBarsAtDefaults();
    QSlider* trackBarOf(int n) const;
    QFrame* groupPanelOf(int panel) const;

    session::Session& session_;
    CommandRunner runCommand_;
    unsigned char activeSection_ = 0;

    QComboBox* ComboBox1 = nullptr;
    QFrame* Panel5 = nullptr; // silver frame behind the airway groups
    QFrame* Panel7 = nullptr; // silver frame behind the lungs group
    std::array<QFrame*, record::kControlGroups.size() + 1> groupPanels_{}; // Panel1..Panel4
    std::array<QLabel*, record::kControlGroups.size() + 1> headings_{};
    std::array<TrackBarControls, kTrackBarIndices> trackBars_{};
    QPushButton* Button1 = nullptr; // reset
};

} // namespace vm::ui

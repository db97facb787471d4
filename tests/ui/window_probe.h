#pragma once
// The main window's controls and handlers are its own and its parts'; tests reach them here, by
// the names of the window description: probe.Button2(), probe.trackBar(3), probe.label("Label24"),
// probe.SelectSection(3).

#include "record/vocabulary.h"
#include "session/results_table.h"
#include "ui/airway_picture_view.h"
#include "ui/control_panel.h"
#include "ui/export_menu.h"
#include "ui/file_menu.h"
#include "ui/image_view.h"
#include "ui/main_window.h"
#include "ui/results_view.h"
#include "ui/string_grid.h"
#include "ui/teaching_cases_view.h"

#include <QLabel>
#include <QTimer>

#include <stdexcept>
#include <string>

namespace vm::ui {

struct WindowProbe {
    TForm1* form = nullptr;

    WindowProbe() = default;
    explicit WindowProbe(TForm1& window) : form(&window) {}

    ControlPanel& panel() const { return *form->panel_; }
    AirwayPictureView& airway() const { return *form->airway_; }
    ResultsView& results() const { return *form->results_; }
    TeachingCasesView& cases() const { return *form->cases_; }
    QMenu* Cases1() const { return cases().Cases1; }
    QAction* UnknownPatient1() const { return cases().UnknownPatient1; }
    QAction* RestoreAll1() const { return cases().RestoreAll1; }
    QLabel* HiddenSettingsNote() const { return cases().HiddenSettingsNote; }

    ImageView* Image1() const { return airway().Image1; }
    ImageView* Image2() const { return form->Image2; }
    ImageView* Image3() const { return form->Image3; }
    StringGrid* StringGrid1() const { return results().StringGrid1; }
    StringGrid* StringGrid2() const { return results().StringGrid2; }
    QTextEdit* RichEdit1() const { return form->RichEdit1; }
    QLabel* Memo1() const { return airway().Memo1; }
    QComboBox* ComboBox1() const { return panel().ComboBox1; }
    QFrame* groupPanel(int number) const { return panel().groupPanelOf(number); }
    QFrame* Panel1() const { return panel().groupPanels_[1]; }
    QFrame* Panel2() const { return panel().groupPanels_[2]; }
    QFrame* Panel3() const { return panel().groupPanels_[3]; }
    QFrame* Panel4() const { return panel().groupPanels_[4]; }
    QFrame* Panel5() const { return panel().Panel5; }
    QFrame* Panel6() const { return form->Panel6; }
    QFrame* Panel7() const { return panel().Panel7; }
    QPushButton* Button1() const { return panel().Button1; }
    QPushButton* Button2() const { return form->Button2; }
    QPushButton* Button3() const { return form->Button3; }
    QPushButton* Button6() const { return form->Button6; }
    QPushButton* Button8() const { return airway().Button8; }
    QPushButton* Button9() const { return airway().Button9; }
    QPushButton* Button10() const { return airway().Button10; }
    QGroupBox* GroupBox1() const { return form->GroupBox1; }
    QMenu* PopupMenu1() const { return form->PopupMenu1; }
    QAction* DE1() const { return form->DE1; }
    QAction* Useasref1() const { return form->Useasref1; }
    QAction* parametry1() const { return form->parametry1; }
    QAction* HELP1() const { return form->HELP1; }
    QMenu* File1() const { return form->files_->File1; }
    QMenu* Export1() const { return form->exports_->Export1; }
    QAction* Open1() const { return form->files_->Open1; }
    QAction* Save1() const { return form->files_->Save1; }
    QAction* Saveas1() const { return form->files_->Saveas1; }
    QAction* Reset1() const { return form->Reset1; }
    QAction* Help2() const { return form->Help2; }
    QAction* About1() const { return form->About1; }
    QAction* Quit1() const { return form->Quit1; }
    QTimer* Timer1() const { return airway().Timer1; }

    const data::TextGrid& tparm() const { return airway().tparm; }
    std::array<QImage, 12>& pictureTable() const { return airway().pictureTable; }
    const QImage& backgroundPicture() const { return airway().backgroundPicture; }
    const QImage& pictureBuffer() const { return airway().pictureBuffer; }
    const std::array<QColor, 5>& rowColors() const { return form->rowColors; }
    const plots::VolumeTimePlot& volumeTimePlot() const { return form->volumeTimePlot; }
    unsigned char activeSection() const { return panel().activeSection(); }
    int hoveredRegion() const { return airway().hoveredRegion; }
    bool runInProgress() const { return form->runInProgress_; }
    bool animationBusy() const { return airway().animationBusy_; }
    int replaySample() const { return airway().replaySample; }
    // Marks the window busy as START or the replay would, for tests of what a busy window ignores.
    void setBusy(bool run, bool replay) const {
        form->runInProgress_ = run;
        airway().setRunInProgress(run);
        airway().animationBusy_ = replay;
    }

    // START shows every live frame the run draws, however close together they come.
    void showEveryLiveFrame() const { form->liveFrameInterval_ms_ = 0.0; }

    // The handlers a test calls directly, as a click or the program would.
    void SelectSection(unsigned char section) const { panel().SelectSection(section); }
    void Panel1Click() const { panel().clickGroup(1); }
    void Panel3Click() const { panel().clickGroup(3); }
    void Timer1Timer() const { airway().Timer1Timer(); }
    void ShowSettingNote(int key) const { form->ShowSettingNote(key); }
    void LoadRowSettingsToControls(int row) const { form->LoadRowSettingsToControls(row); }
    void FillGridRow(int gridRow, int recordRow) const {
        form->results_->FillGridRow(gridRow, recordRow);
    }
    void LayoutMainWindow() const { form->LayoutMainWindow(); }
    void Button2Click() const { form->Button2Click(); }

    // TrackBar<n>, n = 1..9.
    QSlider* trackBar(int n) const { return panel().trackBarOf(n); }

    // Any label by its name; a name the window does not have stops the test.
    QLabel* label(const char* name) const {
        auto* found = form->findChild<QLabel*>(QString::fromLatin1(name));
        if (found == nullptr)
            throw std::logic_error(std::string("no label ") + name);
        return found;
    }
};

} // namespace vm::ui

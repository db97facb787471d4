#pragma once
// The main window's controls are its own; tests reach them here, by the names of the window
// description: probe.Button2(), probe.trackBar(3), probe.label("Label24").

#include "ui/main_window.h"

#include <QLabel>

#include <stdexcept>
#include <string>

namespace vm::ui {

struct WindowProbe {
    const TForm1* form = nullptr;

    WindowProbe() = default;
    explicit WindowProbe(const TForm1& window) : form(&window) {}

    ImageView* Image1() const { return form->Image1; }
    ImageView* Image2() const { return form->Image2; }
    ImageView* Image3() const { return form->Image3; }
    StringGrid* StringGrid1() const { return form->StringGrid1; }
    StringGrid* StringGrid2() const { return form->StringGrid2; }
    QTextEdit* RichEdit1() const { return form->RichEdit1; }
    QLabel* Memo1() const { return form->Memo1; }
    QComboBox* ComboBox1() const { return form->ComboBox1; }
    QFrame* Panel1() const { return form->Panel1; }
    QFrame* Panel2() const { return form->Panel2; }
    QFrame* Panel3() const { return form->Panel3; }
    QFrame* Panel4() const { return form->Panel4; }
    QFrame* Panel5() const { return form->Panel5; }
    QFrame* Panel6() const { return form->Panel6; }
    QFrame* Panel7() const { return form->Panel7; }
    QPushButton* Button1() const { return form->Button1; }
    QPushButton* Button2() const { return form->Button2; }
    QPushButton* Button3() const { return form->Button3; }
    QPushButton* Button6() const { return form->Button6; }
    QPushButton* Button8() const { return form->Button8; }
    QPushButton* Button9() const { return form->Button9; }
    QPushButton* Button10() const { return form->Button10; }
    QGroupBox* GroupBox1() const { return form->GroupBox1; }
    QMenu* PopupMenu1() const { return form->PopupMenu1; }
    QAction* DE1() const { return form->DE1; }
    QAction* Useasref1() const { return form->Useasref1; }
    QAction* parametry1() const { return form->parametry1; }
    QAction* HELP1() const { return form->HELP1; }
    QMenu* File1() const { return form->File1; }
    QMenu* Export1() const { return form->Export1; }
    QAction* Open1() const { return form->Open1; }
    QAction* Save1() const { return form->Save1; }
    QAction* Saveas1() const { return form->Saveas1; }
    QAction* Reset1() const { return form->Reset1; }
    QAction* Help2() const { return form->Help2; }
    QAction* About1() const { return form->About1; }
    QAction* Quit1() const { return form->Quit1; }

    const data::TextGrid& tparm() const { return form->tparm; }

    // TrackBar<n>, n = 1..9.
    QSlider* trackBar(int n) const { return form->trackBarOf(n); }

    // Any label by its name; a name the window does not have stops the test.
    QLabel* label(const char* name) const {
        auto* found = form->findChild<QLabel*>(QString::fromLatin1(name));
        if (found == nullptr)
            throw std::logic_error(std::string("no label ") + name);
        return found;
    }
};

} // namespace vm::ui

// Which group of track bars can be moved: only the group the user picked, none after start-up
// and after every run.

#include "ui/main_window.h"

#include <QLabel>
#include <QSlider>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::session;

namespace vm::ui {

void TForm1::SelectSection(unsigned char section) {
    activeSection = section;
    const auto enable = [](bool on, std::initializer_list<QWidget*> widgets) {
        for (QWidget* widget : widgets)
            widget->setEnabled(on);
    };
    enable(section == 1, {TrackBar1, Label33, Label1, Label2, Label3, Label4});
    enable(section == 3, {TrackBar2, TrackBar3, Label7, Label8, Label9, Label10, Label51, Label40,
                          Label41, Label42, Label43, Label44});
    // The wall stiffness has no visible control; it is only ever switched off.
    if (section != 3)
        TrackBar4->setEnabled(false);
    enable(section == 4, {TrackBar5, TrackBar6, Label34, Label12, Label13, Label14, Label15,
                          Label45, Label46, Label47, Label48, Label49});
    enable(section == 5, {TrackBar7, TrackBar8, Label36, Label37, Label18, Label38, Label39});
}

} // namespace vm::ui

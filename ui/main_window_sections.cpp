// Which group of track bars can be moved: only the group the user picked, none after start-up
// and after every run.

#include "ui/main_window.h"

#include "ui/track_bar_scales.h"

#include <QLabel>
#include <QSlider>

namespace vm::ui {

// Captions and headings stay readable whatever is selected; a hidden bar is never enabled.
void TForm1::SelectSection(unsigned char section) {
    activeSection = section;
    for (const TrackBarSpec& spec : trackBarTable()) {
        if (spec.section == 0)
            continue;
        const bool selected = spec.section == section;
        const TrackBarControls& controls = trackBars_[static_cast<std::size_t>(spec.number)];
        controls.bar->setEnabled(selected && spec.shown);
        for (QLabel* label : controls.scaleLabels)
            if (label != nullptr)
                label->setEnabled(selected);
    }
}

} // namespace vm::ui

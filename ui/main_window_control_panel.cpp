// Handlers of the control panel: the track bars, the reset button, the group panels and the lung
// selector.

#include "main_window.h"

void TForm1::LoadRowSettingsToControls(int row) {
    (void)row;
}

void TForm1::ResetControls() {}

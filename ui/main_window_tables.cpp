// The results table beside its status note, and the note box.

#include "ui/main_window.h"

#include "ui/results_view.h"

namespace vm::ui {

void TForm1::ShowResultsTable(int row, bool withValues) {
    ShowSettingNote(results_->ShowResultsTable(row, withValues));
}

} // namespace vm::ui

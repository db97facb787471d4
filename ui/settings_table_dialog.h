#pragma once
// The read-only table of all eight settings of all eight lung parts for the shown result row,
// each beside the reference row's. Built anew for every showing, so it shows the row selected at
// that moment.

#include "session/session.h"

#include <QDialog>

#include <memory>

namespace vm::ui {

class StringGrid;

class SettingsTableWindow : public QDialog {
    Q_OBJECT
  public:
    // Shows row selectedRow, or the reference itself when no row is selected (below 0).
    SettingsTableWindow(QWidget* owner, const record::SimulationRecord& record, int selectedRow);

    StringGrid* grid() const { return grid_; }

  private:
    StringGrid* grid_ = nullptr;
};

} // namespace vm::ui

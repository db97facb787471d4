#pragma once
// "Interpretacja": a result read as a spirometer's report reads it, beside the reference. For the
// selected result and the reference, FEV1, FVC and FEV1/FVC with the model's and the patient's
// value, the predicted value, the limits of normal, the z-score and the percentage of predicted;
// the z-score chart;
// the reading by the ATS/ERS 2022 rules and, where it differs, the fixed 0.70 ratio's verdict;
// the spirogram. It stays open beside the main window and follows the selected row.

#include "session/session.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace vm::ui {

class InterpretationWindow : public QDialog {
    Q_OBJECT
  public:
    InterpretationWindow(QWidget* owner, const session::Session& session);

    // Shows record row `row` (a result, or the reference alone when below 1).
    void follow(int row);

    QLabel* patientLabel() const { return patient_; }
    QLabel* readingLabel() const { return reading_; }
    QLabel* fixedRatioLabel() const { return fixedRatio_; }
    QTableWidget* indicesTable() const { return indices_; }

  private:
    void fillIndices(int firstLine, const session::ResultReading& reading);

    const session::Session& session_;
    QLabel* patient_ = nullptr;
    QLabel* shown_ = nullptr;
    QTableWidget* indices_ = nullptr;
    QLabel* chart_ = nullptr;
    QLabel* reading_ = nullptr;
    QLabel* fixedRatio_ = nullptr;
    QLabel* referenceReading_ = nullptr;
    QLabel* scaling_ = nullptr;
    QLabel* spirogram_ = nullptr;
};

} // namespace vm::ui

#pragma once
// "Pacjent": the person the results are read for (sex, age in years, height in cm), entered in a
// small modal dialog. Whether the reference equations apply is the session's to say.

#include "session/session.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;

namespace vm::ui {

class PatientDialog : public QDialog {
    Q_OBJECT
  public:
    PatientDialog(QWidget* owner, const session::Patient& patient);

    session::Patient patient() const;

    QComboBox* sexBox() const { return sex_; }
    QDoubleSpinBox* ageBox() const { return age_; }
    QDoubleSpinBox* heightBox() const { return height_; }

  private:
    QComboBox* sex_ = nullptr;
    QDoubleSpinBox* age_ = nullptr;
    QDoubleSpinBox* height_ = nullptr;
};

} // namespace vm::ui

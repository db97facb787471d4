#include "ui/patient_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace vm::ui {

namespace {
// Wider than the equations' reach, so that the session, not the spin box, refuses an age or
// height outside it and says why.
constexpr double kAgeLimit_years = 120.0;
constexpr double kHeightLimit_cm = 300.0;
} // namespace

PatientDialog::PatientDialog(QWidget* owner, const session::Patient& patient)
    : QDialog(owner, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("PatientDialog"));
    setWindowTitle(QStringLiteral("Pacjent"));
    sex_ = new QComboBox(this);
    sex_->setObjectName(QStringLiteral("Sex"));
    sex_->addItems({QStringLiteral("kobieta"), QStringLiteral("mężczyzna")});
    sex_->setCurrentIndex(patient.sex == session::Sex::male ? 1 : 0);
    age_ = new QDoubleSpinBox(this);
    age_->setObjectName(QStringLiteral("Age"));
    age_->setRange(0.0, kAgeLimit_years);
    age_->setDecimals(1);
    age_->setSuffix(QStringLiteral(" lat"));
    age_->setValue(patient.age_years);
    height_ = new QDoubleSpinBox(this);
    height_->setObjectName(QStringLiteral("Height"));
    height_->setRange(0.0, kHeightLimit_cm);
    height_->setDecimals(0);
    height_->setSuffix(QStringLiteral(" cm"));
    height_->setValue(patient.height_cm);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Płeć"), sex_);
    form->addRow(QStringLiteral("Wiek"), age_);
    form->addRow(QStringLiteral("Wzrost"), height_);
    form->addRow(buttons);
}

session::Patient PatientDialog::patient() const {
    return {sex_->currentIndex() == 1 ? session::Sex::male : session::Sex::female, age_->value(),
            height_->value()};
}

} // namespace vm::ui

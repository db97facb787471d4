#include "ui/unknown_patient_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cmath>

using namespace vm::session;

namespace vm::ui {

namespace {

QString number(double value, int decimals) {
    return std::isfinite(value) ? QLocale().toString(value, 'f', decimals) : QStringLiteral("—");
}

constexpr std::array<Severity, 4> kSeverities{Severity::none, Severity::mild, Severity::moderate,
                                              Severity::severe};

QGroupBox* choices(QWidget* parent, const QString& title, QButtonGroup* group,
                   const QStringList& texts, const char* namePrefix) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (int k = 0; k < texts.size(); ++k) {
        auto* button = new QRadioButton(texts[k], box);
        button->setObjectName(QString::fromLatin1(namePrefix) + QString::number(k));
        group->addButton(button, k);
        layout->addWidget(button);
    }
    return box;
}

// FEV1, FVC and FEV1/FVC of the patient's result against the patient's reference values: the
// numbers the question asks about, without the program's reading of them.
QTableWidget* makeValuesTable(QWidget* parent, const ResultReading& reading) {
    const QStringList columns = {QStringLiteral("Pacjent"), QStringLiteral("Należna"),
                                 QStringLiteral("DGN"), QStringLiteral("z-score"),
                                 QStringLiteral("% należnej")};
    auto* table = new QTableWidget(static_cast<int>(reading.indices.size()),
                                   static_cast<int>(columns.size()), parent);
    table->setObjectName(QStringLiteral("PatientValues"));
    table->setHorizontalHeaderLabels(columns);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QStringList names;
    for (int k = 0; k < table->rowCount(); ++k) {
        const PredictedIndex& index = reading.indices[static_cast<std::size_t>(k)];
        names << QString::fromUtf8(index.name.data(), static_cast<qsizetype>(index.name.size()));
        const int decimals = index.unit == "%" ? 1 : 2;
        const QStringList cells = {number(index.measured, decimals),
                                   number(index.predicted, decimals), number(index.lln, decimals),
                                   number(index.zScore, 2), number(index.percentPredicted, 0)};
        for (int c = 0; c < cells.size(); ++c)
            table->setItem(k, c, new QTableWidgetItem(cells[c]));
    }
    table->setVerticalHeaderLabels(names);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          table->rowCount() * table->verticalHeader()->defaultSectionSize() + 4);
    return table;
}

} // namespace

UnknownPatientNumberDialog::UnknownPatientNumberDialog(QWidget* owner, int proposedNumber)
    : QDialog(owner) {
    setObjectName(QStringLiteral("UnknownPatientNumber"));
    setWindowTitle(QStringLiteral("Nieznany pacjent"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Numer pacjenta: ten sam numer to ten sam pacjent, "
                                            "także u innych osób."),
                             this);
    label->setWordWrap(true);
    number_ = new QSpinBox(this);
    number_->setObjectName(QStringLiteral("PatientNumber"));
    number_->setRange(0, kLargestPatientNumber);
    number_->setValue(proposedNumber);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("Badaj"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Anuluj"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(number_);
    layout->addWidget(buttons);
}

UnknownPatientDialog::UnknownPatientDialog(QWidget* owner, const QString& patient,
                                           const ResultReading& values, Answer answer)
    : QDialog(owner), answer_(std::move(answer)) {
    setObjectName(QStringLiteral("UnknownPatient"));
    setWindowTitle(QStringLiteral("Nieznany pacjent"));
    auto* layout = new QVBoxLayout(this);
    auto* label =
        new QLabel(patient + QStringLiteral(". Wynik pacjenta to najnowszy wiersz (czerwony), jego "
                                            "nastawy są ukryte; referencja to wartości należne. "
                                            "Rozpoznaj wzorzec i jego stopień."),
                   this);
    label->setWordWrap(true);
    layout->addWidget(label);
    values_ = makeValuesTable(this, values);
    layout->addWidget(values_);

    QStringList patternTexts;
    for (int k = 0; k < kCasePatternCount; ++k)
        patternTexts << QString::fromUtf8(
            patternText(CasePattern(k)).data(),
            static_cast<qsizetype>(patternText(CasePattern(k)).size()));
    QStringList severityTexts;
    for (const Severity s : kSeverities)
        severityTexts << QString::fromUtf8(severityText(s).data(),
                                           static_cast<qsizetype>(severityText(s).size()));
    patterns_ = new QButtonGroup(this);
    severities_ = new QButtonGroup(this);
    layout->addWidget(
        choices(this, QStringLiteral("Rozpoznanie"), patterns_, patternTexts, "Pattern"));
    layout->addWidget(choices(this, QStringLiteral("Stopień (ATS/ERS 2022)"), severities_,
                              severityTexts, "Severity"));

    check_ = new QPushButton(QStringLiteral("Sprawdź"), this);
    check_->setObjectName(QStringLiteral("CheckAnswer"));
    check_->setEnabled(false);
    answerText_ = new QTextBrowser(this);
    answerText_->setObjectName(QStringLiteral("AnswerText"));
    answerText_->setVisible(false);
    auto* close = new QPushButton(QStringLiteral("Zamknij"), this);
    close->setObjectName(QStringLiteral("CloseQuiz"));
    layout->addWidget(check_);
    layout->addWidget(answerText_);
    layout->addWidget(close);
    resize(520, 640);

    const auto choiceMade = [this] {
        check_->setEnabled(patterns_->checkedId() >= 0 && severities_->checkedId() >= 0);
    };
    connect(patterns_, &QButtonGroup::idClicked, this, choiceMade);
    connect(severities_, &QButtonGroup::idClicked, this, choiceMade);
    connect(check_, &QPushButton::clicked, this, &UnknownPatientDialog::CheckAnswerClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void UnknownPatientDialog::CheckAnswerClick() {
    if (patterns_->checkedId() < 0 || severities_->checkedId() < 0 || !check_->isEnabled())
        return;
    for (QAbstractButton* button : patterns_->buttons() + severities_->buttons())
        button->setEnabled(false);
    check_->setEnabled(false);
    answered_ = true;
    answerText_->setPlainText(
        answer_(CasePattern(patterns_->checkedId()),
                kSeverities.at(static_cast<std::size_t>(severities_->checkedId()))));
    answerText_->setVisible(true);
}

QRadioButton* UnknownPatientDialog::patternButton(CasePattern pattern) const {
    return static_cast<QRadioButton*>(patterns_->button(static_cast<int>(pattern)));
}

QRadioButton* UnknownPatientDialog::severityButton(Severity severity) const {
    return static_cast<QRadioButton*>(severities_->button(static_cast<int>(severity)));
}

} // namespace vm::ui

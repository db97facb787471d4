#include "ui/interpretation_window.h"

#include "report/result_report.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

using namespace vm::session;

namespace vm::ui {

namespace {

constexpr QSize kChartSize{600, 130};
constexpr QSize kSpirogramSize{600, 300};
constexpr int kIndexLines = 3;

// The model's own value first, then the value scaled to the patient that the reading reads.
const QStringList kColumns = {QStringLiteral("Model"),     QStringLiteral("Pacjent"),
                              QStringLiteral("Należna"),   QStringLiteral("DGN"),
                              QStringLiteral("GGN"),       QStringLiteral("z-score"),
                              QStringLiteral("% należnej")};

QString number(double value, int decimals) {
    return std::isfinite(value) ? QLocale().toString(value, 'f', decimals) : QStringLiteral("—");
}

QLabel* makeLabel(QWidget* parent, const char* name, bool wrap = true) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(wrap);
    return label;
}

} // namespace

InterpretationWindow::InterpretationWindow(QWidget* owner, const Session& session)
    : QDialog(owner, Qt::Window | Qt::WindowCloseButtonHint), session_(session) {
    setObjectName(QStringLiteral("Interpretation"));
    setWindowTitle(QStringLiteral("Interpretacja"));
    patient_ = makeLabel(this, "PatientLabel");
    shown_ = makeLabel(this, "ShownRowLabel");
    QFont bold = shown_->font();
    bold.setBold(true);
    shown_->setFont(bold);

    indices_ = new QTableWidget(2 * kIndexLines, static_cast<int>(kColumns.size()), this);
    indices_->setObjectName(QStringLiteral("IndicesTable"));
    indices_->setHorizontalHeaderLabels(kColumns);
    indices_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    indices_->setSelectionMode(QAbstractItemView::NoSelection);
    indices_->setFocusPolicy(Qt::NoFocus);
    indices_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    indices_->setFixedHeight(indices_->horizontalHeader()->sizeHint().height() +
                             2 * kIndexLines * indices_->verticalHeader()->defaultSectionSize() +
                             4);

    chart_ = makeLabel(this, "ZScoreChart", false);
    reading_ = makeLabel(this, "ReadingLabel");
    reading_->setFont(bold);
    fixedRatio_ = makeLabel(this, "FixedRatioLabel");
    referenceReading_ = makeLabel(this, "ReferenceReadingLabel");
    scaling_ = makeLabel(this, "ScalingNote");
    scaling_->setText(report::scalingNote());
    QFont small = scaling_->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    scaling_->setFont(small);
    spirogram_ = makeLabel(this, "Spirogram", false);

    auto* layout = new QVBoxLayout(this);
    for (QWidget* part :
         std::initializer_list<QWidget*>{patient_, shown_, indices_, scaling_, chart_, reading_,
                                         fixedRatio_, referenceReading_, spirogram_})
        layout->addWidget(part);
}

void InterpretationWindow::fillIndices(int firstLine, const ResultReading& reading) {
    for (int k = 0; k < kIndexLines; ++k) {
        const int line = firstLine + k;
        const PredictedIndex& index = reading.indices[static_cast<std::size_t>(k)];
        const int decimals = index.unit == "%" ? 1 : 2;
        QStringList cells =
            reading.ok()
                ? QStringList{number(index.model, decimals),     number(index.measured, decimals),
                              number(index.predicted, decimals), number(index.lln, decimals),
                              number(index.uln, decimals),       number(index.zScore, 2),
                              number(index.percentPredicted, 0)}
                : QStringList(kColumns.size(), QStringLiteral("—"));
        // The model's own litres stand even where the patient cannot be read, but not the
        // unknown patient's before the answer.
        if (!reading.ok() && !reading.hidden)
            cells[0] = number(index.model, decimals);
        for (int c = 0; c < cells.size(); ++c)
            indices_->setItem(line, c, new QTableWidgetItem(cells[c]));
    }
}

void InterpretationWindow::follow(int row) {
    const int shown = row < 1 ? record::referenceRow : row;
    patient_->setText(QStringLiteral("Pacjent: ") +
                      report::patientDescription(session_.readingPatient()) +
                      QStringLiteral("; równania GLI Global 2022"));
    shown_->setText(shown == record::referenceRow
                        ? QStringLiteral("Referencja (nie wybrano wyniku)")
                        : QStringLiteral("Wynik z wiersza %1 obok referencji").arg(shown));

    const ResultReading result = session_.readResult(shown);
    const ResultReading reference = session_.readResult(record::referenceRow);
    QStringList lines;
    for (const QString& whose : {QStringLiteral(" (wynik)"), QStringLiteral(" (ref.)")})
        for (const PredictedIndex& index : kPredictedIndices)
            lines << QString::fromUtf8(index.name.data(),
                                       static_cast<qsizetype>(index.name.size())) +
                         whose;
    indices_->setVerticalHeaderLabels(lines);
    fillIndices(0, result);
    fillIndices(kIndexLines, reference);

    chart_->setPixmap(QPixmap::fromImage(report::ZScoreChartImage(session_, shown, kChartSize)));
    spirogram_->setPixmap(
        QPixmap::fromImage(report::SpirogramImage(session_, shown, kSpirogramSize)));
    reading_->setText(
        result.ok() ? QStringLiteral("Interpretacja (ATS/ERS 2022): ") +
                          QString::fromStdString(result.readingText)
        : result.hidden ? QStringLiteral("Wynik nieznanego pacjenta: odczyt po odpowiedzi w quizie")
                        : QStringLiteral("Nie można odczytać wyniku: ") +
                              QString::fromStdString(result.problem));
    fixedRatio_->setText(QString::fromStdString(result.fixedRatioText));
    fixedRatio_->setVisible(!result.fixedRatioText.empty());
    referenceReading_->setText(shown == record::referenceRow || !reference.ok()
                                   ? QString()
                                   : QStringLiteral("Referencja: ") +
                                         QString::fromStdString(reference.readingText));
}

} // namespace vm::ui

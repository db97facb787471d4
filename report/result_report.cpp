#include "report/result_report.h"

#include "plots/chart_axes.h"
#include "plots/plot_export.h"
#include "plots/plot_fonts.h"
#include "plots/row_colors.h"
#include "plots/spirogram_plot.h"
#include "plots/z_score_chart.h"
#include "record/vocabulary.h"
#include "session/batch_csv.h"
#include "session/results_table.h"

#include <QBuffer>
#include <QByteArray>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <vector>

using namespace vm::session;

namespace vm::report {

namespace {

constexpr int kPageDpi = 150;
constexpr int kMargin = 70;
constexpr QSize kPlotPixels{560, 400};
constexpr QSize kChartPixels{1100, 150};

QColor rowColour(int row) {
    return plots::rowColors()[static_cast<std::size_t>(std::clamp(row, 0, 4))];
}

std::optional<double> zOf(const ResultReading& reading, std::size_t k) {
    if (!reading.ok())
        return std::nullopt;
    return reading.indices[k].zScore;
}

QString number(double value, int decimals) {
    return std::isfinite(value) ? plots::localNumber(value, decimals) : QStringLiteral("—");
}

// An index at its table's precision, in the user's locale; absent, a dash.
QString indexValue(const IndexValue& value, const record::SpirometricIndex& index) {
    if (!value.present() || !std::isfinite(value.value))
        return QString::fromUtf8(kAbsentValue.data(), static_cast<int>(kAbsentValue.size()));
    const char separator = QLocale().decimalPoint().at(0).toLatin1();
    return QString::fromStdString(
        formatNumber(value.value, index.precision, index.decimals, separator ? separator : '.'));
}

// Text laid down the page from a pen position that moves on.
class PageText {
  public:
    PageText(QPainter& painter, int left, int width) : p_(painter), left_(left), width_(width) {}
    int y = kMargin;

    void line(const QString& text, int pointSize, bool bold = false, int indent = 0) {
        QFont font = plots::defaultPlotFont(pointSize);
        font.setBold(bold);
        p_.setFont(font);
        const QRect box(left_ + indent, y, width_ - indent, 10000);
        const QRect used = p_.boundingRect(box, Qt::TextWordWrap, text);
        p_.drawText(box, Qt::TextWordWrap, text);
        y += used.height() + 4;
    }
    // A row of cells at the given x offsets.
    void cells(const QStringList& texts, const std::vector<int>& columns, bool bold = false) {
        QFont font = plots::defaultPlotFont(9);
        font.setBold(bold);
        p_.setFont(font);
        const QFontMetrics metrics(font);
        for (qsizetype k = 0; k < texts.size() && k < static_cast<qsizetype>(columns.size()); ++k)
            p_.drawText(QPoint(left_ + columns[static_cast<std::size_t>(k)], y + metrics.ascent()),
                        texts[k]);
        y += metrics.height() + 6;
    }
    void gap(int pixels) { y += pixels; }

  private:
    QPainter& p_;
    int left_;
    int width_;
};

} // namespace

QString patientDescription(const ReadingPatient& patient) {
    const QString origin = QString::fromUtf8(patientOriginText(patient.origin).data());
    if (patient.origin == PatientOrigin::unreadable)
        return origin + QStringLiteral(" (") + QString::fromStdString(patient.problem) +
               QStringLiteral(")");
    const char separator = QLocale().decimalPoint().at(0).toLatin1();
    return QString::fromStdString(patientText(patient.patient, separator ? separator : ',')) +
           QStringLiteral(" (") + origin + QStringLiteral(")");
}

QString scalingNote() {
    return QStringLiteral(
        "Model przedstawia płuca pacjenta: wartość pacjenta to wartość modelu podzielona przez "
        "wartość referencji modelu i pomnożona przez wartość należną (FEV1/FVC: jego iloraz "
        "względem ilorazu referencji, razy należny). FEV1 liczony od czasu zerowego wyznaczonego "
        "przez ekstrapolację wsteczną, FVC to objętość wydmuchana w natężonym wydechu.");
}

QImage SpirogramImage(const Session& session, int row, QSize size) {
    QImage picture(size, QImage::Format_RGB32);
    const Spirogram reference = session.spirogram(record::referenceRow);
    const Spirogram result = session.spirogram(row);
    plots::DrawSpirogram(picture, {&reference, rowColour(record::referenceRow), row == 0},
                         {row == 0 ? nullptr : &result, rowColour(row), true});
    return picture;
}

QImage ZScoreChartImage(const Session& session, int row, QSize size) {
    const ResultReading result = session.readResult(row);
    const ResultReading reference = session.readResult(record::referenceRow);
    std::vector<plots::ZScoreLine> lines;
    for (std::size_t k = 0; k < result.indices.size(); ++k) {
        const std::string_view name =
            result.ok() ? result.indices[k].name : reference.indices[k].name;
        lines.push_back({QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                         row == 0 ? std::nullopt : zOf(result, k), zOf(reference, k)});
    }
    QImage picture(size, QImage::Format_RGB32);
    plots::DrawZScoreChart(picture, lines, rowColour(row));
    return picture;
}

std::string WriteResultReport(const Session& session, int row, const std::filesystem::path& pdf) {
    // Drawn in memory first, then written as every save of the program writes
    // (record/file_replace.h): a failure leaves no half page, and the target is refused or
    // replaced as any other.
    QByteArray document;
    {
        QBuffer buffer(&document);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPageDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(QStringLiteral("Raport spirometrii"));
        writer.setCreator(QStringLiteral("Velta Morvane"));
        QPainter painter;
        if (!painter.begin(&writer))
            return "cannot write the report " + pdf.string();
        painter.setRenderHint(QPainter::Antialiasing);
        const int pageWidth = writer.width();
        const int contentWidth = pageWidth - 2 * kMargin;
        PageText text(painter, kMargin, contentWidth);

        const ResultReading reading = session.readResult(row);
        text.line(QStringLiteral("Raport spirometrii"), 16, true);
        text.line(QStringLiteral("Pacjent: ") + patientDescription(session.readingPatient()), 11);
        text.line(row == 0
                      ? QStringLiteral("Wynik: referencja")
                      : QStringLiteral("Wynik: wiersz %1 (czarna krzywa: referencja)").arg(row),
                  10);
        text.gap(10);

        // The flow-volume curve and the spirogram side by side.
        const int plotWidth = (contentWidth - 30) / 2;
        const int plotHeight = plotWidth * kPlotPixels.height() / kPlotPixels.width();
        const QImage flowVolume =
            plots::FlowVolumePlotImage(session.record(), row, plots::kDesignFlowVolumePlotSize);
        painter.drawImage(QRect(kMargin, text.y, plotWidth, plotHeight), flowVolume);
        painter.drawImage(QRect(kMargin + plotWidth + 30, text.y, plotWidth, plotHeight),
                          SpirogramImage(session, row, kPlotPixels));
        text.gap(plotHeight + 20);

        const std::vector<int> columns = {0, 160, 300, 460, 610, 760, 890};
        text.cells({QStringLiteral("Wskaźnik"), QStringLiteral("Model"), QStringLiteral("Pacjent"),
                    QStringLiteral("Należna"), QStringLiteral("DGN"), QStringLiteral("z-score"),
                    QStringLiteral("% należnej")},
                   columns, true);
        if (reading.ok()) {
            for (const PredictedIndex& index : reading.indices) {
                const int decimals = index.unit == "%" ? 1 : 2;
                const QString unit = QStringLiteral(" ") + QString::fromUtf8(index.unit.data());
                text.cells(
                    {QString::fromUtf8(index.name.data()), number(index.model, decimals) + unit,
                     number(index.measured, decimals) + unit,
                     number(index.predicted, decimals) + unit, number(index.lln, decimals) + unit,
                     number(index.zScore, 2), number(index.percentPredicted, 0)},
                    columns);
            }
            text.line(scalingNote(), 8);
        } else if (reading.hidden) {
            text.line(QStringLiteral("Wynik nieznanego pacjenta: odczyt po odpowiedzi w quizie"),
                      10);
        } else {
            text.line(QStringLiteral("Nie można odczytać wyniku względem równań referencyjnych: ") +
                          QString::fromStdString(reading.problem),
                      10);
        }
        text.gap(8);
        painter.drawImage(QRect(kMargin, text.y, contentWidth,
                                contentWidth * kChartPixels.height() / kChartPixels.width()),
                          ZScoreChartImage(session, row, kChartPixels));
        text.gap(contentWidth * kChartPixels.height() / kChartPixels.width() + 10);
        if (reading.ok()) {
            text.line(QStringLiteral("Interpretacja (ATS/ERS 2022): ") +
                          QString::fromStdString(reading.readingText),
                      11, true);
            if (!reading.fixedRatioText.empty())
                text.line(QString::fromStdString(reading.fixedRatioText), 10);
        }
        text.gap(10);

        // The other indices, the row's beside the reference's.
        const std::vector<int> more = {0, 200, 360};
        text.cells({QStringLiteral("Inne wskaźniki"), QStringLiteral("Wynik"),
                    QStringLiteral("Referencja")},
                   more, true);
        // Every measured index of the results table and every one read from the curves.
        const IndexValues ofRow = session.indices(row);
        const IndexValues ofReference = session.indices(record::referenceRow);
        for (std::size_t i = 0; i < record::kIndices.size(); ++i) {
            const record::SpirometricIndex& index = record::kIndices[i];
            if (index.kind != record::IndexKind::measured ||
                (index.source == record::IndexSource::stored && index.resultsTableLine == 0))
                continue;
            const QString unit = index.unit.empty()
                                     ? QString()
                                     : QStringLiteral(" ") + QString::fromUtf8(index.unit.data());
            text.cells({QString::fromUtf8(index.name.data()), indexValue(ofRow[i], index) + unit,
                        indexValue(ofReference[i], index) + unit},
                       more);
        }
        text.gap(10);
        text.line(QStringLiteral("Wartości należne i dolna granica normy (DGN, 5. centyl): "
                                 "równania GLI Global 2022. Interpretacja: ATS/ERS 2022. "
                                 "Wynik symulacji modelu, nie badanie pacjenta."),
                  8);
        if (!painter.end())
            return "cannot write the report " + pdf.string();
    }
    return WriteTextFile(pdf, document.toStdString());
}

} // namespace vm::report

#include "session/result_reading.h"

#include "model/run_status.h"
#include "session/number_text.h"
#include "session/results_table.h"

#include <charconv>
#include <cmath>

namespace vm::session {

namespace {

// A plain decimal number, all of the text.
std::optional<double> numberOf(std::string_view text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A whole number without decimals, else one decimal: 165, 165,5.
std::string wholeOrTenths(double v, char decimalSeparator) {
    return formatNumber(v, 6, v == std::floor(v) ? 0 : 1, decimalSeparator);
}

// FEV1, FVC and FEV1/FVC (a fraction) of a row as a spirometer reads its blow; NaN where the
// row has none, with why.
struct SpirometerValues {
    std::array<double, 3> values{std::nan(""), std::nan(""), std::nan("")};
    std::string missing;
};

SpirometerValues spirometerValues(const record::SimulationRecord& record, int row) {
    SpirometerValues out;
    if (record.field(row, record::RowField::runStatus) != model::kRunValid) {
        out.missing = std::string(missingReasonText(model::MissingReason::noValidResult));
        return out;
    }
    const IndexValues indices = model::readIndices(record, row);
    const IndexValue& fev1 = indices[record::indexNamed("fev1FromTimeZero")];
    const IndexValue& fvc = indices[record::indexNamed("fvc")];
    for (const IndexValue* index : {&fev1, &fvc})
        if (!index->present()) {
            out.missing = std::string(missingReasonText(index->missing));
            return out;
        }
    out.values = {fev1.value, fvc.value, fev1.value / fvc.value};
    return out;
}

} // namespace

ResultReading readResult(const record::SimulationRecord& record, int row,
                         const ReadingPatient& patient, const reference::GliSplineTable* table,
                         std::string_view tableProblem) {
    ResultReading out;
    out.patient = patient;
    const SpirometerValues ofRow = spirometerValues(record, row);
    for (std::size_t k = 0; k < out.indices.size(); ++k)
        out.indices[k].model = ofRow.values[k] * (k == 2 ? 100.0 : 1.0);
    if (patient.origin == PatientOrigin::unreadable) {
        out.problem = patient.problem;
        return out;
    }
    if (!ofRow.missing.empty()) {
        out.problem = ofRow.missing;
        return out;
    }
    const SpirometerValues ofReference = spirometerValues(record, record::referenceRow);
    if (!ofReference.missing.empty()) {
        out.problem = "the reference cannot be read: " + ofReference.missing;
        return out;
    }
    if (out.problem = patientProblem(patient.patient); !out.problem.empty())
        return out;
    if (table == nullptr) {
        out.problem = tableProblem;
        return out;
    }
    reference::SpirometryZScores z;
    double* const zOf[] = {&z.fev1, &z.fvc, &z.fev1Fvc};
    for (std::size_t k = 0; k < out.indices.size(); ++k) {
        PredictedIndex& index = out.indices[k];
        const auto predicted = reference::referenceValues(*table, patient.patient, index.index);
        if (!predicted.ok()) {
            out.problem = predicted.message;
            return out;
        }
        const double share = ofRow.values[k] / ofReference.values[k];
        const double measured = share * predicted.value->predicted;
        const auto found = reference::zScore(predicted.value->lms, measured, index.index);
        if (!found.ok()) {
            out.problem = found.message;
            return out;
        }
        // The ratio is shown in percent; the equations take a fraction.
        const double shown = k == 2 ? 100.0 : 1.0;
        index.measured = measured * shown;
        index.predicted = predicted.value->predicted * shown;
        index.lln = predicted.value->lln * shown;
        index.uln = predicted.value->uln * shown;
        index.zScore = *found.value;
        index.percentPredicted = 100.0 * share;
        *zOf[k] = *found.value;
    }
    const auto reading = reference::readSpirometry(z, out.indices[2].measured / 100.0);
    if (!reading.ok()) {
        out.problem = reading.message;
        return out;
    }
    out.reading = *reading.value;
    out.readingText = reference::polishReadingText(out.reading);
    if (out.reading.fixedRatio != reference::FixedRatioVerdict::agrees)
        out.fixedRatioText = std::string(reference::polishFixedRatioText(out.reading));
    return out;
}

std::optional<Patient> parsePatient(std::string_view text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string_view::npos ? first : text.find(',', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view sex = text.substr(0, first);
    const auto age = numberOf(text.substr(first + 1, second - first - 1));
    const auto height = numberOf(text.substr(second + 1));
    if ((sex != "female" && sex != "male") || !age || !height)
        return std::nullopt;
    return Patient{sex == "male" ? Sex::male : Sex::female, *age, *height};
}

std::string patientOption(const Patient& patient) {
    return std::string(reference::sexName(patient.sex)) + ',' +
           numberText(patient.age_years, NumberForm::shortest) + ',' +
           numberText(patient.height_cm, NumberForm::shortest);
}

std::string patientProblem(const Patient& patient) {
    return reference::patientOutsideEquations(patient);
}

std::string polishYears(double age_years, char decimalSeparator) {
    // A fraction of a year takes the genitive: "40,5 roku".
    if (age_years != std::floor(age_years))
        return wholeOrTenths(age_years, decimalSeparator) + " roku";
    const long years = std::lround(age_years);
    const long last = years % 10;
    const long lastTwo = years % 100;
    const char* word = years == 1                                                   ? "rok"
                       : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14)) ? "lata"
                                                                                    : "lat";
    return std::to_string(years) + " " + word;
}

std::string patientText(const Patient& patient, char decimalSeparator) {
    return std::string(patient.sex == Sex::male ? "mężczyzna, " : "kobieta, ") +
           polishYears(patient.age_years, decimalSeparator) + ", " +
           wholeOrTenths(patient.height_cm, decimalSeparator) + " cm";
}

std::string_view patientOriginText(PatientOrigin origin) {
    switch (origin) {
    case PatientOrigin::standard:
        return "pacjent domyślny: nie podano pacjenta, a plik go nie zapisuje";
    case PatientOrigin::entered:
        return "podany przez użytkownika";
    case PatientOrigin::stored:
        return "zapisany w pliku";
    case PatientOrigin::drawn:
        return "nieznany pacjent z quizu";
    case PatientOrigin::unreadable:
        return "zapisanego w pliku pacjenta nie można odczytać";
    }
    return "";
}

std::string_view patientOriginKey(PatientOrigin origin) {
    switch (origin) {
    case PatientOrigin::standard:
        return "default";
    case PatientOrigin::entered:
        return "given";
    case PatientOrigin::stored:
        return "file";
    case PatientOrigin::drawn:
        return "quiz";
    case PatientOrigin::unreadable:
        return "unreadable";
    }
    return "";
}

} // namespace vm::session

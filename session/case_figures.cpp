#include "session/case_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace vm::record;

namespace vm::session {

namespace {

// The quantity a figure reads, in one record row.
FigureValue quantity(const Session& session, const CaseFigure& figure, int row, FigureKind kind) {
    const SimulationRecord& record = session.record();
    switch (figure.source) {
    case FigureSource::stored:
    case FigureSource::curve: {
        if (figure.source == FigureSource::stored && record.field(row, RowField::runStatus) != 1.0f)
            return {0.0, "row " + std::to_string(row) + " holds no valid result"};
        const IndexValue index = session.indices(row)[figure.slot];
        if (!index.present())
            return {0.0, std::string(kIndices[figure.slot].name) + " of row " +
                             std::to_string(row) +
                             " is empty: " + std::string(missingReasonText(index.missing))};
        return {index.value, {}};
    }
    case FigureSource::reading:
        break;
    }
    const ResultReading reading = session.readResult(row);
    if (!reading.ok())
        return {0.0, "row " + std::to_string(row) + " is not read: " + reading.problem};
    const PredictedIndex& index = reading.indices[figure.slot];
    switch (kind) {
    case FigureKind::model:
        return {index.model, {}};
    case FigureKind::predicted:
        return {index.predicted, {}};
    case FigureKind::lln:
        return {index.lln, {}};
    case FigureKind::uln:
        return {index.uln, {}};
    case FigureKind::zScore:
        return {index.zScore, {}};
    case FigureKind::percentPredicted:
        return {index.percentPredicted, {}};
    default:
        return {index.measured, {}};
    }
}

} // namespace

FigureValue figureValue(const Session& session, const CaseFigure& figure) {
    // A change in % of the predicted value is the change of the patient's values over it.
    const bool changeOfPredicted =
        figure.fromRow >= 0 && figure.kind == FigureKind::percentPredicted;
    const FigureKind read = changeOfPredicted ? FigureKind::measured : figure.kind;
    const FigureValue at = quantity(session, figure, figure.row, read);
    if (!at.ok())
        return at;
    if (figure.fromRow < 0) {
        if (figure.kind != FigureKind::ofReference)
            return at;
        const FigureValue reference = quantity(session, figure, referenceRow, read);
        if (!reference.ok() || reference.value == 0.0)
            return {0.0, reference.ok() ? "the reference's value is 0" : reference.problem};
        return {100.0 * at.value / reference.value, {}};
    }
    const FigureValue from = quantity(session, figure, figure.fromRow, read);
    if (!from.ok())
        return from;
    const double change = at.value - from.value;
    switch (figure.kind) {
    case FigureKind::ofReference: {
        const FigureValue reference = quantity(session, figure, referenceRow, read);
        if (!reference.ok() || reference.value == 0.0)
            return {0.0, reference.ok() ? "the reference's value is 0" : reference.problem};
        return {100.0 * change / reference.value, {}};
    }
    case FigureKind::ofBaseline:
        if (from.value == 0.0)
            return {0.0, "the value it changes from is 0"};
        return {100.0 * change / from.value, {}};
    case FigureKind::percentPredicted: {
        const FigureValue predicted = quantity(session, figure, figure.row, FigureKind::predicted);
        if (!predicted.ok())
            return predicted;
        return {100.0 * change / predicted.value, {}};
    }
    default:
        return {change, {}};
    }
}

std::string figureText(double value, int decimals, bool plusSign) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(value));
    std::string digits = buffer;
    for (char& c : digits)
        if (c == '.')
            c = ',';
    const bool zero = digits.find_first_not_of("0,") == std::string::npos;
    if (zero || !std::isfinite(value))
        return digits;
    if (value < 0)
        return "\u2212" + digits;
    return plusSign ? "+" + digits : digits;
}

std::vector<std::string> mismatchedFigures(const Session& session,
                                           const std::vector<CaseFigure>& figures) {
    std::vector<std::string> out;
    for (const CaseFigure& figure : figures) {
        const FigureValue value = figureValue(session, figure);
        const std::string where = "line " + std::to_string(figure.line) + ": " + figure.markup;
        if (!value.ok())
            out.push_back(where + " gives nothing: " + value.problem);
        else if (const std::string text =
                     figureText(value.value, figure.decimals(), figure.signShown());
                 text != figure.shown)
            out.push_back(where + " gives " + text);
    }
    return out;
}

namespace {

// The percentages a case's runs and quiz range set, as the texts write them.
std::vector<std::string> settingPercents(const TeachingCase& c) {
    std::vector<std::string> out{"100"};
    const auto add = [&out](double percent) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", percent);
        out.emplace_back(text);
    };
    for (const CaseRun& run : c.runs)
        for (const CaseSetting& setting : run.settings)
            add(setting.percent);
    for (const QuizRange& range : c.quiz) {
        add(range.from.percent);
        add(range.to);
    }
    return out;
}

} // namespace

bool isAllowedPlainNumber(const PlainNumber& number, const TeachingCase& c) {
    if (number.rowNumber)
        return true;
    const std::vector<std::string> settings = settingPercents(c);
    if (number.unit == "%" && std::ranges::all_of(number.listed, [&](const std::string& n) {
            return std::ranges::find(settings, n) != settings.end();
        }))
        return true;
    return std::ranges::any_of(kFixedNumbers, [&](const FixedNumber& fixed) {
        return fixed.number == number.text &&
               (fixed.follows.empty() ? number.unit.empty()
                                      : number.after.starts_with(fixed.follows));
    });
}

std::vector<std::string> unmarkedModelNumbers(const TeachingCase& c) {
    std::vector<std::string> out;
    for (const PlainNumber& number : c.plainNumbers)
        if (!isAllowedPlainNumber(number, c))
            out.push_back("line " + std::to_string(number.line) + ": \"" + number.text +
                          (number.unit.empty() ? "" : " " + number.unit) + "\"");
    return out;
}

} // namespace vm::session

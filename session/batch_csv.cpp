#include "session/batch_csv.h"

#include "record/file_replace.h"
#include "record/vocabulary.h"
#include "session/session.h"

#include <cstdint>
#include <span>

using namespace vm::record;

namespace vm::session {

namespace {

BatchCell numberCell(double v, NumberForm form) {
    BatchCell cell;
    cell.kind = BatchCell::Kind::number;
    cell.number = v;
    cell.form = form;
    return cell;
}
BatchCell textCell(std::string_view text) {
    if (text.empty())
        return {};
    return {.kind = BatchCell::Kind::text, .text = std::string(text)};
}
BatchCell wholeCell(std::size_t v) {
    BatchCell cell;
    cell.kind = BatchCell::Kind::whole;
    cell.whole = v;
    return cell;
}

std::string withUnit(std::string_view name, std::string_view unit) {
    while (unit.ends_with(' '))
        unit.remove_suffix(1);
    return std::string(name) + (unit.empty() ? "" : " [" + std::string(unit) + "]");
}

void addIndexColumns(std::vector<std::string>& names, bool withUnits) {
    for (const SpirometricIndex& index : kIndices)
        names.push_back(withUnits ? withUnit(index.jsonKey, index.unit)
                                  : std::string(index.jsonKey));
}

void addIndexCells(BatchCells& cells, const IndexValues& values) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        cells.push_back(values[i].present()
                            ? numberCell(values[i].value, kIndices[i].source == IndexSource::stored
                                                              ? NumberForm::single
                                                              : NumberForm::shortest)
                            : BatchCell{});
}

// The numbers of a predicted index, in the order of its columns.
struct PredictedNumber {
    const char* name;
    double PredictedIndex::*member;
    bool hasUnit;
};
constexpr PredictedNumber kPredictedNumbers[] = {
    {"model", &PredictedIndex::model, true},
    {"measured", &PredictedIndex::measured, true},
    {"predicted", &PredictedIndex::predicted, true},
    {"lln", &PredictedIndex::lln, true},
    {"uln", &PredictedIndex::uln, true},
    {"z", &PredictedIndex::zScore, false},
    {"percentPredicted", &PredictedIndex::percentPredicted, false},
};

void addReadingColumns(std::vector<std::string>& names, bool withUnits) {
    const auto unit = [&](std::string_view u) { return withUnits ? u : std::string_view(); };
    for (const auto& [name, u] : {std::pair{"patientSex", ""},
                                  {"patientAge", "years"},
                                  {"patientHeight", "cm"},
                                  {"patientOrigin", ""}})
        names.push_back(withUnit(name, unit(u)));
    for (const PredictedIndex& index : kPredictedIndices)
        for (const PredictedNumber& number : kPredictedNumbers)
            names.push_back(withUnit(std::string(index.jsonKey) + ' ' + number.name,
                                     number.hasUnit ? unit(index.unit) : ""));
    for (const char* name : {"pattern", "severity", "fixedRatio070"})
        names.emplace_back(name);
}

// The patient always, the model's values where the row has them, the rest empty when the row
// cannot be read.
void addReadingCells(BatchCells& cells, const ResultReading& reading) {
    const Patient& patient = reading.patient.patient;
    cells.push_back(textCell(reference::sexName(patient.sex)));
    cells.push_back(numberCell(patient.age_years, NumberForm::shortest));
    cells.push_back(numberCell(patient.height_cm, NumberForm::shortest));
    cells.push_back(textCell(patientOriginKey(reading.patient.origin)));
    for (const PredictedIndex& index : reading.indices)
        for (const PredictedNumber& number : kPredictedNumbers)
            cells.push_back(reading.ok() || number.member == &PredictedIndex::model
                                ? numberCell(index.*number.member, NumberForm::shortest)
                                : BatchCell{});
    if (!reading.ok()) {
        cells.resize(cells.size() + 3);
        return;
    }
    cells.push_back(textCell(reference::patternKey(reading.reading.pattern)));
    cells.push_back(textCell(reference::severityKey(reading.reading.severity)));
    cells.push_back(textCell(reference::fixedRatioKey(reading.reading.fixedRatio)));
}

std::string cellText(const BatchCell& cell) {
    switch (cell.kind) {
    case BatchCell::Kind::empty:
        return {};
    case BatchCell::Kind::whole:
        return std::to_string(cell.whole);
    case BatchCell::Kind::number:
        return csvNumber(cell.number, cell.form);
    case BatchCell::Kind::text:
        return cell.text;
    }
    return {};
}

template <typename First, typename Second>
std::string curveCsv(const char* header, int resultCount, int samples, First first, Second second) {
    std::string out = header;
    for (int row = 0; row <= resultCount; ++row)
        for (int i = 1; i <= samples && first(row, i) != 0.0f; ++i)
            out += csvLine(BatchCells{wholeCell(static_cast<std::size_t>(row)),
                                      wholeCell(static_cast<std::size_t>(i)),
                                      numberCell(first(row, i), NumberForm::single),
                                      numberCell(second(row, i), NumberForm::single)});
    return out;
}

} // namespace

std::vector<std::string> sweepColumns(const std::vector<SweepAxis>& axes, bool withPatient) {
    std::vector<std::string> names = {"point"};
    for (const SweepAxis& axis : axes)
        names.push_back(axis.setting.text);
    names.emplace_back("status");
    addIndexColumns(names, false);
    if (withPatient)
        addReadingColumns(names, false);
    return names;
}

BatchCells sweepCells(const SweepRow& row, bool withPatient) {
    BatchCells cells = {wholeCell(row.point)};
    for (const double percent : row.percents)
        cells.push_back(numberCell(percent, NumberForm::shortest));
    cells.push_back(textCell(runStatusWord(row.result.runStatus)));
    addIndexCells(cells, row.result.indices);
    if (withPatient && row.result.reading)
        addReadingCells(cells, *row.result.reading);
    return cells;
}

std::string csvLine(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ",") + name;
    return out + '\n';
}

std::string csvLine(const BatchCells& cells) {
    std::string out;
    for (std::size_t c = 0; c < cells.size(); ++c)
        out += (c > 0 ? "," : "") + cellText(cells[c]);
    return out + '\n';
}

std::string FlowVolumeCsv(const SimulationRecord& record, int resultCount) {
    return curveCsv(
        "row,sample,volume [l],flow [l/s]\n", resultCount, layout::kFvSamples,
        [&](int row, int n) { return record.fvVolume(row, n); },
        [&](int row, int n) { return record.fvFlow(row, n); });
}

std::string VolumeTimeCsv(const SimulationRecord& record, int resultCount) {
    return curveCsv(
        "row,sample,time [s],volume [l]\n", resultCount, layout::kVtSamples,
        [&](int row, int k) { return record.vtTime(row, k); },
        [&](int row, int k) { return record.vtVolume(row, k); });
}

std::string ResultsCsv(const Session& session, bool withPredicted) {
    std::vector<std::string> names = {"row", "status"};
    for (const std::string_view name : kSettingColumnNames)
        names.push_back(withUnit(name, "%"));
    names.push_back(withUnit("expirationDepth", "%"));
    addIndexColumns(names, true);
    if (withPredicted)
        addReadingColumns(names, true);
    std::string out = csvLine(names);
    const SimulationRecord& record = session.record();
    for (int row = 0; row <= session.state().resultCount; ++row) {
        BatchCells cells = {wholeCell(static_cast<std::size_t>(row)),
                            textCell(runStatusWord(record.field(row, RowField::runStatus)))};
        for (int c = 0; c < layout::kSettingColumns; ++c)
            cells.push_back(
                numberCell(record.partSetting(row, kEditedPart, c), NumberForm::single));
        cells.push_back(
            numberCell(record.globalSetting(row, GlobalItem::expirationDepth), NumberForm::single));
        addIndexCells(cells, session.indices(row));
        if (withPredicted)
            addReadingCells(cells, session.readResult(row));
        out += csvLine(cells);
    }
    return out;
}

std::string WriteTextFile(const std::filesystem::path& path, const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return replaceFileContents(path, std::span(bytes, text.size())).message;
}

} // namespace vm::session

#include "python/record_rows.h"

#include "record/vocabulary.h"
#include "session/number_text.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <limits>
#include <string>

using namespace vm::record;
using namespace vm::session;
namespace py = pybind11;

namespace vm::python {

namespace {

py::array_t<float> floats(const std::vector<float>& values) {
    return py::array_t<float>(static_cast<py::ssize_t>(values.size()), values.data());
}

// A line per sample and a column per lobe.
template <typename T>
py::array_t<T> perLobe(const std::vector<std::array<T, layout::kLobes>>& samples) {
    py::array_t<T> values(
        {static_cast<py::ssize_t>(samples.size()), static_cast<py::ssize_t>(layout::kLobes)});
    auto out = values.template mutable_unchecked<2>();
    for (std::size_t n = 0; n < samples.size(); ++n)
        for (std::size_t k = 0; k < layout::kLobes; ++k)
            out(static_cast<py::ssize_t>(n), static_cast<py::ssize_t>(k)) = samples[n][k];
    return values;
}

// A number of the reading or of an index read from the curves, as the module has always handed
// them over: a whole number as an int, as the shortest text writes it, and one that is no
// number as `absent`.
py::object readingNumber(double v, py::object absent = py::none()) {
    if (!std::isfinite(v))
        return absent;
    const std::string text = numberText(v, NumberForm::shortest);
    if (text.find_first_of(".e") == std::string::npos)
        return py::int_(static_cast<long long>(v));
    return py::float_(v);
}

py::dict patientOf(const ResultReading& reading) {
    const Patient& patient = reading.patient.patient;
    py::dict out;
    out["sex"] = std::string(reference::sexName(patient.sex));
    out["age"] = readingNumber(patient.age_years);
    out["height"] = readingNumber(patient.height_cm);
    out["origin"] = std::string(patientOriginKey(reading.patient.origin));
    return out;
}

py::dict predictedOf(const ResultReading& reading) {
    py::dict out;
    if (!reading.ok()) {
        out["problem"] = reading.problem;
        return out;
    }
    for (const PredictedIndex& index : reading.indices) {
        py::dict numbers;
        numbers["model"] = readingNumber(index.model);
        numbers["measured"] = readingNumber(index.measured);
        numbers["predicted"] = readingNumber(index.predicted);
        numbers["lln"] = readingNumber(index.lln);
        numbers["uln"] = readingNumber(index.uln);
        numbers["z"] = readingNumber(index.zScore);
        numbers["percentPredicted"] = readingNumber(index.percentPredicted);
        out[py::str(std::string(index.jsonKey))] = numbers;
    }
    out["reading"] = reading.readingText;
    out["pattern"] = std::string(reference::patternKey(reading.reading.pattern));
    out["severity"] = std::string(reference::severityKey(reading.reading.severity));
    out["fixedRatio070"] = std::string(reference::fixedRatioKey(reading.reading.fixedRatio));
    return out;
}

// "cm", "left.cm", "lobe3.ccc", "global.0": the names run's settings take.
py::dict settingsOf(const RowResult& result) {
    py::dict out;
    for (int part = 0; part < layout::kParts; ++part) {
        const auto prefix = kLungPartNames[static_cast<std::size_t>(part)];
        for (int c = 0; c < layout::kSettingColumns; ++c) {
            const std::string column(kSettingColumnNames[static_cast<std::size_t>(c)]);
            const std::string name = prefix.empty() ? column : std::string(prefix) + '.' + column;
            out[py::str(name)] = static_cast<double>(
                result.partSettings[static_cast<std::size_t>(part)][static_cast<std::size_t>(c)]);
        }
    }
    for (int item = 0; item < layout::kGlobalItems; ++item)
        out[py::str("global." + std::to_string(item))] =
            static_cast<double>(result.globalSettings[static_cast<std::size_t>(item)]);
    return out;
}

py::object cellValue(const BatchCell& cell) {
    switch (cell.kind) {
    case BatchCell::Kind::empty:
        break;
    case BatchCell::Kind::whole:
        return py::int_(cell.whole);
    case BatchCell::Kind::number:
        return py::float_(cell.number);
    case BatchCell::Kind::text:
        return py::str(cell.text);
    }
    return py::float_(std::numeric_limits<double>::quiet_NaN());
}

} // namespace

py::dict resultFields(const RowResult& result) {
    py::dict fields;
    fields["row"] = result.row;
    fields["status"] = std::string(runStatusWord(result.runStatus));
    py::dict indices;
    py::dict empty;
    const py::float_ nan(std::numeric_limits<double>::quiet_NaN());
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        const IndexValue& value = result.indices[i];
        const py::str key(std::string(index.jsonKey));
        if (!value.present()) {
            indices[key] = nan;
            empty[key] = std::string(missingReasonText(value.missing));
        } else if (index.source == IndexSource::stored) {
            indices[key] = value.value;
        } else {
            indices[key] = readingNumber(value.value, nan);
        }
    }
    fields["indices"] = indices;
    fields["empty_indices"] = empty;
    fields["patient"] = result.reading ? py::object(patientOf(*result.reading)) : py::none();
    fields["predicted"] = result.reading ? py::object(predictedOf(*result.reading)) : py::none();
    fields["fv_volume"] = floats(result.fvVolume);
    fields["fv_flow"] = floats(result.fvFlow);
    fields["vt_time"] = floats(result.vtTime);
    fields["vt_volume"] = floats(result.vtVolume);
    fields["settings"] = settingsOf(result);
    if (result.lobes) {
        py::dict lobes;
        lobes["intermediate_resistance"] = perLobe(result.lobes->intermediateResistance);
        lobes["peripheral_resistance"] = perLobe(result.lobes->peripheralResistance);
        lobes["volume"] = perLobe(result.lobes->volume);
        lobes["flow_limited"] = perLobe(result.lobes->flowLimited);
        fields["lobes"] = lobes;
    }
    return fields;
}

py::list sweepRows(const std::vector<std::string>& columns, const std::vector<BatchCells>& rows) {
    std::vector<py::str> keys(columns.begin(), columns.end());
    py::list out;
    for (const BatchCells& cells : rows) {
        py::dict row;
        for (std::size_t c = 0; c < cells.size(); ++c)
            row[keys[c]] = cellValue(cells[c]);
        out.append(std::move(row));
    }
    return out;
}

} // namespace vm::python

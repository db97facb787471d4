#include "python/record_rows.h"

#include "record/vocabulary.h"
#include "session/curve_export.h"
#include "session/reading_text.h"

#include <pybind11/numpy.h>

#include <string>

using namespace vm::record;
namespace py = pybind11;

namespace vm::python {

namespace {

// The samples 1.. up to the first whose leading value is 0, the curves' end mark.
template <typename Sample> int curveLength(int samples, Sample leading) {
    int n = 0;
    while (n < samples && leading(n + 1) != 0.0f)
        ++n;
    return n;
}

template <typename T, typename Sample> py::array_t<T> curve(int length, Sample sample) {
    py::array_t<T> values(length);
    auto out = values.template mutable_unchecked<1>();
    for (int i = 0; i < length; ++i)
        out(i) = sample(i + 1);
    return values;
}

// Samples 0..last of one per-lobe trace, a line per sample and a column per lobe.
template <typename T, typename Sample> py::array_t<T> lobeTrace(int last, Sample sample) {
    py::array_t<T> values({last + 1, layout::kLobes});
    auto out = values.template mutable_unchecked<2>();
    for (int n = 0; n <= last; ++n)
        for (int lobe = 1; lobe <= layout::kLobes; ++lobe)
            out(n, lobe - 1) = sample(n, lobe);
    return values;
}

// "cm", "left.cm", "lobe3.ccc", "global.0": the names run's settings take.
py::dict settings(const SimulationRecord& record, int row) {
    py::dict out;
    for (int part = 0; part < layout::kParts; ++part) {
        const auto prefix = kLungPartNames[static_cast<std::size_t>(part)];
        for (int c = 0; c < layout::kSettingColumns; ++c) {
            const std::string column(kSettingColumnNames[static_cast<std::size_t>(c)]);
            const std::string name = prefix.empty() ? column : std::string(prefix) + '.' + column;
            out[py::str(name)] = static_cast<double>(record.partSetting(row, part, c));
        }
    }
    for (int item = 0; item < layout::kGlobalItems; ++item)
        out[py::str("global." + std::to_string(item))] =
            static_cast<double>(record.globalSetting(row, item));
    return out;
}

} // namespace

py::dict rowFields(const session::Session& session, int row, bool withPatient, bool lobeTraces) {
    checkRow(row);
    const SimulationRecord& record = session.record();
    py::dict fields;
    fields["row"] = row;
    fields["status"] = session::runStatusWord(record.field(row, RowField::runStatus));
    py::dict indices;
    for (const RowIndex& index : kRowIndices)
        indices[py::str(std::string(index.jsonKey))] =
            static_cast<double>(record.field(row, index.field));
    fields["indices"] = indices;

    const int fv = curveLength(layout::kFvSamples, [&](int n) { return record.fvVolume(row, n); });
    const int vt = curveLength(layout::kVtSamples, [&](int k) { return record.vtTime(row, k); });
    fields["fv_volume"] = curve<float>(fv, [&](int n) { return record.fvVolume(row, n); });
    fields["fv_flow"] = curve<float>(fv, [&](int n) { return record.fvFlow(row, n); });
    fields["vt_time"] = curve<float>(vt, [&](int k) { return record.vtTime(row, k); });
    fields["vt_volume"] = curve<float>(vt, [&](int k) { return record.vtVolume(row, k); });
    fields["settings"] = settings(record, row);
    // The runner's own text, so that the module reads back exactly what it prints.
    std::string reading = session::curveIndexJsonFields(session.curveIndices(row));
    if (withPatient)
        reading += session::patientJsonFields(session.readResult(row));
    fields["reading_json"] = "{" + reading.substr(1) + "}";
    if (lobeTraces) {
        // Sample 0 is the state the forced expiration starts from.
        py::dict lobes;
        lobes["intermediate_resistance"] =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeTraceA(row, n, k); });
        lobes["peripheral_resistance"] =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeTraceB(row, n, k); });
        lobes["volume"] =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeVolume(row, n, k); });
        lobes["flow_limited"] =
            lobeTrace<bool>(fv, [&](int n, int k) { return record.lobeState(row, n, k) != 0; });
        fields["lobes"] = lobes;
    }
    return fields;
}

} // namespace vm::python

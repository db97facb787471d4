#include "session/batch_result.h"

#include "session/session.h"

using namespace vm::record;

namespace vm::session {

namespace {

// The samples 1.. up to the first whose leading value is 0, the curves' end mark.
template <typename Leading> int curveLength(int samples, Leading leading) {
    int n = 0;
    while (n < samples && leading(n + 1) != 0.0f)
        ++n;
    return n;
}

template <typename Sample> std::vector<float> samples(int length, Sample sample) {
    std::vector<float> values(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        values[static_cast<std::size_t>(i)] = sample(i + 1);
    return values;
}

template <typename T, typename Sample>
std::vector<std::array<T, layout::kLobes>> lobeTrace(int last, Sample sample) {
    std::vector<std::array<T, layout::kLobes>> values(static_cast<std::size_t>(last + 1));
    for (int n = 0; n <= last; ++n)
        for (int lobe = 1; lobe <= layout::kLobes; ++lobe)
            values[static_cast<std::size_t>(n)][static_cast<std::size_t>(lobe - 1)] =
                sample(n, lobe);
    return values;
}

} // namespace

RowResult resultOf(const Session& session, int row, const ResultParts& parts) {
    checkRow(row);
    const SimulationRecord& record = session.record();
    RowResult out;
    out.row = row;
    out.runStatus = record.field(row, RowField::runStatus);
    out.indices = session.indices(row);
    const int fv = curveLength(layout::kFvSamples, [&](int n) { return record.fvVolume(row, n); });
    if (parts.curves) {
        const int vt =
            curveLength(layout::kVtSamples, [&](int k) { return record.vtTime(row, k); });
        out.fvVolume = samples(fv, [&](int n) { return record.fvVolume(row, n); });
        out.fvFlow = samples(fv, [&](int n) { return record.fvFlow(row, n); });
        out.vtTime = samples(vt, [&](int k) { return record.vtTime(row, k); });
        out.vtVolume = samples(vt, [&](int k) { return record.vtVolume(row, k); });
    }
    if (parts.settings) {
        for (int part = 0; part < layout::kParts; ++part)
            for (int c = 0; c < layout::kSettingColumns; ++c)
                out.partSettings[static_cast<std::size_t>(part)][static_cast<std::size_t>(c)] =
                    record.partSetting(row, part, c);
        for (int item = 0; item < layout::kGlobalItems; ++item)
            out.globalSettings[static_cast<std::size_t>(item)] = record.globalSetting(row, item);
    }
    if (parts.reading)
        out.reading = session.readResult(row);
    if (parts.lobeTraces) {
        LobeTraces& lobes = out.lobes.emplace();
        lobes.intermediateResistance =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeTraceA(row, n, k); });
        lobes.peripheralResistance =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeTraceB(row, n, k); });
        lobes.volume =
            lobeTrace<float>(fv, [&](int n, int k) { return record.lobeVolume(row, n, k); });
        lobes.flowLimited =
            lobeTrace<bool>(fv, [&](int n, int k) { return record.lobeState(row, n, k) != 0; });
    }
    return out;
}

std::string_view runStatusWord(float status) {
    return status == 1.0f ? "valid" : status == 0.0f ? "dead" : "error";
}

} // namespace vm::session

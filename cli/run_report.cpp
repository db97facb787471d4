#include "cli/run_report.h"

#include "record/vocabulary.h"

#include <cstdio>

using namespace vm::record;

namespace vm::cli {

using namespace layout;

namespace {

const char* statusText(float status) {
    if (status == 1.0f)
        return "valid";
    if (status == 0.0f)
        return "dead (tidal inspiration failed)";
    return "error";
}

} // namespace

std::string formatFloat(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

namespace {

// [[a, b], ...] for samples 1.. up to the first whose a is 0, the curves' end mark.
template <typename First, typename Second>
std::string samplePairs(int count, First first, Second second) {
    std::string out = "[";
    for (int i = 1; i <= count && first(i) != 0.0f; ++i)
        out += std::string(i > 1 ? "," : "") + '[' + formatFloat(first(i)) + ',' +
               formatFloat(second(i)) + ']';
    return out + ']';
}

} // namespace

std::string runJson(const SimulationRecord& record, int runNumber) {
    std::string out = "{\"run\":" + std::to_string(runNumber);
    for (const RowIndex& index : kRowIndices)
        out += ",\"" + std::string(index.jsonKey) +
               "\":" + formatFloat(record.field(workingRow, index.field));
    out +=
        ",\"fvSamples\":" + samplePairs(
                                kFvSamples, [&](int n) { return record.fvVolume(workingRow, n); },
                                [&](int n) { return record.fvFlow(workingRow, n); });
    out += ",\"vtSamples\":" + samplePairs(
                                   kVtSamples, [&](int k) { return record.vtTime(workingRow, k); },
                                   [&](int k) { return record.vtVolume(workingRow, k); });
    out += "}\n";
    return out;
}

std::string runTable(const SimulationRecord& record, int runNumber) {
    std::string out = "Run " + std::to_string(runNumber) + ": " +
                      statusText(record.field(workingRow, RowField::runStatus)) + "\n";
    char line[96];
    std::snprintf(line, sizeof line, "  %-12s %10s %10s\n", "index", "result", "reference");
    out += line;
    // The status heads the table; the displayed-quantity code is no measurement.
    for (const RowIndex& index : kRowIndices) {
        if (index.field == RowField::runStatus || index.field == RowField::modelVariant)
            continue;
        const double reference = record.field(referenceRow, index.field);
        const double value = record.field(workingRow, index.field);
        std::snprintf(line, sizeof line, "  %-12s %10.3f %10.3f  %s\n",
                      std::string(index.name).c_str(), value, reference,
                      std::string(index.unit).c_str());
        out += line;
    }
    return out;
}

} // namespace vm::cli

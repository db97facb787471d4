#include "cli/run_report.h"

#include <array>
#include <cstdio>

using namespace vm::record;

namespace vm::cli {

using namespace layout;

namespace {

struct FieldName {
    RowField field;
    const char* name;
    const char* label;
    const char* unit;
};

constexpr std::array<FieldName, kRowFieldCount> kFields{{
    {RowField::fev1, "fev1", "FEV1", "l"},
    {RowField::fvcex, "fvcex", "FVCEX", "l"},
    {RowField::fev1PctFvc, "fev1PctFvc", "FEV1%FVC", "%"},
    {RowField::pef, "pef", "PEF", "l/s"},
    {RowField::mef75, "mef75", "MEF75", "l/s"},
    {RowField::mef50, "mef50", "MEF50", "l/s"},
    {RowField::mef25, "mef25", "MEF25", "l/s"},
    {RowField::erv, "erv", "ERV", "l"},
    {RowField::flowAt1s, "flowAt1s", "flow at 1 s", "l/s"},
    {RowField::frc, "frc", "FRC", "l"},
    {RowField::tlc, "tlc", "TLC", "l"},
    {RowField::runStatus, "runStatus", "run status", ""},
    {RowField::fet, "fet", "FET", "s"},
    {RowField::modelVariant, "modelVariant", "model variant", ""},
}};

const char* StatusText(float status) {
    if (status == 1.0f)
        return "valid";
    if (status == 0.0f)
        return "dead (tidal inspiration failed)";
    return "error";
}

} // namespace

std::string FormatFloat(float v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
    return buffer;
}

std::string RunJson(const SimulationRecord& record, int runNumber) {
    std::string out = "{\"run\":" + std::to_string(runNumber);
    for (const FieldName& f : kFields)
        out += ",\"" + std::string(f.name) + "\":" + FormatFloat(record.field(workingRow, f.field));
    out += ",\"fvSamples\":[";
    for (int n = 1; n <= kFvSamples && record.fvVolume(workingRow, n) != 0.0f; ++n) {
        if (n > 1)
            out += ',';
        out += '[' + FormatFloat(record.fvVolume(workingRow, n)) + ',' +
               FormatFloat(record.fvFlow(workingRow, n)) + ']';
    }
    out += "],\"vtSamples\":[";
    for (int k = 1; k <= kVtSamples && record.vtTime(workingRow, k) != 0.0f; ++k) {
        if (k > 1)
            out += ',';
        out += '[' + FormatFloat(record.vtTime(workingRow, k)) + ',' +
               FormatFloat(record.vtVolume(workingRow, k)) + ']';
    }
    out += "]}\n";
    return out;
}

std::string RunTable(const SimulationRecord& record, int runNumber) {
    std::string out = "Run " + std::to_string(runNumber) + ": " +
                      StatusText(record.field(workingRow, RowField::runStatus)) + "\n";
    char line[96];
    std::snprintf(line, sizeof line, "  %-12s %10s %10s\n", "index", "result", "reference");
    out += line;
    for (const FieldName& f : kFields) {
        if (f.field == RowField::runStatus || f.field == RowField::modelVariant)
            continue;
        const double reference = record.field(referenceRow, f.field);
        const double value = record.field(workingRow, f.field);
        std::snprintf(line, sizeof line, "  %-12s %10.3f %10.3f  %s\n", f.label, value, reference,
                      f.unit);
        out += line;
    }
    return out;
}

} // namespace vm::cli

#include "cli/run_report.h"

#include "record/vocabulary.h"
#include "session/curve_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

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

// JSON has no NaN or infinities; a file from elsewhere may hold them.
std::string jsonNumber(float v) {
    return std::isfinite(v) ? formatFloat(v) : "null";
}

// [[a, b], ...] for samples 1.. up to the first whose a is 0, the curves' end mark.
template <typename First, typename Second>
std::string samplePairs(int count, First first, Second second) {
    std::string out = "[";
    for (int i = 1; i <= count && first(i) != 0.0f; ++i)
        out += std::string(i > 1 ? "," : "") + '[' + jsonNumber(first(i)) + ',' +
               jsonNumber(second(i)) + ']';
    return out + ']';
}

} // namespace

std::string indexJsonFields(const SimulationRecord& record, int row) {
    std::string out;
    for (const RowIndex& index : kRowIndices)
        out +=
            ",\"" + std::string(index.jsonKey) + "\":" + jsonNumber(record.field(row, index.field));
    return out;
}

namespace {

// The indices and samples of a row, each field led by a comma.
std::string indexAndSampleFields(const SimulationRecord& record, int row,
                                 const std::string& readingFields) {
    std::string out = indexJsonFields(record, row) + readingFields;
    out += ",\"fvSamples\":" + samplePairs(
                                   kFvSamples, [&](int n) { return record.fvVolume(row, n); },
                                   [&](int n) { return record.fvFlow(row, n); });
    out += ",\"vtSamples\":" + samplePairs(
                                   kVtSamples, [&](int k) { return record.vtTime(row, k); },
                                   [&](int k) { return record.vtVolume(row, k); });
    return out;
}

} // namespace

std::string runJson(const SimulationRecord& record, int runNumber,
                    const std::string& readingFields) {
    return "{\"run\":" + std::to_string(runNumber) +
           indexAndSampleFields(record, workingRow, readingFields) + "}\n";
}

namespace {

// {"rCentral":..,"cm":..}: the setting columns of one lung part of a row.
std::string partSettingsJson(const SimulationRecord& record, int row, int part) {
    std::string out = "{";
    for (int c = 0; c < kSettingColumns; ++c)
        out += std::string(c > 0 ? "," : "") + '"' +
               std::string(kSettingColumnNames[static_cast<std::size_t>(c)]) +
               "\":" + jsonNumber(record.partSetting(row, part, c));
    return out + '}';
}

// The name a row of the table gives global item i: its own where it has one.
std::string globalItemLabel(int i) {
    return i < static_cast<int>(kGlobalItemNames.size())
               ? std::string(kGlobalItemNames[static_cast<std::size_t>(i)])
               : "global item " + std::to_string(i);
}

} // namespace

std::string rowJson(const SimulationRecord& record, int row, const std::string& readingFields) {
    std::string out =
        "{\"row\":" + std::to_string(row) + indexAndSampleFields(record, row, readingFields);
    out += ",\"partSettings\":{";
    for (int part = 0, listed = 0; part < kParts; ++part)
        if (part != kEditedPart)
            out += std::string(listed++ > 0 ? "," : "") + '"' + std::string(kLungPartNames[part]) +
                   "\":" + partSettingsJson(record, row, part);
    out += "},\"settings\":" + partSettingsJson(record, row, kEditedPart);
    out += ",\"globalSettings\":[";
    for (int i = 0; i < kGlobalItems; ++i)
        out += std::string(i > 0 ? "," : "") + jsonNumber(record.globalSetting(row, i));
    return out + "]}\n";
}

std::string rowsTable(const SimulationRecord& record, int lastRow) {
    using Value = std::function<double(int row)>;
    std::vector<std::pair<std::string, Value>> settings;
    // The settings of both lungs and the expiratory effort always; the other parts' settings and
    // the other global items where a row moves them from 100, as a narrowed right bronchus does.
    const auto movedInSomeRow = [&](const Value& value) {
        for (int row = 0; row <= lastRow; ++row)
            if (value(row) != 100.0)
                return true;
        return false;
    };
    const auto addPart = [&](int part) {
        const std::string prefix =
            part == kEditedPart ? "" : std::string(kLungPartNames[part]) + ".";
        for (int c = 0; c < kSettingColumns; ++c) {
            Value value = [&record, part, c](int row) { return record.partSetting(row, part, c); };
            if (part == kEditedPart || movedInSomeRow(value))
                settings.emplace_back(
                    prefix + std::string(kSettingColumnNames[static_cast<std::size_t>(c)]) + " %",
                    std::move(value));
        }
    };
    addPart(kEditedPart);
    for (int part = 0; part < kParts; ++part)
        if (part != kEditedPart)
            addPart(part);
    for (int i = 0; i < kGlobalItems; ++i) {
        Value value = [&record, i](int row) { return record.globalSetting(row, i); };
        if (i == GlobalItem::expirationDepth || movedInSomeRow(value))
            settings.emplace_back(globalItemLabel(i) + " %", std::move(value));
    }
    std::size_t labelWidth = 18;
    for (const auto& setting : settings)
        labelWidth = std::max(labelWidth, setting.first.size());

    char cell[64];
    const auto line = [&](const std::string& label, const auto& value) {
        std::string out = "  " + label;
        out.resize(2 + labelWidth, ' ');
        for (int row = 0; row <= lastRow; ++row)
            out += value(row);
        return out + "\n";
    };
    const auto number = [&](double v) {
        std::snprintf(cell, sizeof cell, " %12.3f", v);
        return std::string(cell);
    };
    std::string out = line("", [&](int row) {
        const std::string name = row == 0 ? "reference" : "result " + std::to_string(row);
        std::snprintf(cell, sizeof cell, " %12s", name.c_str());
        return std::string(cell);
    });
    out += line("status", [&](int row) {
        std::snprintf(cell, sizeof cell, " %12s",
                      session::runStatusWord(record.field(row, RowField::runStatus)).c_str());
        return std::string(cell);
    });
    // A lambda takes the pair, not its structured bindings, which some compilers cannot capture.
    for (const auto& setting : settings)
        out += line(setting.first, [&](int row) { return number(setting.second(row)); });
    for (const RowIndex& index : kRowIndices) {
        if (index.kind == IndexKind::runStatus)
            continue;
        out += line(std::string(index.name) + " " + std::string(index.unit),
                    [&](int row) { return number(record.field(row, index.field)); });
    }
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
        if (index.kind != IndexKind::measured)
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

std::string readingTable(const session::CurveIndices& result,
                         const session::CurveIndices& reference,
                         const session::ResultReading* reading) {
    std::string out;
    char line[160];
    for (const session::CurveIndexInfo& info : session::kCurveIndices) {
        const auto cell = [&](const session::CurveIndices& of) {
            const session::CurveIndex& index = of.*info.member;
            char text[32];
            if (index.present())
                std::snprintf(text, sizeof text, "%10.3f", index.value);
            else
                std::snprintf(text, sizeof text, "%10s", "-");
            return std::string(text);
        };
        std::snprintf(line, sizeof line, "  %-12s %s %s  %s\n", std::string(info.name).c_str(),
                      cell(result).c_str(), cell(reference).c_str(),
                      std::string(info.unit).c_str());
        out += line;
    }
    if (reading == nullptr)
        return out;
    if (!reading->ok())
        return out + "  reading: " + reading->problem + "\n";
    std::snprintf(line, sizeof line, "  %-12s %10s %10s %10s %8s %8s\n", "", "predicted", "LLN",
                  "ULN", "z", "%pred");
    out += line;
    for (const session::PredictedIndex& index : reading->indices) {
        std::snprintf(line, sizeof line, "  %-12s %10.3f %10.3f %10.3f %8.2f %8.1f\n",
                      std::string(index.name).c_str(), index.predicted, index.lln, index.uln,
                      index.zScore, index.percentPredicted);
        out += line;
    }
    return out + "  reading: " + reading->readingText + "\n" +
           (reading->fixedRatioText.empty() ? "" : "  " + reading->fixedRatioText + "\n");
}

} // namespace vm::cli

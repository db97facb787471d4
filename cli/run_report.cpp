#include "cli/run_report.h"

#include "record/vocabulary.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

using namespace vm::record;
using vm::session::RowResult;

namespace vm::cli {

namespace {

const char* statusText(float status) {
    if (status == 1.0f)
        return "valid";
    if (status == 0.0f)
        return "dead (tidal inspiration failed)";
    return "error";
}

// An index's value with three decimals in a cell of `width`, "-" when absent.
std::string cell(const session::IndexValue& value, int width) {
    char text[48];
    if (value.present())
        std::snprintf(text, sizeof text, "%*.3f", width, value.value);
    else
        std::snprintf(text, sizeof text, "%*s", width, "-");
    return text;
}

// The name a row of the table gives global item i: its own where it has one.
std::string globalItemLabel(int i) {
    return i < static_cast<int>(kGlobalItemNames.size())
               ? std::string(kGlobalItemNames[static_cast<std::size_t>(i)])
               : "global item " + std::to_string(i);
}

} // namespace

std::string rowsTable(const std::vector<RowResult>& rows) {
    using Value = std::function<double(const RowResult& row)>;
    std::vector<std::pair<std::string, Value>> settings;
    // The settings of both lungs and the expiratory effort always; the other parts' settings and
    // the other global items where a row moves them from 100, as a narrowed right bronchus does.
    const auto movedInSomeRow = [&](const Value& value) {
        return std::ranges::any_of(rows, [&](const RowResult& row) { return value(row) != 100.0; });
    };
    const auto addPart = [&](int part) {
        const std::string prefix =
            part == kEditedPart ? "" : std::string(kLungPartNames[part]) + ".";
        for (int c = 0; c < layout::kSettingColumns; ++c) {
            Value value = [part, c](const RowResult& row) {
                return row
                    .partSettings[static_cast<std::size_t>(part)][static_cast<std::size_t>(c)];
            };
            if (part == kEditedPart || movedInSomeRow(value))
                settings.emplace_back(
                    prefix + std::string(kSettingColumnNames[static_cast<std::size_t>(c)]) + " %",
                    std::move(value));
        }
    };
    addPart(kEditedPart);
    for (int part = 0; part < layout::kParts; ++part)
        if (part != kEditedPart)
            addPart(part);
    for (int i = 0; i < layout::kGlobalItems; ++i) {
        Value value = [i](const RowResult& row) {
            return row.globalSettings[static_cast<std::size_t>(i)];
        };
        if (i == GlobalItem::expirationDepth || movedInSomeRow(value))
            settings.emplace_back(globalItemLabel(i) + " %", std::move(value));
    }
    std::size_t labelWidth = 18;
    for (const auto& setting : settings)
        labelWidth = std::max(labelWidth, setting.first.size());

    char text[64];
    const auto line = [&](const std::string& label, const auto& value) {
        std::string out = "  " + label;
        out.resize(2 + labelWidth, ' ');
        for (const RowResult& row : rows)
            out += value(row);
        return out + "\n";
    };
    std::string out = line("", [&](const RowResult& row) {
        const std::string name = row.row == 0 ? "reference" : "result " + std::to_string(row.row);
        std::snprintf(text, sizeof text, " %12s", name.c_str());
        return std::string(text);
    });
    out += line("status", [&](const RowResult& row) {
        std::snprintf(text, sizeof text, " %12s",
                      std::string(session::runStatusWord(row.runStatus)).c_str());
        return std::string(text);
    });
    // A lambda takes the pair, not its structured bindings, which some compilers cannot capture.
    for (const auto& setting : settings)
        out += line(setting.first, [&](const RowResult& row) {
            std::snprintf(text, sizeof text, " %12.3f", setting.second(row));
            return std::string(text);
        });
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        if (index.source != IndexSource::stored || index.kind == IndexKind::runStatus)
            continue;
        out += line(std::string(index.name) + " " + std::string(index.unit),
                    [&](const RowResult& row) { return " " + cell(row.indices[i], 12); });
    }
    return out;
}

std::string runTable(const RowResult& result, const RowResult& reference, int runNumber) {
    std::string out =
        "Run " + std::to_string(runNumber) + ": " + statusText(result.runStatus) + "\n";
    char line[160];
    std::snprintf(line, sizeof line, "  %-12s %10s %10s\n", "index", "result", "reference");
    out += line;
    // The status heads the table; the displayed-quantity code is no measurement.
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        if (index.source != IndexSource::stored || index.kind != IndexKind::measured)
            continue;
        std::snprintf(line, sizeof line, "  %-12s %s %s  %s\n", std::string(index.name).c_str(),
                      cell(result.indices[i], 10).c_str(), cell(reference.indices[i], 10).c_str(),
                      std::string(index.unit).c_str());
        out += line;
    }
    return out;
}

std::string readingTable(const RowResult& result, const RowResult& reference,
                         const session::ResultReading* reading) {
    std::string out;
    char line[160];
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        if (index.source != IndexSource::curve)
            continue;
        std::snprintf(line, sizeof line, "  %-12s %s %s  %s\n", std::string(index.name).c_str(),
                      cell(result.indices[i], 10).c_str(), cell(reference.indices[i], 10).c_str(),
                      std::string(index.unit).c_str());
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

#include "session/curve_export.h"

#include "model/curve_indices.h"
#include "record/file_replace.h"
#include "record/vocabulary.h"
#include "session/reading_text.h"
#include "session/session.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <span>

using namespace vm::record;

namespace vm::session {

using namespace layout;

namespace {

// Nine significant digits whatever the locale; empty for a value that is no number.
std::string csvNumber(float v) {
    if (!std::isfinite(v))
        return {};
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                                   std::chars_format::general, 9)
                         .ptr;
    return {buffer, end};
}

template <typename First, typename Second>
std::string curveCsv(const char* header, int resultCount, int samples, First first, Second second) {
    std::string out = header;
    for (int row = 0; row <= resultCount; ++row)
        for (int i = 1; i <= samples && first(row, i) != 0.0f; ++i)
            out += std::to_string(row) + ',' + std::to_string(i) + ',' + csvNumber(first(row, i)) +
                   ',' + csvNumber(second(row, i)) + '\n';
    return out;
}

// "fev1 [l]"; an index without a unit goes by its key alone.
std::string indexHeader(const RowIndex& index) {
    std::string unit(index.unit);
    while (!unit.empty() && unit.back() == ' ')
        unit.pop_back();
    return std::string(index.jsonKey) + (unit.empty() ? "" : " [" + unit + "]");
}

} // namespace

std::string FlowVolumeCsv(const SimulationRecord& record, int resultCount) {
    return curveCsv(
        "row,sample,volume [l],flow [l/s]\n", resultCount, kFvSamples,
        [&](int row, int n) { return record.fvVolume(row, n); },
        [&](int row, int n) { return record.fvFlow(row, n); });
}

std::string VolumeTimeCsv(const SimulationRecord& record, int resultCount) {
    return curveCsv(
        "row,sample,time [s],volume [l]\n", resultCount, kVtSamples,
        [&](int row, int k) { return record.vtTime(row, k); },
        [&](int row, int k) { return record.vtVolume(row, k); });
}

std::string ResultsCsv(const SimulationRecord& record, int resultCount) {
    std::string out = "row,status";
    for (const std::string_view name : kSettingColumnNames)
        out += ',' + std::string(name) + " [%]";
    out += ",expirationDepth [%]";
    for (const RowIndex& index : kRowIndices)
        out += ',' + indexHeader(index);
    out += curveIndexCsvHeader() + '\n';
    for (int row = 0; row <= resultCount; ++row) {
        out += std::to_string(row) + ',' + runStatusWord(record.field(row, RowField::runStatus));
        for (int c = 0; c < kSettingColumns; ++c)
            out += ',' + csvNumber(record.partSetting(row, kEditedPart, c));
        out += ',' + csvNumber(record.globalSetting(row, GlobalItem::expirationDepth));
        for (const RowIndex& index : kRowIndices)
            out += ',' + csvNumber(record.field(row, index.field));
        out += curveIndexCsvCells(model::computeCurveIndices(record, row)) + '\n';
    }
    return out;
}

std::string ResultsCsv(const Session& session, bool withPredicted) {
    const std::string plain = ResultsCsv(session.record(), session.state().resultCount);
    if (!withPredicted)
        return plain;
    std::string out;
    int row = -1; // the header first
    for (std::size_t begin = 0, end; (end = plain.find('\n', begin)) != std::string::npos;
         begin = end + 1, ++row)
        out += plain.substr(begin, end - begin) +
               (row < 0 ? predictedCsvHeader() : predictedCsvCells(session.readResult(row))) + '\n';
    return out;
}

std::string runStatusWord(float status) {
    return status == 1.0f ? "valid" : status == 0.0f ? "dead" : "error";
}

std::string WriteTextFile(const std::filesystem::path& path, const std::string& text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return replaceFileContents(path, std::span(bytes, text.size())).message;
}

} // namespace vm::session

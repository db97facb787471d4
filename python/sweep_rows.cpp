#include "python/sweep_rows.h"

#include "record/vocabulary.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace vm::python {

namespace {

enum class ColumnKind { point, storedIndex, other };

ColumnKind kindOf(std::string_view column) {
    if (column == "point")
        return ColumnKind::point;
    const bool stored = std::any_of(record::kRowIndices.begin(), record::kRowIndices.end(),
                                    [&](const record::RowIndex& i) { return i.jsonKey == column; });
    return stored ? ColumnKind::storedIndex : ColumnKind::other;
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = line.find(',', begin);
        fields.push_back(line.substr(begin, comma - begin));
        if (comma == std::string_view::npos)
            return fields;
        begin = comma + 1;
    }
}

// The whole field as a number, nothing left over.
template <typename Number> bool readNumber(std::string_view field, Number& value) {
    const auto [ptr, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && ptr == field.data() + field.size() && !field.empty();
}

bool readCell(std::string_view field, ColumnKind kind, SweepCell& cell) {
    if (kind == ColumnKind::point) {
        std::size_t point = 0;
        if (!readNumber(field, point))
            return false;
        cell = point;
        return true;
    }
    if (field.empty()) {
        cell = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (kind == ColumnKind::storedIndex) {
        float value = 0;
        if (!readNumber(field, value))
            return false;
        cell = static_cast<double>(value);
        return true;
    }
    double value = 0;
    if (readNumber(field, value))
        cell = value;
    else
        cell = std::string(field);
    return true;
}

} // namespace

std::string readSweepTable(std::string_view csv, SweepTable& table) {
    table = {};
    std::vector<ColumnKind> kinds;
    for (std::size_t begin = 0; begin < csv.size();) {
        std::size_t end = csv.find('\n', begin);
        if (end == std::string_view::npos)
            end = csv.size();
        const std::string_view line = csv.substr(begin, end - begin);
        begin = end + 1;
        if (line.empty() || line.starts_with('#'))
            continue;
        const std::vector<std::string_view> fields = fieldsOf(line);
        if (kinds.empty()) {
            for (const std::string_view column : fields) {
                table.columns.emplace_back(column);
                kinds.push_back(kindOf(column));
            }
            continue;
        }
        std::vector<SweepCell> row(fields.size());
        bool read = fields.size() == kinds.size();
        for (std::size_t c = 0; read && c < fields.size(); ++c)
            read = readCell(fields[c], kinds[c], row[c]);
        if (!read)
            return "a sweep line that does not read: " + std::string(line.substr(0, 80));
        table.rows.push_back(std::move(row));
    }
    return {};
}

} // namespace vm::python

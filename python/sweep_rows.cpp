#include "python/sweep_rows.h"

#include "record/vocabulary.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vm::python {

namespace {

// One field, nothing left over; an empty field is no value.
template <typename Number> bool readNumber(std::string_view field, Number& value) {
    if (field.empty()) {
        value = std::numeric_limits<Number>::quiet_NaN();
        return true;
    }
    const auto [ptr, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    return error == std::errc() && ptr == field.data() + field.size();
}

bool readRow(std::string_view line, std::size_t axisCount, SweepRow& row) {
    std::vector<std::string_view> fields;
    for (std::size_t begin = 0;;) {
        const std::size_t comma = line.find(',', begin);
        fields.push_back(line.substr(begin, comma - begin));
        if (comma == std::string_view::npos)
            break;
        begin = comma + 1;
    }
    if (fields.size() != 2 + axisCount + record::kRowIndices.size())
        return false;
    const std::string_view point = fields[0];
    if (std::from_chars(point.data(), point.data() + point.size(), row.point).ptr !=
        point.data() + point.size())
        return false;
    row.percents.resize(axisCount);
    for (std::size_t a = 0; a < axisCount; ++a)
        if (!readNumber(fields[1 + a], row.percents[a]) || std::isnan(row.percents[a]))
            return false;
    row.status = fields[1 + axisCount];
    row.indices.resize(record::kRowIndices.size());
    for (std::size_t i = 0; i < row.indices.size(); ++i) {
        float value = 0;
        if (!readNumber(fields[2 + axisCount + i], value))
            return false;
        row.indices[i] = value;
    }
    return true;
}

} // namespace

std::string readSweepRows(std::string_view csv, std::size_t axisCount,
                          std::vector<SweepRow>& rows) {
    rows.clear();
    for (std::size_t begin = 0; begin < csv.size();) {
        std::size_t end = csv.find('\n', begin);
        if (end == std::string_view::npos)
            end = csv.size();
        const std::string_view line = csv.substr(begin, end - begin);
        begin = end + 1;
        if (line.empty() || line.starts_with('#') || line.starts_with("point,"))
            continue;
        SweepRow row;
        if (!readRow(line, axisCount, row))
            return "a sweep line that does not read: " + std::string(line.substr(0, 80));
        rows.push_back(std::move(row));
    }
    return {};
}

} // namespace vm::python

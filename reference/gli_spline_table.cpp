#include "reference/gli_spline_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace vm::reference {

namespace {

constexpr std::string_view kHeader = "sex,index,age,m_spline,s_spline";
constexpr int kFields = 5;
// A hostile field is quoted only this far into the message.
constexpr std::size_t kQuotedFieldChars = 40;

std::string quoted(std::string_view field) {
    if (field.size() > kQuotedFieldChars)
        return "\"" + std::string(field.substr(0, kQuotedFieldChars)) + "...\"";
    return "\"" + std::string(field) + "\"";
}

std::string number(double v) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, v).ptr;
    return std::string(text, end);
}

// The whole field must be a plain finite decimal number.
std::optional<double> parseNumber(std::string_view field) {
    double v = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || error != std::errc{} || end != field.data() + field.size() ||
        !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<Sex> parseSex(std::string_view field) {
    for (Sex sex : {Sex::male, Sex::female})
        if (field == sexName(sex))
            return sex;
    return std::nullopt;
}

std::optional<ReferenceIndex> parseIndex(std::string_view field) {
    for (ReferenceIndex index :
         {ReferenceIndex::fev1, ReferenceIndex::fvc, ReferenceIndex::fev1Fvc})
        if (field == indexName(index))
            return index;
    return std::nullopt;
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(separator, from);
        parts.push_back(line.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

record::FileResult lineFailure(int line, const std::string& what) {
    return record::FileResult::failure("line " + std::to_string(line) + ": " + what);
}

} // namespace

SplineTerms GliSplineTable::at(Sex sex, ReferenceIndex index, double age_years) const {
    const Column& column = terms_[static_cast<std::size_t>(sex)][static_cast<std::size_t>(index)];
    const double steps = (age_years - kFirstTabulatedAge_years) / kAgeStep_years;
    // At 95 years the pair is the last two ages, with all the weight on the last.
    const int below = std::clamp(static_cast<int>(std::floor(steps)), 0, kTabulatedAges - 2);
    const double weight = steps - below;
    const SplineTerms& lo = column[static_cast<std::size_t>(below)];
    const SplineTerms& hi = column[static_cast<std::size_t>(below + 1)];
    return {lo.m + weight * (hi.m - lo.m), lo.s + weight * (hi.s - lo.s)};
}

record::FileResult parseGliSplineTable(std::string_view text, GliSplineTable& table) {
    if (text.empty())
        return record::FileResult::failure("the table is empty");
    GliSplineTable parsed;
    std::array<std::array<int, kReferenceIndexCount>, 2> filled{};
    std::vector<std::string_view> lines = split(text, '\n');
    // A last line end is usual; the empty piece after it is no line.
    if (lines.size() > 1 && lines.back().empty())
        lines.pop_back();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        std::string_view line = lines[i];
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (i == 0) {
            if (line != kHeader)
                return lineFailure(1, "the header is not \"" + std::string(kHeader) + "\"");
            continue;
        }
        const std::vector<std::string_view> fields = split(line, ',');
        if (fields.size() != kFields)
            return lineFailure(lineNumber, std::to_string(fields.size()) +
                                               (fields.size() == 1 ? " field" : " fields") +
                                               " where the table has " + std::to_string(kFields));
        const std::optional<Sex> sex = parseSex(fields[0]);
        if (!sex)
            return lineFailure(lineNumber, "the sex " + quoted(fields[0]) +
                                               " is neither \"male\" nor \"female\"");
        const std::optional<ReferenceIndex> index = parseIndex(fields[1]);
        if (!index)
            return lineFailure(lineNumber,
                               "the index " + quoted(fields[1]) + " is not FEV1, FVC or FEV1FVC");
        std::optional<double> values[3];
        for (int f = 0; f < 3; ++f) {
            values[f] = parseNumber(fields[static_cast<std::size_t>(f) + 2]);
            if (!values[f])
                return lineFailure(lineNumber, quoted(fields[static_cast<std::size_t>(f) + 2]) +
                                                   " is not a finite number");
        }
        int& count = filled[static_cast<std::size_t>(*sex)][static_cast<std::size_t>(*index)];
        const std::string group = std::string(sexName(*sex)) + " " + std::string(indexName(*index));
        if (count == kTabulatedAges)
            return lineFailure(lineNumber, group + " has more than " +
                                               std::to_string(kTabulatedAges) + " ages");
        // Quarter years are exact in binary, so the ages compare exactly.
        const double expectedAge = kFirstTabulatedAge_years + kAgeStep_years * count;
        if (*values[0] != expectedAge)
            return lineFailure(lineNumber, "the age " + number(*values[0]) + " of " + group +
                                               " is out of order: the table needs " +
                                               number(expectedAge) + " here");
        for (int f = 1; f < 3; ++f)
            if (std::fabs(*values[f]) > kLargestSplineTerm)
                return lineFailure(lineNumber, "the spline term " + number(*values[f]) +
                                                   " is beyond +-" + number(kLargestSplineTerm));
        parsed.terms_[static_cast<std::size_t>(*sex)][static_cast<std::size_t>(*index)]
                     [static_cast<std::size_t>(count)] = {*values[1], *values[2]};
        ++count;
    }
    for (Sex sex : {Sex::male, Sex::female})
        for (ReferenceIndex index :
             {ReferenceIndex::fev1, ReferenceIndex::fvc, ReferenceIndex::fev1Fvc}) {
            const int count =
                filled[static_cast<std::size_t>(sex)][static_cast<std::size_t>(index)];
            if (count != kTabulatedAges)
                return record::FileResult::failure(
                    std::string(sexName(sex)) + " " + std::string(indexName(index)) + " has " +
                    std::to_string(count) + " of its " + std::to_string(kTabulatedAges) +
                    " ages (3 to 95 years)");
        }
    table = parsed;
    return record::FileResult::success();
}

record::FileResult loadGliSplineTable(const std::filesystem::path& path, GliSplineTable& table) {
    std::vector<std::uint8_t> bytes;
    record::FileResult read = record::readDataFile(path, bytes, kGliSplineFileMaxBytes);
    if (!read.ok)
        return read;
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    record::FileResult parsed = parseGliSplineTable(text, table);
    if (!parsed.ok)
        parsed.message = path.string() + " " + parsed.message;
    return parsed;
}

} // namespace vm::reference

#include "cli/merge.h"

#include "cli/json_value.h"
#include "cli/sweep_shards.h"
#include "session/batch_csv.h"
#include "session/batch_result.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <deque>
#include <fstream>
#include <optional>

using namespace vm::record;

namespace vm::cli {

namespace {

// "# shard K/N of P points, grid HEX" is under 80 bytes.
constexpr std::size_t kMaxHeadingBytes = 256;
// A number as a sweep writes it takes at most 24 characters.
constexpr std::size_t kMaxNumberBytes = 40;

std::string shardName(const SweepShard& shard) {
    return std::to_string(shard.index) + '/' + std::to_string(shard.count);
}

std::vector<std::string> toStrings(const std::vector<std::string_view>& pieces) {
    return {pieces.begin(), pieces.end()};
}

enum class LineEnd { newline, endOfInput, cut, tooLong, unreadable };

// The next line of in without its line end, of at most buffer.size() - 1 bytes. Every line a
// sweep writes ends in a line end, so one that the input ends in without it was cut short, as a
// full disk or a job killed midway leaves it.
LineEnd readLine(std::istream& in, std::vector<char>& buffer, std::string& line) {
    in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto count = static_cast<std::size_t>(in.gcount());
    if (in.bad())
        return LineEnd::unreadable;
    if (in.eof())
        return count == 0 ? LineEnd::endOfInput : LineEnd::cut;
    if (in.fail())
        return LineEnd::tooLong;
    line.assign(buffer.data(), count - 1);
    return LineEnd::newline;
}

// A number as the sweep writes one: it reads whole and is finite.
bool isNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && text.size() <= kMaxNumberBytes && error == std::errc() &&
           end == text.data() + text.size() && std::isfinite(value);
}

// A point number as the sweep writes it, without a sign or leading zeros.
std::optional<std::size_t> pointNumber(std::string_view text) {
    std::size_t point = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), point);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() ||
        text != std::to_string(point))
        return std::nullopt;
    return point;
}

// The words a sweep writes in a column of words: the statuses, and a reading's keys.
using Words = std::vector<std::string>;
const Words& statusWords() {
    static const Words words = {std::string(session::runStatusWord(1.0f)),
                                std::string(session::runStatusWord(0.0f)),
                                std::string(session::runStatusWord(-1.0f))};
    return words;
}
// Every key of an enumeration's values, which start at 0; past the last one a key is empty.
template <typename Enum> Words keysOf(std::string_view (*key)(Enum)) {
    Words words;
    for (int k = 0; !key(static_cast<Enum>(k)).empty(); ++k)
        words.emplace_back(key(static_cast<Enum>(k)));
    return words;
}
const Words* readingWords(std::string_view column) {
    static const Words patterns = keysOf(&reference::patternKey);
    static const Words severities = keysOf(&reference::severityKey);
    static const Words verdicts = keysOf(&reference::fixedRatioKey);
    static const Words origins = keysOf(&session::patientOriginKey);
    static const Words sexes = {std::string(reference::sexName(reference::Sex::male)),
                                std::string(reference::sexName(reference::Sex::female))};
    return column == "pattern"         ? &patterns
           : column == "severity"      ? &severities
           : column == "fixedRatio070" ? &verdicts
           : column == "patientOrigin" ? &origins
           : column == "patientSex"    ? &sexes
                                       : nullptr;
}
bool isOneOf(const std::string& word, const Words& words) {
    return std::ranges::find(words, word) != words.end();
}

// What each cell of a line of a sweep's CSV holds, from its header: the point, a swept setting,
// the status, a number (empty where a result gives none) or one of a reading's words (empty where
// it cannot be read).
struct CsvColumn {
    enum class Kind { point, setting, status, number, word };
    Kind kind = Kind::number;
    const Words* words = nullptr;
};

// The names after "status" in a sweep's header: the indices and the reading's columns, with a
// patient's or without.
const std::vector<std::string>& columnsAfterStatus(bool withPatient) {
    const auto names = [](bool patient) {
        std::vector<std::string> all = session::sweepColumns({}, patient);
        all.erase(all.begin(), all.begin() + 2); // point and status
        return all;
    };
    static const std::vector<std::string> without = names(false);
    static const std::vector<std::string> with = names(true);
    return withPatient ? with : without;
}

// The columns of a header as a sweep writes it: point, the swept settings, status, then the
// indices and the reading's columns; none for any other header.
std::optional<std::vector<CsvColumn>> csvColumns(const std::string& header) {
    const std::vector<std::string> names = toStrings(session::splitAt(header, ','));
    const auto status = std::ranges::find(names, "status");
    if (names[0] != "point" || status == names.end() || status - names.begin() < 2)
        return std::nullopt;
    std::vector<CsvColumn> columns{{CsvColumn::Kind::point}};
    for (auto name = names.begin() + 1; name != status; ++name) {
        if (name->empty() || name->find_first_of("\"\r") != std::string::npos)
            return std::nullopt;
        columns.push_back({CsvColumn::Kind::setting});
    }
    columns.push_back({CsvColumn::Kind::status, &statusWords()});
    const std::vector<std::string> rest(status + 1, names.end());
    if (rest != columnsAfterStatus(false) && rest != columnsAfterStatus(true))
        return std::nullopt;
    for (const std::string& name : rest) {
        const Words* words = readingWords(name);
        columns.push_back({words ? CsvColumn::Kind::word : CsvColumn::Kind::number, words});
    }
    return columns;
}

// Why a CSV line is not one a sweep writes under these columns; empty when it is one.
std::string csvLineProblem(const std::string& line, const std::vector<CsvColumn>& columns,
                           std::size_t& point) {
    const std::vector<std::string> cells = toStrings(session::splitAt(line, ','));
    if (cells.size() != columns.size())
        return "it has " + std::to_string(cells.size()) + " fields where the header names " +
               std::to_string(columns.size());
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const std::string& cell = cells[c];
        const CsvColumn& column = columns[c];
        bool fits = false;
        switch (column.kind) {
        case CsvColumn::Kind::point:
            if (const auto number = pointNumber(cell)) {
                point = *number;
                fits = true;
            }
            break;
        case CsvColumn::Kind::setting:
            fits = isNumber(cell);
            break;
        case CsvColumn::Kind::status:
            fits = isOneOf(cell, *column.words);
            break;
        case CsvColumn::Kind::number:
            fits = cell.empty() || isNumber(cell);
            break;
        case CsvColumn::Kind::word:
            fits = cell.empty() || isOneOf(cell, *column.words);
            break;
        }
        if (!fits)
            return "field " + std::to_string(c + 1) + " '" + cell.substr(0, 40) + "' is not " +
                   (column.kind == CsvColumn::Kind::point     ? "a point number"
                    : column.kind == CsvColumn::Kind::setting ? "a setting's percentage"
                    : column.kind == CsvColumn::Kind::status  ? "a run's status"
                    : column.kind == CsvColumn::Kind::word    ? "a word of the reading"
                                                              : "a number");
    }
    return {};
}

// The members of a sweep's JSON line, in order: the point, its settings, the status, the indices
// and the reason for each empty one, then with a patient the patient and the reading.
const std::vector<std::string>& jsonMembers(bool withPatient) {
    const auto names = [](bool patient) {
        std::vector<std::string> all = {"point", "settings", "status"};
        for (const SpirometricIndex& index : kIndices)
            all.emplace_back(index.jsonKey);
        all.emplace_back("emptyIndices");
        if (patient) {
            all.emplace_back("patient");
            all.emplace_back("predicted");
        }
        return all;
    };
    static const std::vector<std::string> without = names(false);
    static const std::vector<std::string> with = names(true);
    return withPatient ? with : without;
}

using JsonKind = JsonValue::Kind;

bool isNumberOrNull(const JsonValue& value) {
    return value.kind == JsonKind::null || (value.kind == JsonKind::number && isNumber(value.text));
}

// What the lines of one sweep share: the swept settings by name, and whether a patient is read.
struct JsonLineShape {
    std::vector<std::string> settings;
    bool patient = false;
};

// Why a JSON line is not one a sweep writes; empty when it is one. The first line read sets the
// shape every later one must have.
std::string jsonLineProblem(const std::string& line, std::optional<JsonLineShape>& shape,
                            std::size_t& point) {
    const std::optional<JsonValue> value = parseJson(line);
    if (!value || value->kind != JsonKind::object)
        return "it is not one whole JSON object";
    const auto& members = value->members;
    std::vector<std::string> names;
    for (const auto& member : members)
        names.push_back(member.name);
    const bool patient = names == jsonMembers(true);
    if (!patient && names != jsonMembers(false))
        return "its fields are not a sweep's";
    const std::optional<std::size_t> number = members[0].value.kind == JsonKind::number
                                                  ? pointNumber(members[0].value.text)
                                                  : std::nullopt;
    if (!number)
        return "its point is not a point number";
    point = *number;
    JsonLineShape own{{}, patient};
    for (const auto& [name, setting] : members[1].value.members) {
        if (setting.kind != JsonKind::number || !isNumber(setting.text))
            return "its setting " + name.substr(0, 40) + " is not a percentage";
        own.settings.push_back(name);
    }
    if (members[1].value.kind != JsonKind::object || own.settings.empty())
        return "its settings are not a sweep's";
    if (members[2].value.kind != JsonKind::string || !isOneOf(members[2].value.text, statusWords()))
        return "its status is not a run's status";
    const std::size_t reasons = 3 + kIndices.size();
    for (std::size_t m = 3; m < reasons; ++m)
        if (!isNumberOrNull(members[m].value))
            return "its " + members[m].name + " is not a number";
    for (const auto& [name, reason] : members[reasons].value.members)
        if (reason.kind != JsonKind::string)
            return "its reason for an empty " + name.substr(0, 40) + " is not a text";
    for (std::size_t m = reasons; m < members.size(); ++m)
        if (members[m].value.kind != JsonKind::object)
            return "its " + members[m].name + " is not an object";
    if (!shape)
        shape = own;
    if (own.settings != shape->settings || own.patient != shape->patient)
        return "its settings or patient are not those of the sweep's first line";
    return {};
}

// One shard file as read so far: its heading, the columns its lines must have, and the grid's
// lines it holds.
struct ShardFile {
    std::string name;
    ShardHeading heading;
    std::string csvHeader; // empty for JSON lines
};

// Every file of the same sweep as the first.
std::string checkSameSweep(const ShardFile& first, const ShardFile& file) {
    const ShardHeading& a = first.heading;
    const ShardHeading& b = file.heading;
    std::string differs;
    if (a.json != b.json)
        differs = "one is JSON, the other CSV";
    else if (a.shard.count != b.shard.count)
        differs = "cut into " + std::to_string(b.shard.count) + " shards, not " +
                  std::to_string(a.shard.count);
    else if (a.gridPoints != b.gridPoints || a.grid != b.grid || first.csvHeader != file.csvHeader)
        differs = "another grid, other fixed settings or another reference";
    return differs.empty() ? std::string()
                           : file.name + " is a shard of another sweep than " + first.name + " (" +
                                 differs + ")";
}

std::string lineEndProblem(LineEnd end, const std::string& name, std::size_t lineNumber) {
    const std::string where = name + " line " + std::to_string(lineNumber);
    switch (end) {
    case LineEnd::cut:
        return where + " is cut short: the file ends without a line end";
    case LineEnd::tooLong:
        return where + " is no line of a sweep: longer than " + std::to_string(kMaxShardLineBytes) +
               " bytes";
    case LineEnd::unreadable:
        return "cannot read " + name + ": " + std::strerror(errno);
    default:
        return {};
    }
}

// The sweep the shards belong to, and each point's line once read.
class Merge {
  public:
    std::string read(const ShardInput& input) {
        ShardFile file{input.name, {}, {}};
        std::istream& in = *input.in;
        std::string line;
        std::vector<char> buffer(kMaxHeadingBytes + 1);
        LineEnd end = readLine(in, buffer, line);
        std::optional<ShardHeading> heading;
        if (end == LineEnd::newline)
            heading = readShardHeading(line);
        if (end == LineEnd::unreadable)
            return lineEndProblem(end, input.name, 1);
        if (!heading || heading->gridPoints > session::kMaxSweepPoints)
            return input.name +
                   " is no shard of a sweep: its first line is not what sweep --shard K/N writes";
        file.heading = *heading;
        buffer.resize(kMaxShardLineBytes + 1);
        std::size_t lineNumber = 2;
        if (!heading->json) {
            end = readLine(in, buffer, file.csvHeader);
            if (end != LineEnd::newline || !csvColumns(file.csvHeader))
                return input.name + " has no sweep's CSV header after its shard line";
            ++lineNumber;
        }
        if (files_.empty())
            start(file);
        else if (std::string problem = checkSameSweep(files_.front(), file); !problem.empty())
            return problem;
        files_.push_back(file);
        if (std::string problem = takeShard(file); !problem.empty())
            return problem;
        for (; (end = readLine(in, buffer, line)) == LineEnd::newline; ++lineNumber)
            if (std::string problem = takeLine(file, lineNumber, line); !problem.empty())
                return problem;
        return lineEndProblem(end, input.name, lineNumber);
    }

    // Every point there once; then the lines in the grid's order.
    std::string write(std::ostream& out) const {
        const ShardHeading& sweep = files_.front().heading;
        for (std::size_t p = 0; p < sweep.gridPoints; ++p) {
            if (pointFile_[p])
                continue;
            const SweepShard shard{
                static_cast<int>(p % static_cast<std::size_t>(sweep.shard.count)) + 1,
                sweep.shard.count};
            const ShardFile* file = shardFile_[static_cast<std::size_t>(shard.index - 1)];
            return file ? "point " + std::to_string(p) + " is missing from " + file->name +
                              " (shard " + shardName(shard) + ")"
                        : "shard " + shardName(shard) + " is missing (its first point is " +
                              std::to_string(p) + ")";
        }
        if (!sweep.json)
            out << files_.front().csvHeader << '\n';
        for (const std::string& line : pointLines_)
            out << line << '\n';
        out.flush();
        return out ? std::string() : "cannot write the merged lines";
    }

  private:
    void start(const ShardFile& first) {
        if (!first.heading.json)
            columns_ = *csvColumns(first.csvHeader);
        pointLines_.resize(first.heading.gridPoints);
        pointFile_.resize(first.heading.gridPoints);
        shardFile_.resize(static_cast<std::size_t>(first.heading.shard.count));
    }

    std::string takeShard(const ShardFile& file) {
        const SweepShard shard = file.heading.shard;
        const ShardFile*& earlier = shardFile_[static_cast<std::size_t>(shard.index - 1)];
        if (earlier)
            return "shard " + shardName(shard) + " is given twice: " + earlier->name + " and " +
                   file.name;
        earlier = &files_.back();
        return {};
    }

    std::string takeLine(const ShardFile& file, std::size_t lineNumber, std::string& line) {
        std::size_t point = 0;
        std::string problem;
        if (line.find('\r') != std::string::npos)
            problem = "it ends in a carriage return (Windows line ends)";
        else if (file.heading.json)
            problem = jsonLineProblem(line, jsonShape_, point);
        else
            problem = csvLineProblem(line, columns_, point);
        if (!problem.empty())
            return file.name + " line " + std::to_string(lineNumber) +
                   " is no point of a sweep: " + problem;
        const SweepShard shard = file.heading.shard;
        const std::string name = "point " + std::to_string(point);
        if (point >= pointLines_.size())
            return name + " in " + file.name + " is outside the grid of " +
                   std::to_string(pointLines_.size()) + " points";
        if (point % static_cast<std::size_t>(shard.count) !=
            static_cast<std::size_t>(shard.index - 1))
            return name + " in " + file.name + " is no point of shard " + shardName(shard);
        if (pointFile_[point])
            return name + " is repeated in " + file.name;
        pointFile_[point] = &files_.back();
        pointLines_[point] = std::move(line);
        return {};
    }

    // A deque keeps the files where the pointers to them point.
    std::deque<ShardFile> files_;
    std::vector<CsvColumn> columns_;
    std::optional<JsonLineShape> jsonShape_;
    std::vector<std::string> pointLines_;
    std::vector<const ShardFile*> pointFile_;
    std::vector<const ShardFile*> shardFile_;
};

} // namespace

CliParseResult parseMergeCommand(const std::vector<std::string>& args) {
    CliParseResult r;
    r.options.command = CliCommand::merge;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i].empty() || args[i].starts_with("-")) {
            r.message = "merge takes only shard FILEs, got '" + args[i] + "'";
            return r;
        }
        r.options.mergeFiles.push_back(args[i]);
    }
    if (r.options.mergeFiles.empty()) {
        r.message = "merge needs the FILEs of a sweep's shards";
        return r;
    }
    r.ok = true;
    return r;
}

std::string MergeShardInputs(const std::vector<ShardInput>& shards, std::ostream& out) {
    Merge merge;
    for (const ShardInput& shard : shards)
        if (std::string problem = merge.read(shard); !problem.empty())
            return problem;
    return merge.write(out);
}

std::string MergeShards(const std::vector<std::string>& names, std::ostream& out) {
    Merge merge;
    for (const std::string& name : names) {
        // One file open at a time: a merge of thousands of shards stays within the open files
        // allowed.
        std::ifstream in(name, std::ios::binary);
        if (!in)
            return "cannot read " + name + ": " + std::strerror(errno);
        if (std::string problem = merge.read({name, &in}); !problem.empty())
            return problem;
    }
    return merge.write(out);
}

} // namespace vm::cli

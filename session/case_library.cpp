#include "session/case_library.h"

#include "data/text_encoding.h"
#include "reference/gli_global_2022.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

using namespace vm::record;

namespace vm::session {

namespace {

constexpr std::array<std::string_view, kCasePatternCount> kPatternKeys{
    "normal", "obstruction", "restriction", "mixed", "upperAirway", "poorTechnique"};
constexpr std::array<std::string_view, kCasePatternCount> kPatternTexts{
    "wynik prawidłowy",
    "obturacja",
    "restrykcja",
    "zaburzenia mieszane (obturacja z restrykcją)",
    "obturacja dużych (górnych) dróg oddechowych",
    "słaby wysiłek lub błąd techniki"};

// The global items the model reads; the others are stored but change nothing.
constexpr int kReadGlobalItems = record::GlobalItem::endFlowThreshold + 1;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> out;
    while (true) {
        s = trimmed(s);
        if (s.empty())
            return out;
        const auto end = std::min(s.find(' '), s.size());
        out.push_back(s.substr(0, end));
        s.remove_prefix(end);
    }
}

// A whole string as a finite decimal number, in the C locale whatever the user's is.
std::optional<double> number(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> percent(std::string_view text) {
    const auto value = number(text);
    if (!value || *value < kLowestUsableSetting || *value > kHighestUsableSetting)
        return std::nullopt;
    return value;
}

constexpr std::string_view kMinusSign = "\u2212";

bool allDigits(std::string_view s) {
    return !s.empty() && std::ranges::all_of(s, [](char c) { return c >= '0' && c <= '9'; });
}

// A number as the case texts write one: an optional sign (the minus sign "−" or "+"), digits and
// optionally a decimal comma with more digits.
bool isShownNumber(std::string_view s) {
    if (s.starts_with(kMinusSign))
        s.remove_prefix(kMinusSign.size());
    else if (s.starts_with('+'))
        s.remove_prefix(1);
    const auto comma = s.find(',');
    if (comma == std::string_view::npos)
        return allDigits(s);
    return allDigits(s.substr(0, comma)) && allDigits(s.substr(comma + 1));
}

std::optional<int> recordRowNamed(std::string_view s) {
    if (s.size() != 1 || s[0] < '0' || s[0] > '3')
        return std::nullopt;
    return s[0] - '0';
}

std::string kindKeys() {
    std::string keys;
    for (const FigureKindInfo& info : kFigureKinds)
        keys += (keys.empty() ? "" : ", ") + std::string(info.key);
    return keys;
}

// Where the index of a figure of this kind is found, and its line there.
bool resolveIndex(const FigureKindInfo& kind, std::string_view key, CaseFigure& figure) {
    const auto slot = [](const auto& table, std::string_view name) -> std::optional<std::size_t> {
        const auto found = std::ranges::find(
            table, name, [](const auto& line) { return std::string_view(line.jsonKey); });
        if (found == table.end())
            return std::nullopt;
        return static_cast<std::size_t>(found - table.begin());
    };
    if (kind.ofReading) {
        figure.source = FigureSource::reading;
        const auto found = slot(kPredictedIndices, key);
        figure.slot = found.value_or(0);
        return found.has_value();
    }
    const auto found = slot(record::kIndices, key);
    figure.slot = found.value_or(0);
    figure.source = record::kIndices[figure.slot].source == record::IndexSource::stored
                        ? FigureSource::stored
                        : FigureSource::curve;
    return found.has_value();
}

// One figure's inside, ROW.INDEX.KIND|SHOWN; empty on success, else what is wrong.
std::string readFigure(std::string_view inside, CaseFigure& figure) {
    const auto bar = inside.find('|');
    if (bar == std::string_view::npos)
        return "a figure is {ROW.INDEX.KIND|SHOWN}";
    const std::string_view what = inside.substr(0, bar);
    const auto firstDot = what.find('.');
    const auto lastDot = what.rfind('.');
    if (firstDot == std::string_view::npos || firstDot == lastDot ||
        what.substr(firstDot + 1, lastDot - firstDot - 1).find('.') != std::string_view::npos)
        return "a figure is {ROW.INDEX.KIND|SHOWN}";
    const std::string_view rows = what.substr(0, firstDot);
    const std::string_view index = what.substr(firstDot + 1, lastDot - firstDot - 1);
    const std::string_view kindKey = what.substr(lastDot + 1);

    const auto dash = rows.find('-');
    const auto row = recordRowNamed(rows.substr(0, dash));
    const auto from = dash == std::string_view::npos ? std::optional<int>(-1)
                                                     : recordRowNamed(rows.substr(dash + 1));
    if (!row || !from || *row == *from)
        return "a figure's row is 0..3, or N-M for the change from row M to row N, not \"" +
               std::string(rows) + "\"";
    figure.row = *row;
    figure.fromRow = *from;

    const auto kind = std::ranges::find(kFigureKinds, kindKey, &FigureKindInfo::key);
    if (kind == kFigureKinds.end())
        return "unknown kind of figure \"" + std::string(kindKey) + "\" (" + kindKeys() + ")";
    figure.kind = kind->kind;
    if (figure.fromRow < 0 && !kind->ofOneRow)
        return "\"" + std::string(kindKey) + "\" is a change between two rows, N-M";
    if (figure.fromRow >= 0 && !kind->ofChange)
        return "\"" + std::string(kindKey) + "\" has no change between two rows";
    if (!resolveIndex(*kind, index, figure))
        return "no index \"" + std::string(index) + "\" for \"" + std::string(kindKey) + "\"" +
               (kind->ofReading ? " (fev1, fvc, fev1PctFvc)" : " (the runner's JSON keys)");
    figure.index = index;

    const std::string_view shown = inside.substr(bar + 1);
    if (!isShownNumber(shown))
        return "a figure shows a number like −1,95, +1,76 or 13, not \"" + std::string(shown) +
               "\"";
    figure.shown = shown;
    return {};
}

bool isIdentifier(std::string_view id) {
    return !id.empty() && id.size() <= 64 && std::ranges::all_of(id, [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// The case being read and where it stands, so that each line is checked in its place.
class CaseReader {
  public:
    // Empty on success, else what is wrong with the line.
    std::string line(std::string_view text);
    std::string finish();
    CaseLibrary library;

    std::size_t lineNumber = 0; // of the line being read

  private:
    std::string keyValue(std::string_view key, std::string_view value);
    std::string setTextWithFigures(std::string& field, const std::string& before,
                                   std::string_view line);
    void takePlainNumbers();
    std::string startCase(std::string_view id);
    std::string closeCase();
    std::string setText(std::string& field, std::string_view value);
    std::string readSettings(std::string_view text, std::vector<CaseSetting>& settings);
    std::string readQuiz(std::string_view text);
    std::string readPatient(std::string_view text);

    TeachingCase* case_ = nullptr;
    std::string* lastText_ = nullptr; // where a continuation line goes
    bool lastTakesFigures_ = false;   // whether that text may quote the model's figures
    // A question, answer or explanation as written, figures marked, for its plain numbers.
    bool scanning_ = false;
    std::string unmarked_;
    std::size_t unmarkedLine_ = 0;
    std::vector<std::string_view> seen_; // the keys given once per case
};

std::string CaseReader::line(std::string_view text) {
    if (trimmed(text).empty() || text.front() == '#') {
        takePlainNumbers();
        lastText_ = nullptr;
        return {};
    }
    if (text.starts_with("  ")) {
        if (lastText_ == nullptr)
            return "a continued line without a text before it";
        std::string& field = *lastText_;
        if (lastTakesFigures_)
            return setTextWithFigures(field, field + " ", trimmed(text));
        return setText(field, field + " " + std::string(trimmed(text)));
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return "expected \"key: value\"";
    return keyValue(text.substr(0, colon), trimmed(text.substr(colon + 1)));
}

std::string CaseReader::setText(std::string& field, std::string_view value) {
    if (value.empty())
        return "an empty text";
    if (value.find_first_of("{}") != std::string_view::npos)
        return "braces stand only for a figure of a story, question, answer or explanation";
    if (value.size() > kMaxTextBytes)
        return "a text longer than " + std::to_string(kMaxTextBytes) + " bytes";
    field = std::string(value);
    lastText_ = &field;
    lastTakesFigures_ = false;
    return {};
}

// The line's text with its figures taken out, after what the text held before (empty, or its
// earlier lines, already plain).
std::string CaseReader::setTextWithFigures(std::string& field, const std::string& before,
                                           std::string_view line) {
    TextWithFigures read = takeFigures(line, lineNumber);
    if (!read.problem.empty())
        return read.problem;
    if (auto problem = setText(field, before + read.text); !problem.empty())
        return problem;
    for (CaseFigure& figure : read.figures)
        case_->figures.push_back(std::move(figure));
    lastTakesFigures_ = true;
    if (before.empty())
        unmarkedLine_ = lineNumber;
    unmarked_ += (before.empty() ? "" : " ") + read.unmarked;
    return {};
}

void CaseReader::takePlainNumbers() {
    if (scanning_ && case_ != nullptr)
        for (PlainNumber& number : plainNumbers(unmarked_, unmarkedLine_))
            case_->plainNumbers.push_back(std::move(number));
    scanning_ = false;
    unmarked_.clear();
}

std::string CaseReader::keyValue(std::string_view key, std::string_view value) {
    takePlainNumbers();
    lastText_ = nullptr;
    scanning_ = key == "question" || key == "answer" || key == "explanation";
    if (key == "case")
        return startCase(value);
    if (case_ == nullptr)
        return "\"" + std::string(key) + "\" before the first \"case\"";
    static constexpr std::array<std::string_view, 7> kOnce{
        "title", "patient", "pattern", "story", "compare", "explanation", "quiz"};
    if (std::ranges::find(kOnce, key) != kOnce.end()) {
        if (std::ranges::find(seen_, key) != seen_.end())
            return "a second \"" + std::string(key) + "\"";
        seen_.push_back(*std::ranges::find(kOnce, key));
    }
    TeachingCase& c = *case_;
    if (key == "title")
        return setText(c.title, value);
    if (key == "story")
        return setTextWithFigures(c.story, {}, value);
    if (key == "explanation")
        return setTextWithFigures(c.explanation, {}, value);
    if (key == "patient")
        return readPatient(value);
    if (key == "pattern") {
        const auto found = std::ranges::find(kPatternKeys, value);
        if (found == kPatternKeys.end())
            return "unknown pattern \"" + std::string(value) + "\"";
        c.pattern = static_cast<CasePattern>(found - kPatternKeys.begin());
        return {};
    }
    if (key == "run") {
        if (c.runs.size() == kMaxRuns)
            return "more than " + std::to_string(kMaxRuns) + " runs";
        const auto bar = value.find('|');
        CaseRun run;
        if (bar != std::string_view::npos && trimmed(value.substr(bar + 1)).size() > kMaxTextBytes)
            return "a label longer than " + std::to_string(kMaxTextBytes) + " bytes";
        if (bar != std::string_view::npos)
            run.label = trimmed(value.substr(bar + 1));
        if (run.label.find_first_of("{}") != std::string::npos)
            return "braces stand only for a figure of a story, question, answer or explanation";
        if (auto problem = readSettings(value.substr(0, bar), run.settings); !problem.empty())
            return problem;
        c.runs.push_back(std::move(run));
        return {};
    }
    if (key == "compare") {
        for (const std::string_view word : words(value)) {
            const auto row = number(word);
            if (!row || *row != std::floor(*row) || *row < 0 || *row > 3)
                return "a row to compare must be 0..3, not \"" + std::string(word) + "\"";
            if (std::ranges::find(c.compareRows, static_cast<int>(*row)) != c.compareRows.end())
                return "row " + std::string(word) + " twice in \"compare\"";
            c.compareRows.push_back(static_cast<int>(*row));
        }
        return {};
    }
    if (key == "question") {
        if (!c.questions.empty() && c.questions.back().answer.empty())
            return "a question without its answer";
        if (c.questions.size() == kMostQuestions)
            return "more than " + std::to_string(kMostQuestions) + " questions";
        c.questions.emplace_back();
        return setTextWithFigures(c.questions.back().question, {}, value);
    }
    if (key == "answer") {
        if (c.questions.empty() || !c.questions.back().answer.empty())
            return "an answer without its question";
        return setTextWithFigures(c.questions.back().answer, {}, value);
    }
    if (key == "quiz")
        return readQuiz(value);
    return "unknown key \"" + std::string(key) + "\"";
}

std::string CaseReader::startCase(std::string_view id) {
    if (case_ != nullptr)
        if (auto problem = closeCase(); !problem.empty())
            return problem;
    if (!isIdentifier(id))
        return "a case id is 1 to 64 of a-z, 0-9 and _, not \"" + std::string(id) + "\"";
    if (library.find(id) != nullptr)
        return "a second case \"" + std::string(id) + "\"";
    if (library.cases.size() == kMaxCases)
        return "more than " + std::to_string(kMaxCases) + " cases";
    library.cases.emplace_back().id = id;
    case_ = &library.cases.back();
    seen_.clear();
    return {};
}

// A case is whole when it has everything a student is shown.
std::string CaseReader::closeCase() {
    const TeachingCase& c = *case_;
    const std::string in = " in case \"" + c.id + "\"";
    for (const std::string_view key : {"title", "patient", "pattern", "story", "explanation"})
        if (std::ranges::find(seen_, key) == seen_.end())
            return "no \"" + std::string(key) + "\"" + in;
    if (c.runs.empty())
        return "no run" + in;
    if (c.compareRows.size() < 2)
        return "\"compare\" needs two rows or more" + in;
    for (const int row : c.compareRows)
        if (row > static_cast<int>(c.runs.size()))
            return "row " + std::to_string(row) + " to compare, but only " +
                   std::to_string(c.runs.size()) + " runs" + in;
    for (const CaseFigure& figure : c.figures)
        if (std::max(figure.row, figure.fromRow) > static_cast<int>(c.runs.size()))
            return "the figure " + figure.markup + " on line " + std::to_string(figure.line) +
                   " names row " + std::to_string(std::max(figure.row, figure.fromRow)) +
                   ", but only " + std::to_string(c.runs.size()) + " runs" + in;
    if (c.questions.size() < kFewestQuestions)
        return "fewer than " + std::to_string(kFewestQuestions) + " questions" + in;
    if (c.questions.back().answer.empty())
        return "the last question without its answer" + in;
    return {};
}

std::string CaseReader::finish() {
    if (case_ == nullptr)
        return "no case";
    takePlainNumbers();
    return closeCase();
}

std::string CaseReader::readPatient(std::string_view text) {
    const auto parts = words(text);
    reference::Patient& patient = case_->patient;
    if (parts.size() != 3 || (parts[0] != "female" && parts[0] != "male"))
        return "a patient is \"female|male AGE HEIGHT\"";
    const auto age = number(parts[1]);
    const auto height = number(parts[2]);
    if (!age || !height)
        return "a patient's age and height are numbers";
    patient = {parts[0] == "male" ? reference::Sex::male : reference::Sex::female, *age, *height};
    return reference::patientOutsideEquations(patient);
}

std::string CaseReader::readSettings(std::string_view text, std::vector<CaseSetting>& settings) {
    for (const std::string_view word : words(text)) {
        const auto eq = word.find('=');
        auto setting = settingNamed(word.substr(0, std::min(eq, word.size())));
        if (!setting)
            return "unknown setting \"" + std::string(word.substr(0, eq)) + "\"";
        const auto value =
            eq == std::string_view::npos ? std::nullopt : percent(word.substr(eq + 1));
        if (!value)
            return "\"" + std::string(word) + "\" needs a percentage 10..2000";
        setting->percent = *value;
        for (const CaseSetting& other : settings)
            if (other.global == setting->global && other.part == setting->part &&
                other.index == setting->index)
                return "\"" + std::string(word.substr(0, eq)) + "\" twice";
        settings.push_back(*setting);
    }
    return {};
}

std::string CaseReader::readQuiz(std::string_view text) {
    for (const std::string_view word : words(text)) {
        const auto eq = word.find('=');
        const auto dots = word.find("..");
        if (eq == std::string_view::npos || dots == std::string_view::npos || dots < eq)
            return "a quiz setting is NAME=FROM..TO, not \"" + std::string(word) + "\"";
        std::vector<CaseSetting> one;
        if (auto problem = readSettings(word.substr(0, dots), one); !problem.empty())
            return problem;
        const auto to = percent(word.substr(dots + 2));
        if (!to)
            return "\"" + std::string(word) + "\" needs percentages 10..2000";
        for (const QuizRange& other : case_->quiz)
            if (settingName(other.from) == settingName(one[0]))
                return "\"" + std::string(word.substr(0, eq)) + "\" twice";
        case_->quiz.push_back({one[0], *to});
    }
    if (case_->quiz.empty())
        return "\"quiz\" without a setting";
    return {};
}

} // namespace

const TeachingCase* CaseLibrary::find(std::string_view id) const {
    const auto found = std::ranges::find(cases, id, &TeachingCase::id);
    return found == cases.end() ? nullptr : &*found;
}

int CaseFigure::decimals() const {
    const auto comma = shown.find(',');
    return comma == std::string::npos ? 0 : static_cast<int>(shown.size() - comma - 1);
}

bool CaseFigure::signShown() const {
    return shown.starts_with('+');
}

TextWithFigures takeFigures(std::string_view text, std::size_t line) {
    TextWithFigures out;
    while (!text.empty()) {
        const auto open = text.find_first_of("{}");
        out.text += text.substr(0, open);
        out.unmarked += text.substr(0, open);
        if (open == std::string_view::npos)
            break;
        if (text[open] == '}') {
            out.problem = "a } without its {";
            return out;
        }
        const auto close = text.find_first_of("{}", open + 1);
        if (close == std::string_view::npos || text[close] == '{') {
            out.problem = "a figure without its closing } on its line";
            return out;
        }
        CaseFigure figure;
        figure.line = line;
        figure.markup = text.substr(open, close - open + 1);
        if (auto problem = readFigure(text.substr(open + 1, close - open - 1), figure);
            !problem.empty()) {
            out.problem = figure.markup + ": " + problem;
            return out;
        }
        out.text += figure.shown;
        out.unmarked += "•";
        out.figures.push_back(std::move(figure));
        text.remove_prefix(close + 1);
    }
    return out;
}

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The length of the number at `at`: digits, and a decimal comma with more digits.
std::size_t numberLength(std::string_view text, std::size_t at) {
    std::size_t end = at;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    if (end + 1 < text.size() && text[end] == ',' && isDigit(text[end + 1]))
        for (++end; end < text.size() && isDigit(text[end]);)
            ++end;
    return end - at;
}

// What follows a number after at most one space.
std::string_view followingText(std::string_view text, std::size_t at) {
    for (const std::string_view space : {" ", "\u00a0"})
        if (text.substr(at).starts_with(space))
            return text.substr(at + space.size());
    return text.substr(std::min(at, text.size()));
}

constexpr std::array<std::string_view, 9> kUnits{"%",  "ml", "l",  "l/s", "s",
                                                 "µg", "cm", "kg", "lat"};
constexpr std::array<std::string_view, 6> kListSeparators{", ",   " i ", "–",
                                                          " do ", " a ", " oraz "};

// The unit written after a number: the word that follows when it is one of the units, else "".
std::string unitAfter(std::string_view text, std::size_t at) {
    text = followingText(text, at);
    std::size_t end = 0;
    while (end < text.size() && (isLetter(text[end]) || text[end] == '/' || text[end] == '%' ||
                                 text.substr(end).starts_with("µ")))
        end += text.substr(end).starts_with("µ") ? 2 : 1;
    const std::string_view word = text.substr(0, end);
    return std::ranges::find(kUnits, word) != kUnits.end() ? std::string(word) : std::string();
}

} // namespace

std::vector<PlainNumber> plainNumbers(std::string_view text, std::size_t line) {
    std::vector<PlainNumber> out;
    std::size_t k = 0;
    while (k < text.size()) {
        if (isLetter(text[k])) {
            // A name with digits, FEV1, MEF25 or FEF25–75, is not a number.
            while (k < text.size() && (isLetter(text[k]) || isDigit(text[k]) || text[k] == '%'))
                ++k;
            if (text.substr(k).starts_with("–") && k + 3 < text.size() && isDigit(text[k + 3]))
                for (k += 3; k < text.size() && isDigit(text[k]);)
                    ++k;
            continue;
        }
        if (!isDigit(text[k])) {
            ++k;
            continue;
        }
        std::size_t start = k;
        if (start >= 1 && text[start - 1] == '+')
            start -= 1;
        else if (start >= kMinusSign.size() &&
                 text.substr(start - kMinusSign.size(), kMinusSign.size()) == kMinusSign)
            start -= kMinusSign.size();
        PlainNumber number;
        number.line = line;
        k += numberLength(text, k);
        number.text = text.substr(start, k - start);
        const std::size_t from = start >= 24 ? start - 24 : 0;
        number.rowNumber = number.text.size() == 1 && number.text[0] <= '3' &&
                           text.substr(from, start - from).find("wiersz") != std::string_view::npos;
        // The numbers listed up to the unit they share: "400, 600 i 800 %", "120–150 %".
        number.listed.push_back(number.text);
        std::size_t end = k;
        for (bool more = true; more;) {
            more = false;
            for (const std::string_view separator : kListSeparators) {
                const std::size_t at = end + separator.size();
                if (text.substr(end).starts_with(separator) && at < text.size() &&
                    isDigit(text[at])) {
                    const std::size_t length = numberLength(text, at);
                    number.listed.emplace_back(text.substr(at, length));
                    end = at + length;
                    more = true;
                }
            }
        }
        number.unit = unitAfter(text, end);
        number.after = followingText(text, end).substr(0, 16);
        out.push_back(std::move(number));
    }
    return out;
}

FileResult parseCaseLibrary(std::string_view text, CaseLibrary& library) {
    if (text.size() > kCaseLibraryMaxBytes)
        return FileResult::failure("the case library is larger than " +
                                   std::to_string(kCaseLibraryMaxBytes) + " bytes");
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (!data::isValidUtf8(text))
        return FileResult::failure("the case library is not UTF-8 text");
    CaseReader reader;
    std::size_t number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        std::string problem;
        reader.lineNumber = number;
        if (std::ranges::any_of(line, [](unsigned char c) { return c < 0x20 || c == 0x7F; }))
            problem = "a control character (tabs and carriage returns included)";
        else
            problem = reader.line(line);
        if (!problem.empty())
            return FileResult::failure("line " + std::to_string(number) + ": " + problem);
    }
    if (auto problem = reader.finish(); !problem.empty())
        return FileResult::failure("at the end: " + problem);
    library = std::move(reader.library);
    return FileResult::success();
}

FileResult loadCaseLibrary(const std::filesystem::path& path, CaseLibrary& library) {
    std::vector<std::uint8_t> bytes;
    if (FileResult read = readDataFile(path, bytes, kCaseLibraryMaxBytes); !read.ok)
        return read;
    FileResult parsed = parseCaseLibrary(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), library);
    if (!parsed.ok)
        parsed.message = path.string() + ": " + parsed.message;
    return parsed;
}

std::string settingName(const CaseSetting& setting) {
    if (setting.global)
        return "global." + std::to_string(setting.index);
    const std::string_view part = kLungPartNames[static_cast<std::size_t>(setting.part)];
    return (part.empty() ? std::string() : std::string(part) + ".") +
           std::string(kSettingColumnNames[static_cast<std::size_t>(setting.index)]);
}

std::optional<CaseSetting> settingNamed(std::string_view name) {
    CaseSetting setting;
    const auto dot = name.find('.');
    if (dot == std::string_view::npos) {
        const auto column = settingColumnNamed(name);
        if (!column)
            return std::nullopt;
        setting.index = *column;
        return setting;
    }
    const std::string_view prefix = name.substr(0, dot);
    const std::string_view rest = name.substr(dot + 1);
    if (prefix == "global") {
        const auto item = number(rest);
        if (!item || rest.size() != 1 || *item >= kReadGlobalItems)
            return std::nullopt;
        setting.global = true;
        setting.index = static_cast<int>(*item);
        return setting;
    }
    const auto part = prefix.empty() ? std::nullopt : lungPartNamed(prefix);
    const auto column = settingColumnNamed(rest);
    if (!part || !column)
        return std::nullopt;
    setting.part = *part;
    setting.index = *column;
    return setting;
}

std::string_view patternText(CasePattern pattern) {
    return kPatternTexts.at(static_cast<std::size_t>(pattern));
}

std::string_view patternKey(CasePattern pattern) {
    return kPatternKeys.at(static_cast<std::size_t>(pattern));
}

} // namespace vm::session

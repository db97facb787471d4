#include "cli/case_commands.h"

#include "cli/run_report.h"
#include "session/batch_json.h"
#include "session/hidden_settings.h"
#include "session/number_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

using namespace vm::record;
using namespace vm::session;

namespace vm::cli {

namespace fs = std::filesystem;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct CaseOptions {
    bool json = false;
    std::string make;                  // cases --make ID
    std::optional<std::uint32_t> seed; // quiz --seed N
    std::string out;
};

// A case's numbers as the library holds them, in 9 significant digits.
std::string number(double value) {
    return numberText(value, NumberForm::single);
}

// Empty when the options suit the command, else what is wrong.
std::string parseCaseOptions(const std::vector<std::string>& args, CaseOptions& options) {
    const bool quiz = args[0] == "quiz";
    for (std::size_t k = 1; k < args.size(); ++k) {
        const std::string& option = args[k];
        const bool hasValue = k + 1 < args.size();
        if (option == "--json") {
            options.json = true;
        } else if (option == "--out" && hasValue) {
            options.out = args[++k];
        } else if (option == "--make" && hasValue && !quiz) {
            options.make = args[++k];
        } else if (option == "--seed" && hasValue && quiz) {
            const std::string& text = args[++k];
            std::uint32_t seed = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
            if (text.empty() || error != std::errc() || end != text.data() + text.size())
                return "--seed needs a whole number 0..4294967295, got '" + text + "'";
            options.seed = seed;
        } else {
            return "unknown option or missing value for " + args[0] + ": '" + option + "'";
        }
    }
    if (quiz && !options.seed)
        return "quiz needs --seed N";
    if (!quiz && options.make.empty() != options.out.empty())
        return "cases --make ID needs --out FILE, and --out needs --make";
    return {};
}

std::string settingsText(const std::vector<CaseSetting>& settings) {
    std::string text;
    for (const CaseSetting& s : settings)
        text += (text.empty() ? "" : " ") + settingName(s) + "=" + number(s.percent);
    return text;
}

void writeSettings(JsonWriter& json, const std::vector<CaseSetting>& settings) {
    json.beginObject();
    for (const CaseSetting& s : settings)
        json.key(settingName(s)).number(s.percent, NumberForm::single);
    json.endObject();
}

// The runner's names of the settings no visible track bar shows, each once.
std::vector<std::string> hiddenOfCase(const TeachingCase& c) {
    std::vector<std::string> hidden;
    for (const CaseRun& run : c.runs)
        for (const CaseSetting& s : run.settings)
            if (isHiddenSetting(s) && std::ranges::find(hidden, settingName(s)) == hidden.end())
                hidden.push_back(settingName(s));
    return hidden;
}

std::string joined(const std::vector<std::string>& names, const std::string& separator) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : separator) + name;
    return text;
}

std::string caseText(const TeachingCase& c, const std::string& file) {
    std::string text =
        c.id + ": " + c.title + "\n  file: " + file + "\n  patient: " + patientText(c.patient) +
        "\n  pattern: " + std::string(patternKey(c.pattern)) + "\n  story: " + c.story + "\n";
    for (std::size_t k = 0; k < c.runs.size(); ++k)
        text += "  row " + std::to_string(c.rowOfRun(k)) + ": " + settingsText(c.runs[k].settings) +
                (c.runs[k].label.empty() ? "" : " (" + c.runs[k].label + ")") + "\n";
    text += "  compare rows:";
    for (const int row : c.compareRows)
        text += " " + std::to_string(row);
    const std::string hidden = joined(hiddenOfCase(c), ", ");
    text += "\n  hidden settings: " + (hidden.empty() ? "none" : hidden) + "\n";
    for (std::size_t k = 0; k < c.questions.size(); ++k)
        text += "  question " + std::to_string(k + 1) + ": " + c.questions[k].question +
                "\n  answer " + std::to_string(k + 1) + ": " + c.questions[k].answer + "\n";
    text += "  explanation: " + c.explanation + "\n";
    if (!c.quiz.empty()) {
        text += "  quiz:";
        for (const QuizRange& range : c.quiz)
            text += " " + settingName(range.from) + "=" + number(range.from.percent) + ".." +
                    number(range.to);
        text += "\n";
    }
    return text;
}

bool loadLibrary(const fs::path& exeDir, CaseLibrary& library) {
    const FileResult read =
        loadCaseLibrary(ProgramFolder{exeDir}.dataPath(kCaseLibraryFile), library);
    if (!read.ok)
        std::cerr << "velta-morvane-cli: cannot read the case library: " << read.message << "\n";
    return read.ok;
}

std::string caseFile(const fs::path& exeDir, const TeachingCase& c) {
    return ProgramFolder{exeDir}.dataPath("simulations/" + c.id + ".spi").string();
}

// A session on the standard reference with the model settled, as the runner's runs start.
std::string prepare(Session& session) {
    session.InitialiseModel();
    if (const ViewChanges read = session.UseReferenceFrom(session.folder().standardRecord());
        read.message)
        return "cannot read the standard record: " + *read.message;
    return {};
}

void makeCurrent(Session& session, const std::vector<CaseSetting>& settings) {
    session.ResetCurrentSettings();
    for (const CaseSetting& s : settings) {
        if (s.global)
            session.SetGlobalSetting(s.index, s.percent);
        else
            session.SetPartSetting(LungPart(s.part), SettingColumn(s.index), s.percent);
    }
}

// The record to out, or to the standard output for "-".
int writeRecord(Session& session, const std::string& out, std::ostream& output) {
    if (out == "-") {
        session.WriteRecordToStream(output);
        return 0;
    }
    if (const ViewChanges written = session.WriteRecordTo(out); written.message) {
        std::cerr << "velta-morvane-cli: cannot write the record: " << *written.message << "\n";
        return kExitFailure;
    }
    return 0;
}

int refuseUnwritable(const std::string& out) {
    if (out == "-")
        return 0;
    if (const std::string problem = checkWritableTarget(out); !problem.empty()) {
        std::cerr << "velta-morvane-cli: cannot write the record: " << problem << "\n";
        return kExitFailure;
    }
    return 0;
}

// Each run from all settings at 100 but its own, on a freshly settled model as a single run
// starts, the earlier runs kept below it as START keeps them: each row is what "run" gives for
// its settings. A run that is not valid would open on "dead" and teach nothing, so it fails the
// file. The runs before the last are kept in a scratch file of the file layer's, which goes
// whatever the outcome.
int makeCase(const TeachingCase& c, const fs::path& exeDir, const std::string& out,
             std::ostream& output) {
    if (const int refused = refuseUnwritable(out))
        return refused;
    const ScratchRecordFile earlier(out == "-" ? fs::path() : fs::path(out));
    if (!earlier.problem().empty()) {
        std::cerr << "velta-morvane-cli: cannot make the case's scratch file: " << earlier.problem()
                  << "\n";
        return kExitFailure;
    }
    for (std::size_t k = 0; k < c.runs.size(); ++k) {
        Session session(ProgramFolder{exeDir});
        std::string problem = prepare(session);
        if (problem.empty() && k > 0)
            if (const ViewChanges read = session.OpenSimulationFile(earlier.path()); read.message)
                problem = "cannot read the earlier runs back: " + *read.message;
        if (!problem.empty()) {
            std::cerr << "velta-morvane-cli: " << problem << "\n";
            return kExitFailure;
        }
        makeCurrent(session, c.runs[k].settings);
        session.StartSimulation({});
        if (session.record().field(workingRow, RowField::runStatus) != 1.0f) {
            std::cerr << "velta-morvane-cli: case " << c.id << ": run " << k + 1 << " ("
                      << settingsText(c.runs[k].settings) << ") is not valid\n";
            return kExitFailure;
        }
        // The case's file reads its results for the case's patient wherever it is opened.
        session.SetPatient(c.patient);
        const bool last = k + 1 == c.runs.size();
        if (const int written = writeRecord(session, last ? out : earlier.path().string(), output))
            return written;
    }
    return 0;
}

int runQuiz(const CaseOptions& options, const fs::path& exeDir, std::ostream& out) {
    CaseLibrary library;
    if (!loadLibrary(exeDir, library))
        return kExitFailure;
    if (!options.out.empty())
        if (const int refused = refuseUnwritable(options.out))
            return refused;
    Session session(ProgramFolder{exeDir});
    UnknownPatientQuiz quiz(session);
    std::string problem = prepare(session);
    if (problem.empty())
        problem = quiz.Draw(library, *options.seed);
    if (problem.empty()) {
        session.StartSimulation({});
        problem = quiz.ReadResult();
    }
    if (!problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n";
        return kExitFailure;
    }
    const TeachingCase& c = *quiz.draw().teachingCase;
    const QuizKey& key = *quiz.key();
    const std::string level = std::to_string(quiz.draw().level + 1);
    // "--out -": the record is the standard output, in place of the key.
    if (options.out == "-")
        return writeRecord(session, options.out, out);
    if (options.json) {
        JsonWriter json;
        json.beginObject()
            .key("seed")
            .whole(*options.seed)
            .key("case")
            .string(c.id)
            .key("title")
            .string(c.title)
            .key("patientText")
            .string(patientText(c.patient))
            .key("level")
            .whole(quiz.draw().level + 1)
            .key("levels")
            .whole(kQuizLevels)
            .key("settings");
        writeSettings(json, quiz.draw().settings);
        json.key("pattern")
            .string(patternKey(key.pattern))
            .key("severity")
            .string(reference::severityKey(key.severity))
            .key("key")
            .string(keyText(key))
            .key("z")
            .beginObject();
        for (const auto& [name, index] : {std::pair{"fev1", 0}, {"fvc", 1}, {"fev1Fvc", 2}})
            json.key(name).number(key.reading.indices[static_cast<std::size_t>(index)].zScore,
                                  NumberForm::single);
        json.endObject().key("explanation").string(c.explanation);
        writeStoredIndices(json, session.indices(workingRow));
        writeReading(json, key.reading);
        out << json.endObject().line();
    } else {
        out << "Unknown patient " << *options.seed << ": " << patientText(c.patient)
            << "\ncase: " << c.id << " (" << c.title << "), level " << level << " of "
            << kQuizLevels
            << " of its range, mildest first\nsettings: " << settingsText(quiz.draw().settings)
            << "\nkey: " << keyText(key) << "\nz-scores: FEV1 "
            << number(key.reading.indices[0].zScore) << ", FVC "
            << number(key.reading.indices[1].zScore) << ", FEV1/FVC "
            << number(key.reading.indices[2].zScore) << "\nexplanation: " << c.explanation << "\n\n"
            << runTable(resultOf(session, workingRow, {.curves = false, .settings = false}),
                        resultOf(session, referenceRow, {.curves = false, .settings = false}), 1);
    }
    // Output that cannot be written writes no record after it.
    if (!out.flush())
        return kExitFailure;
    return options.out.empty() ? 0 : writeRecord(session, options.out, out);
}

int runCases(const CaseOptions& options, const fs::path& exeDir, std::ostream& out) {
    CaseLibrary library;
    if (!loadLibrary(exeDir, library))
        return kExitFailure;
    if (!options.make.empty()) {
        const TeachingCase* c = library.find(options.make);
        if (c == nullptr) {
            std::cerr << "velta-morvane-cli: no case '" << options.make << "' in the library\n";
            return kExitUsage;
        }
        return makeCase(*c, exeDir, options.out, out);
    }
    for (const TeachingCase& c : library.cases)
        out << (options.json ? caseJson(c, caseFile(exeDir, c)) : caseText(c, caseFile(exeDir, c)));
    return 0;
}

} // namespace

bool isCaseCommand(const std::string& word) {
    return word == "cases" || word == "quiz";
}

int runCaseCommand(const std::vector<std::string>& args, const fs::path& exeDir,
                   std::ostream& out) {
    CaseOptions options;
    if (const std::string problem = parseCaseOptions(args, options); !problem.empty()) {
        std::cerr << "velta-morvane-cli: " << problem << "\n\n" << caseCommandsUsage();
        return kExitUsage;
    }
    return args[0] == "quiz" ? runQuiz(options, exeDir, out) : runCases(options, exeDir, out);
}

std::string caseCommandsUsage() {
    return R"(Teaching cases (the library cases/teaching-cases.txt beside this program):
  velta-morvane-cli cases [--json]       list every case: id, title, patient, story, the rows'
                                         settings, the rows to compare, the settings no track bar
                                         shows, the questions with their answers, the explanation,
                                         the quiz range and the simulation file
  velta-morvane-cli cases --make ID --out FILE
                                         run case ID's rows as START runs them into a simulation
                                         file (each run valid, or exit 1)
  velta-morvane-cli quiz --seed N [--json] [--out FILE]
                                         the unknown patient of number N (0..4294967295), as the
                                         window draws it: the case, its settings, the answer key
                                         and the indices; --out writes the record with it in row 1
A FILE that is - means the standard output, which then holds the record alone.
)";
}

std::string caseJson(const TeachingCase& c, const std::string& file) {
    const reference::Patient& p = c.patient;
    JsonWriter json;
    json.beginObject()
        .key("id")
        .string(c.id)
        .key("title")
        .string(c.title)
        .key("patient")
        .beginObject()
        .key("sex")
        .string(reference::sexName(p.sex))
        .key("age")
        .number(p.age_years, NumberForm::single)
        .key("height")
        .number(p.height_cm, NumberForm::single)
        .endObject()
        .key("pattern")
        .string(patternKey(c.pattern))
        .key("story")
        .string(c.story)
        .key("rows")
        .beginArray();
    for (std::size_t k = 0; k < c.runs.size(); ++k) {
        json.beginObject()
            .key("row")
            .whole(c.rowOfRun(k))
            .key("label")
            .string(c.runs[k].label)
            .key("settings");
        writeSettings(json, c.runs[k].settings);
        json.endObject();
    }
    json.endArray().key("compare").beginArray();
    for (const int row : c.compareRows)
        json.whole(row);
    json.endArray().key("hiddenSettings").beginArray();
    for (const std::string& name : hiddenOfCase(c))
        json.string(name);
    json.endArray().key("questions").beginArray();
    for (const CaseQuestion& q : c.questions)
        json.beginObject()
            .key("question")
            .string(q.question)
            .key("answer")
            .string(q.answer)
            .endObject();
    json.endArray().key("explanation").string(c.explanation).key("quiz");
    if (c.quiz.empty()) {
        json.null();
    } else {
        json.beginObject();
        for (const QuizRange& range : c.quiz)
            json.key(settingName(range.from))
                .beginArray()
                .number(range.from.percent, NumberForm::single)
                .number(range.to, NumberForm::single)
                .endArray();
        json.endObject();
    }
    return json.key("file").string(file).endObject().line();
}

} // namespace vm::cli

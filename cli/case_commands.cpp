#include "cli/case_commands.h"

#include "session/reading_text.h"

#include "cli/run_report.h"
#include "session/hidden_settings.h"

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

std::string number(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.9g", value);
    return buffer;
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

std::string settingsJson(const std::vector<CaseSetting>& settings) {
    std::string json = "{";
    for (const CaseSetting& s : settings)
        json += (json.size() > 1 ? "," : "") + jsonString(settingName(s)) + ":" + number(s.percent);
    return json + "}";
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

std::string joined(const std::vector<std::string>& names, const std::string& separator,
                   bool quoted) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : separator) + (quoted ? jsonString(name) : name);
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
    const std::string hidden = joined(hiddenOfCase(c), ", ", false);
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

std::string zJson(const QuizKey& key) {
    const auto& z = key.reading.indices;
    return "{\"fev1\":" + number(z[0].zScore) + ",\"fvc\":" + number(z[1].zScore) +
           ",\"fev1Fvc\":" + number(z[2].zScore) + "}";
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
        out << "{\"seed\":" << *options.seed << ",\"case\":" << jsonString(c.id)
            << ",\"title\":" << jsonString(c.title)
            << ",\"patientText\":" << jsonString(patientText(c.patient)) << ",\"level\":" << level
            << ",\"levels\":" << kQuizLevels
            << ",\"settings\":" << settingsJson(quiz.draw().settings)
            << ",\"pattern\":" << jsonString(patternKey(key.pattern))
            << ",\"severity\":" << jsonString(reference::severityKey(key.severity))
            << ",\"key\":" << jsonString(keyText(key)) << ",\"z\":" << zJson(key)
            << ",\"explanation\":" << jsonString(c.explanation)
            << indexJsonFields(session.record(), workingRow) << patientJsonFields(key.reading)
            << "}\n";
    } else {
        out << "Unknown patient " << *options.seed << ": " << patientText(c.patient)
            << "\ncase: " << c.id << " (" << c.title << "), level " << level << " of "
            << kQuizLevels
            << " of its range, mildest first\nsettings: " << settingsText(quiz.draw().settings)
            << "\nkey: " << keyText(key) << "\nz-scores: FEV1 "
            << number(key.reading.indices[0].zScore) << ", FVC "
            << number(key.reading.indices[1].zScore) << ", FEV1/FVC "
            << number(key.reading.indices[2].zScore) << "\nexplanation: " << c.explanation << "\n\n"
            << runTable(session.record(), 1);
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
    std::string json = "{\"id\":" + jsonString(c.id) + ",\"title\":" + jsonString(c.title) +
                       ",\"patient\":{\"sex\":" + jsonString(reference::sexName(p.sex)) +
                       ",\"age\":" + number(p.age_years) + ",\"height\":" + number(p.height_cm) +
                       "},\"pattern\":" + jsonString(patternKey(c.pattern)) +
                       ",\"story\":" + jsonString(c.story) + ",\"rows\":[";
    for (std::size_t k = 0; k < c.runs.size(); ++k)
        json += std::string(k > 0 ? "," : "") + "{\"row\":" + std::to_string(c.rowOfRun(k)) +
                ",\"label\":" + jsonString(c.runs[k].label) +
                ",\"settings\":" + settingsJson(c.runs[k].settings) + "}";
    json += "],\"compare\":[";
    for (std::size_t k = 0; k < c.compareRows.size(); ++k)
        json += std::string(k > 0 ? "," : "") + std::to_string(c.compareRows[k]);
    json += "],\"hiddenSettings\":[" + joined(hiddenOfCase(c), ",", true) + "],\"questions\":[";
    for (std::size_t k = 0; k < c.questions.size(); ++k)
        json += std::string(k > 0 ? "," : "") +
                "{\"question\":" + jsonString(c.questions[k].question) +
                ",\"answer\":" + jsonString(c.questions[k].answer) + "}";
    json += "],\"explanation\":" + jsonString(c.explanation) + ",\"quiz\":";
    if (c.quiz.empty()) {
        json += "null";
    } else {
        json += "{";
        for (std::size_t k = 0; k < c.quiz.size(); ++k)
            json += std::string(k > 0 ? "," : "") + jsonString(settingName(c.quiz[k].from)) + ":[" +
                    number(c.quiz[k].from.percent) + "," + number(c.quiz[k].to) + "]";
        json += "}";
    }
    return json + ",\"file\":" + jsonString(file) + "}\n";
}

} // namespace vm::cli

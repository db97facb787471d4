// The model's figures the help texts quote, held to the model: every figure marked in the help
// sources (tools/helpfiles/src, from which the shipped RTF is made and checked by HelpFiles.*),
// read from the teaching case's file or the run of the session it names, for the patient it
// names or else the case's or the default one.

#include "data/rtf_document.h"
#include "flow_volume_probe.h"
#include "session/case_figures.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vm::session;
using namespace vm::record;

namespace {

const std::filesystem::path kExeDir = VM_RUNTIME_DIR;
const std::filesystem::path kHelpSources = std::filesystem::path(VM_SOURCE_DIR) / "tools/helpfiles/src";

// The figures no index gives, by the name a help source writes after "ROW.*".
using Measure = std::function<double(const Session&, int row)>;

double ofReading(const Session& s, int row, double PredictedIndex::*member) {
    return s.readResult(row).indices[2].*member / 100.0; // FEV1/FVC as a fraction
}
// Past the row's peak flow: its first trough, and the crest after it (expiratory, positive).
double pastThePeak(const Session& s, int row, bool crest) {
    const SimulationRecord& r = s.record();
    const auto blow = vm::model::forcedExpirationOf(r, row);
    int n = blow->peakSample;
    while (n < blow->lastSample && -r.fvFlow(row, n + 1) <= -r.fvFlow(row, n))
        ++n;
    while (crest && n < blow->lastSample && -r.fvFlow(row, n + 1) >= -r.fvFlow(row, n))
        ++n;
    return -r.fvFlow(row, n);
}

const std::map<std::string, Measure, std::less<>> kMeasures = {
    {"ratio", [](const Session& s, int row) { return ofReading(s, row, &PredictedIndex::measured); }},
    {"ratioLln", [](const Session& s, int row) { return ofReading(s, row, &PredictedIndex::lln); }},
    {"ratioPredicted",
     [](const Session& s, int row) { return ofReading(s, row, &PredictedIndex::predicted); }},
    {"frcPercentOfTlc",
     [](const Session& s, int row) {
         return 100.0 * s.record().field(row, RowField::frc) / s.record().field(row, RowField::tlc);
     }},
    // The reading's FEV1, from time zero, less the table's, from the start of the effort, in ml.
    {"fev1TimingMl",
     [](const Session& s, int row) {
         return 1000.0 * (s.curveIndices(row).fev1_l.value - s.record().field(row, RowField::fev1));
     }},
    {"halfFvcex", [](const Session& s, int row) { return 0.5 * s.record().field(row, RowField::fvcex); }},
    // The reference's flow at the lung volume of the row's MEF50.
    {"referenceFlowAtMef50",
     [](const Session& s, int row) {
         return vm::test::flowAtVolume(s.record(), referenceRow,
                                       vm::test::lowestVolume(s.record(), row) +
                                           0.5 * s.record().field(row, RowField::fvcex));
     }},
    // A straight line from the peak flow to the end of the blow, at half the FVC.
    {"straightLine",
     [](const Session& s, int row) {
         const auto blow = vm::model::forcedExpirationOf(s.record(), row);
         const double fvc = blow->exhaledVolume_l();
         return blow->peakFlow_lps * (fvc / 2) / (fvc - blow->peakExhaled_l);
     }},
    {"peakInspiration",
     [](const Session& s, int row) {
         double peak = 0.0;
         for (int n = 1; n <= vm::model::forcedExpirationOf(s.record(), row)->startSample; ++n)
             peak = std::max<double>(peak, s.record().fvFlow(row, n));
         return peak;
     }},
    {"trough", [](const Session& s, int row) { return pastThePeak(s, row, false); }},
    {"crest", [](const Session& s, int row) { return pastThePeak(s, row, true); }},
};

// A session on a figure's source: "astma_oskrzelowa", "run rIntermediate=200",
// "run@female,25,165".
std::unique_ptr<Session> sessionFor(std::string_view source) {
    auto session = std::make_unique<Session>(ProgramFolder{kExeDir});
    const auto at = source.find('@');
    const std::string_view what = source.substr(0, at);
    if (what.starts_with("run")) {
        session->InitialiseModel();
        EXPECT_FALSE(session->UseReferenceFrom(session->folder().standardRecord()).message);
        std::istringstream words{std::string(what.substr(3))};
        for (std::string word; words >> word;) {
            const auto eq = word.find('=');
            const auto setting = settingNamed(word.substr(0, eq));
            if (!setting || eq == std::string::npos) {
                ADD_FAILURE() << "a run's setting is NAME=PCT, not " << word;
                continue;
            }
            const double percent = std::stod(word.substr(eq + 1));
            if (setting->global)
                session->SetGlobalSetting(setting->index, percent);
            else
                session->SetPartSetting(LungPart(setting->part), SettingColumn(setting->index),
                                        percent);
        }
        session->StartSimulation({});
    } else {
        const ViewChanges opened =
            session->OpenSimulationFile(kExeDir / "simulations" / (std::string(what) + ".spi"));
        EXPECT_FALSE(opened.message) << source << ": " << opened.message.value_or("");
    }
    if (at != std::string_view::npos) {
        const auto patient = parsePatient(source.substr(at + 1));
        EXPECT_TRUE(patient) << source;
        if (patient)
            session->SetPatient(*patient);
    }
    return session;
}

// The help shows a negative number with the en dash, its code page having no minus sign.
std::string withMinusSign(std::string shown) {
    if (shown.starts_with("–"))
        shown.replace(0, 3, "−");
    return shown;
}

// What is wrong with one figure of a help source, {SOURCE:ROW.INDEX.KIND|SHOWN} or
// {SOURCE:ROW.*NAME|SHOWN}; empty when it is what the model gives.
std::string checkFigure(std::string_view markup, std::map<std::string, std::unique_ptr<Session>>& sessions) {
    const auto colon = markup.find(':');
    const auto bar = markup.rfind('|');
    if (colon == std::string_view::npos || bar == std::string_view::npos || bar < colon)
        return "a figure is {SOURCE:WHAT|SHOWN}";
    const std::string source(markup.substr(1, colon - 1));
    const std::string_view what = markup.substr(colon + 1, bar - colon - 1);
    const std::string shown = withMinusSign(std::string(markup.substr(bar + 1, markup.size() - bar - 2)));
    auto& session = sessions[source];
    if (!session)
        session = sessionFor(source);
    const auto star = what.find(".*");
    if (star == std::string_view::npos) {
        const TextWithFigures read = takeFigures("{" + std::string(what) + "|" + shown + "}", 0);
        if (!read.problem.empty())
            return read.problem;
        const std::vector<std::string> mismatches = mismatchedFigures(*session, read.figures);
        return mismatches.empty() ? std::string() : mismatches[0];
    }
    const auto measure = kMeasures.find(what.substr(star + 2));
    if (measure == kMeasures.end())
        return "no measure named " + std::string(what.substr(star + 2));
    CaseFigure asShown;
    asShown.shown = shown;
    const std::string text = figureText(measure->second(*session, std::stoi(std::string(what.substr(0, star)))),
                                        asShown.decimals(), asShown.signShown());
    return text == shown ? std::string() : "gives " + text;
}

TEST(HelpFigures, EveryFigureOfTheHelpSourcesIsWhatTheModelGives) {
    std::map<std::string, std::unique_ptr<Session>> sessions;
    std::size_t figures = 0;
    for (int k = 0; k <= 6; ++k) {
        const std::string file = "H000" + std::to_string(k) + ".txt";
        std::ifstream source(kHelpSources / file);
        ASSERT_TRUE(source) << file;
        std::string line;
        for (int number = 1; std::getline(source, line); ++number) {
            for (std::size_t open = line.find('{'); open != std::string::npos;
                 open = line.find('{', open + 1)) {
                const auto close = line.find('}', open);
                ASSERT_NE(close, std::string::npos) << file << " line " << number << ": " << line;
                const std::string_view markup = std::string_view(line).substr(open, close - open + 1);
                ++figures;
                if (const std::string problem = checkFigure(markup, sessions); !problem.empty())
                    ADD_FAILURE() << file << " line " << number << ": " << markup << " " << problem;
            }
        }
    }
    EXPECT_GE(figures, 150u) << "the help quotes the model's numbers as figures";
}

// The results table's help describes every index read from the curves, by the name the report
// and the export give it, as an item of its list.
TEST(HelpFigures, TheResultsTableHelpDescribesEveryIndexReadFromTheCurves) {
    const std::vector<std::uint8_t> bytes = readBytes(kExeDir / "helpfiles" / "H0006.rtf");
    const auto read =
        vm::data::readRtf(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(read.document.has_value()) << read.error;
    std::string text;
    vm::data::forEachParagraph(*read.document, [&text](const vm::data::Paragraph& paragraph) {
        for (const vm::data::TextRun& run : paragraph.runs)
            text += run.text;
        text += '\n';
    });
    for (const CurveIndexInfo& info : kCurveIndices)
        EXPECT_NE(text.find(std::string(info.name) + " – "), std::string::npos) << info.name;
}

} // namespace

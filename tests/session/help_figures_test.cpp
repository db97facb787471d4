// The model's figures the help texts quote, held to the model: every figure marked in the help
// sources (tools/helpfiles/src, from which the shipped RTF is made and checked by HelpFiles.*),
// read from the teaching case's file or the run of the session it names, for the patient it
// names or else the case's or the default one; and the fourteen indices read from the curves
// described.

#include "case_sessions.h"
#include "session/case_figures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace vm::session;
using namespace vm::record;

namespace {

using vm::test::kExeDir;
const std::filesystem::path kHelpSources =
    std::filesystem::path(VM_SOURCE_DIR) / "tools/helpfiles/src";

// The figures no index gives, by the name a help source writes after "ROW.*".
using Measure = std::function<double(const Session&, int row)>;
const std::map<std::string, Measure, std::less<>> kMeasures = {
    // The reading's FEV1, from time zero, less the table's, from the start of the effort, in ml.
    {"fev1TimingMl",
     [](const Session& s, int row) {
         return 1000.0 * (s.indices(row)[vm::record::indexNamed("fev1FromTimeZero")].value -
                          s.record().field(row, RowField::fev1));
     }},
    {"halfFvcex",
     [](const Session& s, int row) { return 0.5 * s.record().field(row, RowField::fvcex); }},
    // The reference's flow at the lung volume of the row's MEF50.
    {"referenceFlowAtMef50",
     [](const Session& s, int row) {
         return vm::test::flowAtVolume(s.record(), referenceRow,
                                       s.record().field(row, RowField::tlc) -
                                           0.5 * s.record().field(row, RowField::fvcex));
     }},
};

// The help shows a negative number with the en dash, its code page having no minus sign.
std::string withMinusSign(std::string shown) {
    if (shown.starts_with("–"))
        shown.replace(0, 3, "−");
    return shown;
}

// What is wrong with one figure of a help source, {SOURCE:ROW.INDEX.KIND|SHOWN} or
// {SOURCE:ROW.*NAME|SHOWN}; empty when it is what the model gives.
std::string checkFigure(std::string_view markup,
                        std::map<std::string, std::unique_ptr<Session>>& sessions) {
    const auto colon = markup.find(':');
    const auto bar = markup.rfind('|');
    if (colon == std::string_view::npos || bar == std::string_view::npos || bar < colon)
        return "a figure is {SOURCE:WHAT|SHOWN}";
    const std::string source(markup.substr(1, colon - 1));
    const std::string_view what = markup.substr(colon + 1, bar - colon - 1);
    const std::string shown =
        withMinusSign(std::string(markup.substr(bar + 1, markup.size() - bar - 2)));
    auto& session = sessions[source];
    if (!session)
        session = vm::test::sessionFor(source);
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
    const std::string text =
        figureText(measure->second(*session, std::stoi(std::string(what.substr(0, star)))),
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
                const std::string_view markup =
                    std::string_view(line).substr(open, close - open + 1);
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
    std::ifstream source(kHelpSources / "H0006.txt");
    const std::string text{std::istreambuf_iterator<char>(source), {}};
    for (const vm::record::SpirometricIndex& index : vm::record::kIndices)
        if (index.source == vm::record::IndexSource::curve)
            EXPECT_NE(text.find("- **" + std::string(index.name) + "** – "), std::string::npos)
                << index.name;
}

} // namespace

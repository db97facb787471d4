// The headless runner's command line.

#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <optional>

using namespace vm::cli;
using namespace vm::record;

namespace {

std::vector<std::string> Args(std::initializer_list<const char*> list) {
    return {list.begin(), list.end()};
}

TEST(CliOptions, RunOptionsAreUnderstood) {
    const CliParseResult r =
        parseCommandLine(Args({"run",           "--set",        "rIntermediate=300",
                               "--set",         "left.cm=80.5", "--set",
                               "lobe5.ccc=150", "--set",        "right.rCentral=10",
                               "--global",      "0=50",         "--global",
                               "19=2000",       "--runs",       "3",
                               "--out",         "o.spi",        "--reference",
                               "r.spi",         "--json"}));
    ASSERT_TRUE(r.ok) << r.message;
    const CliOptions& o = r.options;
    EXPECT_EQ(o.command, CliCommand::run);
    struct Expected {
        LungPart part;
        SettingColumn column;
        std::optional<int> item;
        double percent;
    };
    const Expected expected[] = {{kEditedPart, SettingColumn::rIntermediate, {}, 300},
                                 {LungPart::leftLung, SettingColumn::cm, {}, 80.5},
                                 {LungPart::lobe5, SettingColumn::ccc, {}, 150},
                                 {LungPart::rightLung, SettingColumn::rCentral, {}, 10},
                                 {kEditedPart, SettingColumn::rCentral, 0, 50},
                                 {kEditedPart, SettingColumn::rCentral, 19, 2000}};
    ASSERT_EQ(o.run.settings.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const vm::session::SettingName& name = o.run.settings[i].setting;
        EXPECT_EQ(name.globalItem, expected[i].item) << i;
        if (!name.globalItem) {
            EXPECT_TRUE(name.part == expected[i].part && name.column == expected[i].column) << i;
        }
        EXPECT_EQ(o.run.settings[i].percent, expected[i].percent) << i;
    }
    EXPECT_EQ(o.run.runs, 3);
    EXPECT_EQ(o.outFile.value_or(""), "o.spi");
    EXPECT_EQ(o.run.reference.value_or("").string(), "r.spi");
    EXPECT_TRUE(o.json);
}

TEST(CliOptions, DefaultsAndOtherCommands) {
    const CliParseResult run = parseCommandLine(Args({"run"}));
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.options.run.runs, 1);
    EXPECT_FALSE(run.options.json);
    EXPECT_FALSE(run.options.outFile);
    EXPECT_FALSE(run.options.run.reference);

    const CliParseResult make = parseCommandLine(Args({"make-standard", "out/standard.dat"}));
    ASSERT_TRUE(make.ok);
    EXPECT_EQ(make.options.command, CliCommand::makeStandard);
    EXPECT_EQ(make.options.standardFile, "out/standard.dat");

    const CliParseResult from = parseCommandLine(Args({"run", "--from", "f.spi", "--runs", "2"}));
    ASSERT_TRUE(from.ok) << from.message;
    EXPECT_EQ(from.options.run.fromFile.value_or("").string(), "f.spi");
    for (const auto& args :
         {Args({"show", "--json", "f.spi"}), Args({"show", "f.spi", "--json"})}) {
        const CliParseResult show = parseCommandLine(args);
        ASSERT_TRUE(show.ok) << show.message;
        EXPECT_EQ(show.options.command, CliCommand::show);
        EXPECT_EQ(show.options.showFile, "f.spi");
        EXPECT_TRUE(show.options.json);
    }

    for (const char* help : {"help", "--help", "-h"}) {
        const CliParseResult h = parseCommandLine(Args({help}));
        EXPECT_TRUE(h.ok);
        EXPECT_EQ(h.options.command, CliCommand::help);
    }
    EXPECT_NE(usageText().find("--set NAME=PCT"), std::string::npos);
    for (const std::string_view name : kSettingColumnNames)
        EXPECT_NE(usageText().find(name), std::string::npos) << name;
}

// Every bad option or value is refused with a message that names what was wrong.
TEST(CliOptions, BadOptionsAndValuesAreRefusedWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        const char* mentions;
    };
    const Case cases[] = {
        {{}, "no command"},
        {{"simulate"}, "simulate"},
        {{"run", "--bogus"}, "--bogus"},
        {{"run", "--set"}, "--set needs a value"},
        {{"run", "--set", "rIntermediate"}, "NAME=PCT"},
        {{"run", "--set", "resistance=100"}, "resistance"},
        {{"run", "--set", "middle.cm=100"}, "middle"},
        {{"run", "--set", "lobe6.cm=100"}, "lobe6"},
        {{"run", "--set", "lobe0.cm=100"}, "lobe0"},
        {{"run", "--set", "left.=100"}, "unknown setting"},
        {{"run", "--set", "cm="}, "not a number"},
        {{"run", "--set", "cm=abc"}, "abc"},
        {{"run", "--set", "cm=100x"}, "100x"},
        {{"run", "--set", "cm=nan"}, "nan"},
        {{"run", "--set", "cm=inf"}, "inf"},
        {{"run", "--set", "cm= 100"}, "not a number"},
        {{"run", "--set", "cm=1e400"}, "out of range: '1e400'"},
        {{"run", "--set", "cm=1e-400"}, "out of range"},
        {{"run", "--set", "cm=0x64"}, "not a number: '0x64'"},
        {{"run", "--global", "0=0x1p6"}, "not a number"},
        {{"run", "--sweep", "cm=100"}, "--sweep"},
        {{"run", "--jobs", "2"}, "--jobs"},
        {{"sweep"}, "at least one --sweep"},
        {{"sweep", "--runs", "2", "--sweep", "cm=100"}, "--runs"},
        {{"sweep", "--out", "o.spi", "--sweep", "cm=100"}, "--out"},
        {{"sweep", "--sweep", "cm"}, "NAME=VALUES"},
        {{"sweep", "--sweep", "bogus=100"}, "bogus"},
        {{"sweep", "--sweep", "global.20=100"}, "0..19"},
        {{"sweep", "--sweep", "cm=100", "--sweep", "cm=50"}, "twice"},
        // One setting in two spellings: the later axis would overwrite the earlier one.
        {{"sweep", "--sweep", "global.2=50,200", "--sweep", "global.02=150"}, "global.2 given"},
        {{"sweep", "--sweep", "global.0=50", "--sweep", "global.+0=150"}, "global.0 given"},
        {{"sweep", "--sweep", "cm=10:2000:+1", "--sweep", "ccc=10:2000:+1"}, "100000 points"},
        {{"sweep", "--sweep", "cm=100", "--jobs", "0"}, "--jobs"},
        {{"sweep", "--sweep", "cm=100", "--jobs", "0x2"}, "--jobs"},
        {{"export", "a.spi"}, "--to FOLDER"},
        {{"export", "--to", "out"}, "FILE"},
        {{"export", "a.spi", "b.spi", "--to", "out"}, "FILE"},
        {{"export", "a.spi", "--to", ""}, "FOLDER"},
        {{"run", "--set", "cm=9.9"}, "outside"},
        {{"run", "--set", "cm=2000.1"}, "outside"},
        {{"run", "--set", "cm=-100"}, "outside"},
        {{"run", "--global", "20=100"}, "0..19"},
        {{"run", "--global", "-1=100"}, "0..19"},
        {{"run", "--global", "1.5=100"}, "0..19"},
        {{"run", "--global", "0"}, "I=PCT"},
        {{"run", "--global", "0=0"}, "outside"},
        {{"run", "--runs", "0"}, "--runs"},
        {{"run", "--runs", "1001"}, "--runs"},
        {{"run", "--runs", "two"}, "two"},
        {{"run", "--runs", "99999999999999999999"}, "--runs"},
        {{"run", "--out"}, "--out needs a value"},
        {{"run", "--out", ""}, "file name"},
        {{"run", "--reference", ""}, "file name"},
        {{"run", "--from", ""}, "file name"},
        {{"run", "--from", "a.spi", "--reference", "b.spi"}, "together"},
        {{"show"}, "FILE"},
        {{"show", "a.spi", "b.spi"}, "FILE"},
        {{"show", "--runs", "2", "a.spi"}, "FILE"},
        {{"make-standard"}, "FILE"},
        {{"make-standard", "a", "b"}, "FILE"},
        {{"make-standard", "--json"}, "FILE"},
    };
    for (const Case& c : cases) {
        const CliParseResult r = parseCommandLine(c.args);
        std::string joined;
        for (const auto& a : c.args)
            joined += a + " ";
        EXPECT_FALSE(r.ok) << joined;
        EXPECT_NE(r.message.find(c.mentions), std::string::npos) << joined << "-> " << r.message;
    }
}

TEST(CliOptions, SweepAndExportAreUnderstood) {
    const CliParseResult r =
        parseCommandLine(Args({"sweep", "--sweep", "left.rIntermediate=100:1600:x2", "--set",
                               "cm=90", "--sweep", "global.0=50,100", "--jobs", "3", "--json"}));
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.options.command, CliCommand::sweep);
    ASSERT_EQ(r.options.sweepAxes.size(), 2u);
    const vm::session::SweepAxis& first = r.options.sweepAxes[0];
    EXPECT_EQ(first.setting.text, "left.rIntermediate");
    EXPECT_EQ(first.setting.part, LungPart::leftLung);
    EXPECT_EQ(first.setting.column, SettingColumn::rIntermediate);
    EXPECT_EQ(first.percents, (std::vector<double>{100, 200, 400, 800, 1600}));
    EXPECT_EQ(r.options.sweepAxes[1].setting.globalItem, GlobalItem::expirationDepth);
    EXPECT_EQ(r.options.jobs, 3);
    EXPECT_EQ(r.options.run.settings.size(), 1u);

    const CliParseResult e = parseCommandLine(Args({"export", "a.spi", "--to", "out"}));
    ASSERT_TRUE(e.ok) << e.message;
    EXPECT_EQ(e.options.command, CliCommand::exportFiles);
    EXPECT_EQ(e.options.exportFile, "a.spi");
    EXPECT_EQ(e.options.exportFolder, "out");
}

// Lists, geometric and arithmetic ranges, and what a range refuses.
TEST(CliOptions, SweepValues) {
    struct Case {
        const char* text;
        std::vector<double> percents; // empty: refused with `mentions`
        const char* mentions;
    };
    const Case cases[] = {
        {"50,100,150", {50, 100, 150}, ""},
        {"100", {100}, ""},
        {"100:1600:x2", {100, 200, 400, 800, 1600}, ""},
        {"100:1000:x2", {100, 200, 400, 800}, ""},
        {"50:150:+25", {50, 75, 100, 125, 150}, ""},
        {"10:10.3:+0.1", {10, 10.1, 10.2, 10.3}, ""},
        {"50,abc", {}, "abc"},
        {"50,5", {}, "outside"},
        {"100:50:+10", {}, "upwards"},
        {"100:200:x1", {}, "factor"},
        {"100:200:+0", {}, "above 0"},
        {"100:200:+-5", {}, "above 0"},
        {"100:200:*2", {}, "xFACTOR"},
        {"100:200", {}, "FROM:TO"},
        {"100:200:x0x2", {}, "not a number"},
        {"100:200:x1e400", {}, "out of range"},
    };
    for (const Case& c : cases) {
        std::vector<double> percents;
        const std::string problem = vm::session::parseSweepValues(c.text, percents);
        if (c.percents.empty()) {
            EXPECT_NE(problem.find(c.mentions), std::string::npos) << c.text << " -> " << problem;
            continue;
        }
        EXPECT_EQ(problem, "") << c.text;
        ASSERT_EQ(percents.size(), c.percents.size()) << c.text;
        for (std::size_t i = 0; i < percents.size(); ++i)
            EXPECT_NEAR(percents[i], c.percents[i], 1e-9) << c.text << " " << i;
    }
}

} // namespace

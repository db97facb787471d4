// The headless runner's command line.

#include "cli/cli_options.h"

#include <gtest/gtest.h>

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
    ASSERT_EQ(o.partSettings.size(), 4u);
    struct Expected {
        LungPart part;
        SettingColumn column;
        double percent;
    };
    const Expected expected[] = {{kEditedPart, SettingColumn::rIntermediate, 300},
                                 {LungPart::leftLung, SettingColumn::cm, 80.5},
                                 {LungPart::lobe5, SettingColumn::ccc, 150},
                                 {LungPart::rightLung, SettingColumn::rCentral, 10}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(o.partSettings[i].part, expected[i].part) << i;
        EXPECT_EQ(o.partSettings[i].column, expected[i].column) << i;
        EXPECT_EQ(o.partSettings[i].percent, expected[i].percent) << i;
    }
    ASSERT_EQ(o.globalSettings.size(), 2u);
    EXPECT_EQ(o.globalSettings[0].item, GlobalItem::expirationDepth);
    EXPECT_EQ(o.globalSettings[0].percent, 50);
    EXPECT_EQ(o.globalSettings[1].item, 19);
    EXPECT_EQ(o.runs, 3);
    EXPECT_EQ(o.outFile.value_or(""), "o.spi");
    EXPECT_EQ(o.referenceFile.value_or(""), "r.spi");
    EXPECT_TRUE(o.json);
}

TEST(CliOptions, DefaultsAndOtherCommands) {
    const CliParseResult run = parseCommandLine(Args({"run"}));
    ASSERT_TRUE(run.ok);
    EXPECT_EQ(run.options.runs, 1);
    EXPECT_FALSE(run.options.json);
    EXPECT_FALSE(run.options.outFile);
    EXPECT_FALSE(run.options.referenceFile);

    const CliParseResult make = parseCommandLine(Args({"make-standard", "out/standard.dat"}));
    ASSERT_TRUE(make.ok);
    EXPECT_EQ(make.options.command, CliCommand::makeStandard);
    EXPECT_EQ(make.options.standardFile, "out/standard.dat");

    const CliParseResult from = parseCommandLine(Args({"run", "--from", "f.spi", "--runs", "2"}));
    ASSERT_TRUE(from.ok) << from.message;
    EXPECT_EQ(from.options.fromFile.value_or(""), "f.spi");
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

} // namespace

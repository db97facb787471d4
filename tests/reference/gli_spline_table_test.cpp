// The spline table's strict parser: a well-formed table is read and interpolated, and each kind
// of damaged or hostile table is refused with a message that says where and what.

#include "reference/gli_spline_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

using namespace vm::reference;

namespace {

// A complete table whose Mspline is the age / 100 and Sspline minus that.
std::vector<std::string> wellFormedLines() {
    std::vector<std::string> lines{"sex,index,age,m_spline,s_spline"};
    for (const char* sex : {"female", "male"})
        for (const char* index : {"FEV1", "FVC", "FEV1FVC"})
            for (int i = 0; i < kTabulatedAges; ++i) {
                const std::string age = std::to_string(3 + i * 0.25);
                lines.push_back(std::string(sex) + "," + index + "," + age + "," +
                                std::to_string((3 + i * 0.25) / 100) + ",-" +
                                std::to_string((3 + i * 0.25) / 100));
            }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

TEST(GliSplineTable, ReadsAndInterpolatesAWellFormedTable) {
    for (const char* end : {"\n", "\r\n"}) {
        GliSplineTable table;
        const auto parsed = parseGliSplineTable(joined(wellFormedLines(), end), table);
        ASSERT_TRUE(parsed.ok) << parsed.message;
        // 25.1 y: 0.4 of the way from 0.25 to 0.2525.
        EXPECT_NEAR(table.at(Sex::female, ReferenceIndex::fev1Fvc, 25.1).s, -0.251, 1e-12);
    }
}

TEST(GliSplineTable, RefusesDamagedTablesAndKeepsTheOldOne) {
    // Line 2 is female FEV1 at 3 y, line 3 at 3.25 y; line 370 is the last female FEV1 line.
    const struct {
        const char* what;
        int line;              // line to replace (1-based), minus the line to delete, or 0
        std::string_view with; // its replacement
        std::size_t keepLines; // only this many lines, 0 for all
        const char* message;   // a part of the message
    } damaged[] = {
        {"another header", 1, "sex,index,age,m,s", 0, "line 1: the header"},
        {"four fields", 2, "female,FEV1,3,0.03", 0, "line 2: 4 fields"},
        {"an unknown sex", 2, "Female,FEV1,3,0.03,-0.03", 0, "the sex \"Female\""},
        {"an unknown index", 2, "female,FEV1/FVC,3,0.03,-0.03", 0, "the index \"FEV1/FVC\""},
        {"trailing text", 2, "female,FEV1,3x,0.03,-0.03", 0, "\"3x\" is not a finite number"},
        {"not a number", 2, "female,FEV1,3,nan,-0.03", 0, "\"nan\" is not a finite"},
        {"an overflow", 2, "female,FEV1,3,0.03,-1e999", 0, "\"-1e999\" is not a finite"},
        {"a NUL byte", 2, {"female,FEV1,3,0.0\0003,-0.03", 25}, 0, "finite"},
        {"an absurd term", 2, "female,FEV1,3,5,-0.03", 0, "line 2: the spline term 5 is beyond"},
        {"a missing age", -3, "", 0, "line 3: the age 3.5 of female FEV1 is out of order"},
        {"a repeated age", 3, "female,FEV1,3,0.03,-0.03", 0, "the table needs 3.25 here"},
        {"an age too many", 371, "female,FEV1,95.25,0.9,-0.9", 0, "more than 369 ages"},
        {"a cut-off table", 0, "", 1000, "male FEV1 has 0 of its 369 ages"},
    };
    GliSplineTable table;
    ASSERT_TRUE(parseGliSplineTable(joined(wellFormedLines()), table).ok);
    for (const auto& d : damaged) {
        SCOPED_TRACE(d.what);
        std::vector<std::string> lines = wellFormedLines();
        if (d.line > 0)
            lines[static_cast<std::size_t>(d.line - 1)] = d.with;
        else if (d.line < 0)
            lines.erase(lines.begin() + (-d.line - 1));
        if (d.keepLines > 0)
            lines.resize(d.keepLines);
        const auto parsed = parseGliSplineTable(joined(lines), table);
        EXPECT_FALSE(parsed.ok);
        EXPECT_NE(parsed.message.find(d.message), std::string::npos) << parsed.message;
        EXPECT_NEAR(table.at(Sex::male, ReferenceIndex::fvc, 25.1).m, 0.251, 1e-12);
    }
    EXPECT_EQ(parseGliSplineTable("", table).message, "the table is empty");
}

TEST(GliSplineTable, RefusesMissingAndOversizedFiles) {
    GliSplineTable table;
    EXPECT_FALSE(loadGliSplineTable("/nonexistent/gli.csv", table).ok);

    const std::string oversized = testing::TempDir() + "oversized-gli.csv";
    std::ofstream(oversized) << joined(wellFormedLines())
                             << std::string(kGliSplineFileMaxBytes, '#');
    EXPECT_NE(loadGliSplineTable(oversized, table).message.find("File too large"),
              std::string::npos);
}

} // namespace

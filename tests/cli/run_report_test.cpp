// The headless runner's JSON line: every single-precision value reads back unchanged.

#include "cli/run_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace vm::record;
using namespace vm::cli;

namespace {

// The number that follows "key": in the line.
float ReadBack(const std::string& line, const std::string& key) {
    const auto at = line.find("\"" + key + "\":");
    EXPECT_NE(at, std::string::npos) << key;
    return std::strtof(line.c_str() + at + key.size() + 3, nullptr);
}

TEST(RunReport, JsonValuesRoundTripAndSamplesStopAtTheEndMarks) {
    SimulationRecord record;
    // Values that need all nine digits, or that six digits would round to a neighbour.
    const float awkward[] = {1.0f / 3.0f, std::nextafter(2.5f, 3.0f), -0.862178206f, 1e-7f,
                             8.58076286f};
    const RowField fields[] = {RowField::fev1, RowField::pef, RowField::flowAt1s, RowField::erv,
                               RowField::tlc};
    for (int i = 0; i < 5; ++i)
        record.setField(workingRow, fields[i], awkward[i]);
    record.setFvVolume(workingRow, 1, 4.5f);
    record.setFvFlow(workingRow, 1, awkward[0]);
    record.setFvVolume(workingRow, 2, 4.25f);
    record.setFvFlow(workingRow, 2, -2.0f);
    record.setFvFlow(workingRow, 3, -9.0f); // no volume: past the end of the curve
    record.setVtTime(workingRow, 1, 0.1f);
    record.setVtVolume(workingRow, 1, 3.0f);

    const std::string line = RunJson(record, 7);
    ASSERT_FALSE(line.empty());
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_EQ(line.rfind("{\"run\":7,", 0), 0u);
    const char* names[] = {"fev1", "pef", "flowAt1s", "erv", "tlc"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ReadBack(line, names[i]), awkward[i]) << names[i];
    EXPECT_NE(line.find("\"fvSamples\":[[4.5,0.333333343],[4.25,-2]]"), std::string::npos)
        << line;
    EXPECT_NE(line.find("\"vtSamples\":[[0.100000001,3]]"), std::string::npos) << line;
}

} // namespace

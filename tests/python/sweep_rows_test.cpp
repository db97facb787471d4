// A sweep's CSV read back as the values the record and the grid held.

#include "python/sweep_rows.h"

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vm::python;

namespace {

// A line of 14 indices: the status word, then values as the sweep prints them.
std::string indexFields(const std::string& first) {
    std::string fields = first;
    for (std::size_t i = 1; i < vm::record::kRowIndices.size(); ++i)
        fields += "," + std::to_string(i);
    return fields;
}

TEST(SweepRows, ValuesReadBackAsTheRecordAndTheGridHeldThem) {
    const std::string csv = "# shard 1/1 of 2 points, grid 1\n"
                            "point,cm,global.0,status,fev1,...\n"
                            "0,112.5,0.1,valid," +
                            indexFields("0.100000001") + "\n7,50,100,dead," + indexFields("") +
                            "\n";
    std::vector<SweepRow> rows;
    ASSERT_EQ(readSweepRows(csv, 2, rows), "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].point, 0u);
    EXPECT_EQ(rows[0].percents, (std::vector<double>{112.5, 0.1}));
    EXPECT_EQ(rows[0].status, "valid");
    // Nine digits give back the single-precision number, not the nearest double.
    EXPECT_EQ(rows[0].indices[0], static_cast<double>(0.1f));
    EXPECT_EQ(rows[0].indices[13], 13.0);
    EXPECT_EQ(rows[1].point, 7u);
    EXPECT_EQ(rows[1].status, "dead");
    EXPECT_TRUE(std::isnan(rows[1].indices[0]));
}

TEST(SweepRows, ALineThatDoesNotReadIsNamed) {
    for (const std::string& line :
         std::vector<std::string>{"0,50,valid," + indexFields("1") + ",2", // a field too many
                                  "0,50,valid,1,2",                        // too few
                                  "x,50,valid," + indexFields("1"),        // no point
                                  "0,,valid," + indexFields("1"),          // no percent
                                  "0,50,valid," + indexFields("1e")}) {
        std::vector<SweepRow> rows;
        EXPECT_EQ(readSweepRows("point,cm\n" + line + "\n", 1, rows),
                  "a sweep line that does not read: " + line.substr(0, 80));
    }
}

} // namespace

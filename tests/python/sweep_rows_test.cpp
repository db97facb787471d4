// A sweep's CSV read back as the values the record, the curves and the grid gave.

#include "python/sweep_rows.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vm::python;

namespace {

TEST(SweepTable, ColumnsReadBackAsTheRecordAndTheGridHeldThem) {
    const std::string csv = "# shard 1/1 of 2 points, grid 1\n"
                            "point,cm,status,fev1,fef25to75,pattern\n"
                            "0,112.5,valid,0.100000001,0.1,normal\n"
                            "7,50,dead,,,\n";
    SweepTable table;
    ASSERT_EQ(readSweepTable(csv, table), "");
    EXPECT_EQ(table.columns,
              (std::vector<std::string>{"point", "cm", "status", "fev1", "fef25to75", "pattern"}));
    ASSERT_EQ(table.rows.size(), 2u);
    // A stored index's nine digits give back the single-precision number, not the nearest
    // double; an index read from the curves is a double in its shortest text.
    using Cells = std::vector<SweepCell>;
    EXPECT_EQ(table.rows[0], (Cells{std::size_t{0}, 112.5, std::string("valid"),
                                    static_cast<double>(0.1f), 0.1, std::string("normal")}));
    const auto& second = table.rows[1];
    EXPECT_EQ(std::get<std::size_t>(second[0]), 7u);
    for (std::size_t c = 3; c < 6; ++c)
        EXPECT_TRUE(std::isnan(std::get<double>(second[c]))) << c;
}

TEST(SweepTable, ALineThatDoesNotReadIsNamed) {
    for (const std::string line : {"0,50,valid,1,2", "0,50,valid", "x,50,valid,1", "-1,50,valid,1",
                                   "0,50,valid,1e", "0,50,valid,two"}) {
        SweepTable table;
        EXPECT_EQ(readSweepTable("point,cm,status,fev1\n" + line + "\n", table),
                  "a sweep line that does not read: " + line);
    }
}

} // namespace

// The standard record: the reference every result is compared with, made by this model.

#include "model/forced_expiration_run.h"
#include "record/record_file.h"
#include "session/standard_record.h"
#include "standard_indices.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vm::record;
using namespace vm::session;

using namespace layout;

namespace {

TEST(StandardRecord, OneValidRunAtHundredInRowZeroAndNothingElse) {
    SimulationRecord standard;
    std::string message;
    ASSERT_TRUE(MakeStandardRecord(standard, message)) << message;
    const auto field = [&](RowField f) { return standard.field(referenceRow, f); };

    EXPECT_EQ(field(RowField::runStatus), 1.0f);
    EXPECT_EQ(field(RowField::modelVariant), 1.0f);
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kPartColumns; ++c)
            EXPECT_EQ(standard.partSetting(referenceRow, p, c),
                      c < kSettingColumns ? 100.0f : 0.0f);
    for (int i = 0; i < kGlobalItems; ++i)
        EXPECT_EQ(standard.globalSetting(referenceRow, i), 100.0f);
    for (int row = 1; row < kRowCount; ++row) {
        const auto bytes = standard.rowBytes(row);
        EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == 0; })) << row;
    }

    // A healthy adult's spirometry: the standard is "normal" by definition.
    EXPECT_GT(field(RowField::fev1), 2.5f);
    EXPECT_LT(field(RowField::fev1), 5.0f);
    EXPECT_GT(field(RowField::fvcex), 3.0f);
    EXPECT_LT(field(RowField::fvcex), 6.0f);
    EXPECT_GT(field(RowField::fev1PctFvc), 70.0f);
    EXPECT_LT(field(RowField::fev1PctFvc), 90.0f);
    EXPECT_GT(field(RowField::pef), 6.0f);
    EXPECT_LT(field(RowField::pef), 12.0f);
    EXPECT_GT(field(RowField::tlc), 5.0f);
    EXPECT_LT(field(RowField::tlc), 7.5f);
    EXPECT_GT(field(RowField::frc), 2.0f);
    EXPECT_LT(field(RowField::frc), 4.0f);
    EXPECT_GT(field(RowField::erv), 0.5f);
    EXPECT_LT(field(RowField::erv), 2.0f);
    // Flow falls as the lungs empty; the forced expiration lasts seconds, not a blink.
    EXPECT_GT(field(RowField::pef), field(RowField::mef75));
    EXPECT_GT(field(RowField::mef75), field(RowField::mef50));
    EXPECT_GT(field(RowField::mef50), field(RowField::mef25));
    EXPECT_GT(field(RowField::mef25), 0.0f);
    EXPECT_LT(field(RowField::fev1), field(RowField::fvcex));
    EXPECT_GT(field(RowField::fet), 1.0f);
    EXPECT_LT(field(RowField::flowAt1s), 0.0f); // still breathing out one second in

    // The pinned standard indices.
    using namespace standard_indices;
    EXPECT_NEAR(field(RowField::fev1), fev1, 1e-5);
    EXPECT_NEAR(field(RowField::fvcex), fvcex, 1e-5);
    EXPECT_NEAR(field(RowField::fev1PctFvc), fev1PctFvc, 1e-3);
    EXPECT_NEAR(field(RowField::pef), pef, 1e-5);
    EXPECT_NEAR(field(RowField::mef75), mef75, 1e-5);
    EXPECT_NEAR(field(RowField::mef50), mef50, 1e-5);
    EXPECT_NEAR(field(RowField::mef25), mef25, 1e-5);
    EXPECT_NEAR(field(RowField::erv), erv, 1e-5);
    EXPECT_NEAR(field(RowField::flowAt1s), flowAt1s, 1e-5);
    EXPECT_NEAR(field(RowField::frc), frc, 1e-5);
    EXPECT_NEAR(field(RowField::tlc), tlc, 1e-5);
    EXPECT_NEAR(field(RowField::fet), fet, 1e-5);

    // The record the build put beside the programs is this one, byte for byte.
    SimulationRecord built;
    const FileResult read = readRecordFile(VM_STANDARD_RECORD_PATH, built);
    ASSERT_TRUE(read.ok) << read.message;
    const auto a = built.bytes();
    const auto b = standard.bytes();
    EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin()));
}

} // namespace

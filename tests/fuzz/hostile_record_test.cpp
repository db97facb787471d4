// Hostile simulation files, made by the test itself: each is refused with the file layer's
// message or opened and shown whole (tables, plots, a replay), without a crash, a hang or more
// than the memory ceiling.

#include "peak_memory.h"
#include "record/index_table.h"
#include "record/simulation_record.h"
#include "record_display.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

using namespace vm::record;
using vm::fuzz::openAndShow;

namespace {

constexpr std::size_t kRecord = layout::kRecordBytes;

// Every float of the record set to v.
std::string everyFloat(float v) {
    std::string bytes(kRecord, '\0');
    for (std::size_t at = 0; at + 4 <= kRecord; at += 4)
        std::memcpy(bytes.data() + at, &v, 4);
    return bytes;
}

std::string randomRecord(unsigned seed, std::size_t size = kRecord) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xFF);
    return bytes;
}

// Row 1 holds a curve whose settings, indices and samples are all `v`.
std::string oneResultOf(float v) {
    SimulationRecord record;
    for (int n = 1; n <= layout::kFvSamples; ++n) {
        record.setFvVolume(1, n, n == 1 ? 1.0f : v);
        record.setFvFlow(1, n, v);
    }
    for (int k = 1; k <= layout::kVtSamples; ++k)
        record.setVtVolume(1, k, v);
    for (int f = 0; f < kStoredIndexCount; ++f)
        record.setField(1, static_cast<RowField>(f), v);
    for (int part = 0; part < layout::kParts; ++part)
        for (int column = 0; column < layout::kPartColumns; ++column)
            record.setPartSetting(1, part, column, v);
    for (int item = 0; item < layout::kGlobalItems; ++item)
        record.setGlobalSetting(1, item, v);
    const auto bytes = record.bytes();
    return std::string(bytes.begin(), bytes.end());
}

struct HostileRecord {
    const char* name;
    std::string bytes;
    bool refused;
};

} // namespace

TEST(HostileFiles, RecordsAreRefusedOrShown) {
    constexpr float nan = std::numeric_limits<float>::quiet_NaN();
    constexpr float inf = std::numeric_limits<float>::infinity();
    const HostileRecord cases[] = {
        {"empty", "", true},
        {"short", std::string(1000, '\1'), true},
        {"one byte short", std::string(kRecord - 1, '\0'), true},
        {"zeros", std::string(kRecord, '\0'), false},
        {"long", randomRecord(1, kRecord + 5000), false},
        {"random", randomRecord(2), false},
        {"NaN everywhere", everyFloat(nan), false},
        {"infinity everywhere", everyFloat(-inf), false},
        {"largest float everywhere", everyFloat(std::numeric_limits<float>::max()), false},
        {"bytes 0xFF", std::string(kRecord, '\xFF'), false},
        {"a result of NaN", oneResultOf(nan), false},
        {"a result of zero settings", oneResultOf(0.0f), false},
        {"a result of negative settings", oneResultOf(-250.0f), false},
        {"a result of huge counts", oneResultOf(2.0e9f), false},
        {"a result of tiny values", oneResultOf(std::numeric_limits<float>::denorm_min()), false},
    };
    TempFolder folder;
    for (const HostileRecord& c : cases) {
        SCOPED_TRACE(c.name);
        writeFileBytes(folder / "hostile.spi", c.bytes);
        const auto refusal = openAndShow(folder / "hostile.spi", {322, 242});
        EXPECT_EQ(refusal.has_value(), c.refused);
        if (refusal) {
            EXPECT_NE(refusal->find("Read beyond end of file"), std::string::npos) << *refusal;
        }
        EXPECT_LT(vm::fuzz::peakResidentMb(), vm::fuzz::kMemoryCeilingMb);
    }
}

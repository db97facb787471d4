#include "record/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm::record;

using namespace layout;
namespace fs = std::filesystem;

namespace {

class RecordFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("vm_record_file_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }
    void writeBytes(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    fs::path dir_;
};

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> v(n);
    for (auto& b : v)
        b = static_cast<std::uint8_t>(gen());
    return v;
}

// Reserved, padding and unused areas hold arbitrary bytes; a read-write round trip keeps them.
TEST_F(RecordFileTest, RoundTripIsByteIdenticalIncludingUnusedAreas) {
    const auto original = randomBytes(kRecordBytes, 42);
    writeBytes(dir_ / "in.spi", original);
    SimulationRecord r;
    ASSERT_TRUE(readRecordFile(dir_ / "in.spi", r).ok);
    ASSERT_TRUE(writeRecordFile(dir_ / "out.spi", r).ok);
    std::ifstream in(dir_ / "out.spi", std::ios::binary);
    std::vector<std::uint8_t> back((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(back.size(), kRecordBytes);
    EXPECT_TRUE(back == original);
    EXPECT_FALSE(fs::exists(dir_ / "out.spi.part"));
}

TEST_F(RecordFileTest, ShortMissingAndUnreadableFilesLeaveTheRecordUntouched) {
    SimulationRecord r;
    r.setField(0, RowField::fev1, 3.5f);
    const auto before = std::vector<std::uint8_t>(r.bytes().begin(), r.bytes().end());

    writeBytes(dir_ / "short.spi", randomBytes(kRecordBytes - 1, 1));
    auto res = readRecordFile(dir_ / "short.spi", r);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find("Read beyond end of file"), std::string::npos) << res.message;

    res = readRecordFile(dir_ / "missing.spi", r);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find("File not found"), std::string::npos) << res.message;

    res = readRecordFile(dir_, r); // a folder is not a record
    EXPECT_FALSE(res.ok);

    EXPECT_TRUE(std::equal(before.begin(), before.end(), r.bytes().begin()));
}

TEST_F(RecordFileTest, OversizedFileReadsTheFirstRecordOnly) {
    auto bytes = randomBytes(kRecordBytes + 100, 7);
    writeBytes(dir_ / "big.spi", bytes);
    SimulationRecord r;
    ASSERT_TRUE(readRecordFile(dir_ / "big.spi", r).ok);
    EXPECT_TRUE(std::equal(r.bytes().begin(), r.bytes().end(), bytes.begin()));
}

TEST_F(RecordFileTest, WritingIntoAReadOnlyFolderFailsAndLeavesNothing) {
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                              fs::perms::others_exec);
    // Root ignores folder permissions, so the write is tried by an unprivileged child.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && ::setuid(65534) != 0)
            ::_exit(3);
        SimulationRecord r;
        const auto res = writeRecordFile(dir_ / "x.spi", r);
        const bool denied = !res.ok && res.message.find("File access denied") != std::string::npos;
        ::_exit(denied ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(dir_ / "x.spi"));
    EXPECT_FALSE(fs::exists(dir_ / "x.spi.part"));
}

TEST_F(RecordFileTest, WritingIntoAMissingFolderFails) {
    SimulationRecord r;
    const auto res = writeRecordFile(dir_ / "nofolder" / "x.spi", r);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find("File not found"), std::string::npos) << res.message;
}

} // namespace

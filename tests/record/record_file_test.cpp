#include "record/record_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
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
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 2) << "a temporary file is left";
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

// What the user chose stays what it was: a symbolic link is written through, a regular file keeps
// its permission bits, a device or FIFO is written in place and its failure reported.
TEST_F(RecordFileTest, WritingKeepsTheKindOfTargetAndReportsDeviceErrors) {
    SimulationRecord r;
    std::copy_n(randomBytes(kRecordBytes, 3).begin(), kRecordBytes, r.bytes().begin());
    const std::vector<std::uint8_t> recordBytes(r.bytes().begin(), r.bytes().end());
    writeBytes(dir_ / "private.spi", {1, 2, 3});
    fs::permissions(dir_ / "private.spi", fs::perms::owner_read | fs::perms::owner_write);
    writeBytes(dir_ / "linked.spi", {1, 2, 3});
    fs::create_symlink("linked.spi", dir_ / "link.spi");
    fs::create_symlink("/dev/full", dir_ / "full.spi");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.spi").c_str(), 0600), 0);

    const struct {
        const char* name;
        const char* error; // nullptr: the write succeeds
        fs::file_type kept;
        const char* holder; // the file that then holds the record
    } cases[] = {
        {"private.spi", nullptr, fs::file_type::regular, "private.spi"},
        {"link.spi", nullptr, fs::file_type::symlink, "linked.spi"},
        {"full.spi", "Disk full", fs::file_type::symlink, nullptr},
        {"fifo.spi", "No such device or address", fs::file_type::fifo, nullptr},
    };
    for (const auto& c : cases) {
        const FileResult res = writeRecordFile(dir_ / c.name, r);
        EXPECT_EQ(res.ok, c.error == nullptr) << c.name << ": " << res.message;
        if (c.error) {
            EXPECT_NE(res.message.find(c.error), std::string::npos) << res.message;
        }
        EXPECT_EQ(fs::symlink_status(dir_ / c.name).type(), c.kept) << c.name;
        if (c.holder) {
            std::ifstream in(dir_ / c.holder, std::ios::binary);
            EXPECT_TRUE(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}) ==
                        recordBytes)
                << c.name;
        }
        EXPECT_FALSE(fs::exists(dir_ / (std::string(c.name) + ".part"))) << c.name;
    }
    EXPECT_EQ(fs::status(dir_ / "private.spi").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(RecordFileTest, ReadingRefusesWhatIsNotARegularFile) {
    ASSERT_EQ(::mkfifo((dir_ / "fifo.spi").c_str(), 0600), 0);
    for (const fs::path& p : {fs::path("/dev/zero"), dir_ / "fifo.spi"}) {
        SimulationRecord r;
        const FileResult res = readRecordFile(p, r);
        EXPECT_FALSE(res.ok) << p;
        EXPECT_EQ(res.message, "File access denied: " + p.string() + " (not a regular file)");
    }
}

TEST_F(RecordFileTest, WritableTargetIsCheckedBeforeAnyWork) {
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/full", dir_ / "full");
    const struct {
        fs::path path;
        const char* error;
    } cases[] = {
        {dir_ / "new.spi", nullptr},
        {dir_ / "full", nullptr},
        {dir_ / "absent" / "x.spi", "File not found"},
        {dir_ / "folder", "File access denied"},
        {dir_ / "fifo", "No such device or address"},
    };
    for (const auto& c : cases) {
        const FileResult res = checkWritableTarget(c.path);
        EXPECT_EQ(res.ok, c.error == nullptr) << c.path << ": " << res.message;
        if (c.error) {
            EXPECT_NE(res.message.find(c.error), std::string::npos) << res.message;
        }
    }
    EXPECT_FALSE(fs::exists(dir_ / "new.spi"));
}

// A save replaces only a file the user may write, as a shell's redirection does: tried by an
// unprivileged child (root may write any file) on its own read-only file and, in a folder both may
// write, on another user's file.
TEST_F(RecordFileTest, ASaveRefusesAFileTheUserMayNotWrite) {
    fs::permissions(dir_, fs::perms::all); // no sticky bit, which would keep others' files
    writeBytes(dir_ / "others.spi", {1, 2, 3});
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool root = ::geteuid() == 0;
        if (root && ::setuid(65534) != 0)
            ::_exit(64);
        writeBytes(dir_ / "own.spi", {4, 5, 6});
        fs::permissions(dir_ / "own.spi", fs::perms::owner_read);
        int accepted = 0;
        for (const std::string name : {"own.spi", root ? "others.spi" : "own.spi"})
            for (const FileResult& res :
                 {writeRecordFile(dir_ / name, {}), checkWritableTarget(dir_ / name)})
                accepted += res.message.find("File access denied") == std::string::npos;
        ::_exit(accepted);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const char* name : {"own.spi", "others.spi"})
        EXPECT_EQ(fs::file_size(dir_ / name), 3u) << name;
}

// Each save writes a temporary file of its own under a short name: another writer's file in
// progress (by the name every save once shared) is left alone, and the longest name is saved.
TEST_F(RecordFileTest, EachSaveWritesThroughATemporaryFileOfItsOwn) {
    writeBytes(dir_ / "x.spi.part", {7, 7, 7});
    for (const std::string& name : {std::string("x.spi"), std::string(251, 'n') + ".spi"})
        EXPECT_EQ(writeRecordFile(dir_ / name, {}).message, "") << name.size();
    EXPECT_EQ(fs::file_size(dir_ / "x.spi.part"), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 3);
}

} // namespace

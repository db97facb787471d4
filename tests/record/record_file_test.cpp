#include "record/record_file.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
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

std::vector<std::uint8_t> fileBytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A save replaces only a file the user may write, as a shell's redirection does, though renaming
// over it needs no more than the folder's permission. Root may write any file, so the saves are
// tried by an unprivileged child: its own read-only file, and, when the test can make one,
// another user's file in a folder both may write.
TEST_F(RecordFileTest, ASaveRefusesAFileTheUserMayNotWrite) {
    const bool root = ::geteuid() == 0;
    const fs::path shared = dir_ / "shared";
    fs::create_directory(shared);
    fs::permissions(dir_, fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(shared, fs::perms::all); // no sticky bit, which would keep others' files
    writeBytes(shared / "others.spi", {1, 2, 3});
    fs::permissions(shared / "others.spi", fs::perms::owner_read | fs::perms::owner_write |
                                               fs::perms::group_read | fs::perms::others_read);
    struct stat othersBefore {};
    ASSERT_EQ(::stat((shared / "others.spi").c_str(), &othersBefore), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (root && ::setuid(65534) != 0)
            ::_exit(64);
        writeBytes(shared / "own.spi", {4, 5, 6});
        fs::permissions(shared / "own.spi",
                        fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        const SimulationRecord r;
        int failures = 0;
        const std::pair<const char*, bool> targets[] = {{"own.spi", true}, {"others.spi", root}};
        for (int t = 0; t < 2; ++t) {
            const auto& [name, applies] = targets[t];
            if (!applies)
                continue;
            const FileResult written = writeRecordFile(shared / name, r);
            const FileResult checked = checkWritableTarget(shared / name);
            for (const FileResult* res : {&written, &checked})
                if (res->ok || res->message.find("File access denied") == std::string::npos)
                    failures |= res == &written ? 1 << (2 * t) : 2 << (2 * t);
        }
        ::_exit(failures);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "bits 1, 2: own file written, checked as writable; "
                                         "4, 8: the same of another user's file";
    EXPECT_TRUE(fileBytes(shared / "own.spi") == std::vector<std::uint8_t>({4, 5, 6}));
    EXPECT_EQ(fs::status(shared / "own.spi").permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_TRUE(fileBytes(shared / "others.spi") == std::vector<std::uint8_t>({1, 2, 3}));
    struct stat othersAfter {};
    ASSERT_EQ(::stat((shared / "others.spi").c_str(), &othersAfter), 0);
    EXPECT_EQ(othersAfter.st_uid, othersBefore.st_uid);
    EXPECT_EQ(othersAfter.st_ino, othersBefore.st_ino);
    EXPECT_EQ(namesIn(shared), (std::set<std::string>{"others.spi", "own.spi"}));
}

// Every save goes through a temporary file of its own: another writer's file in progress is left
// alone, a name as long as the folder takes can be saved, and of writers saving one file at once
// each one's report is true and the file ends whole.
TEST_F(RecordFileTest, EachSaveWritesThroughATemporaryFileOfItsOwn) {
    const SimulationRecord r;
    writeBytes(dir_ / "x.spi.part", {7, 7, 7});
    EXPECT_TRUE(writeRecordFile(dir_ / "x.spi", r).ok);
    EXPECT_TRUE(fileBytes(dir_ / "x.spi.part") == std::vector<std::uint8_t>({7, 7, 7}));

    const std::string longest = std::string(255 - 4, 'n') + ".spi";
    const FileResult saved = writeRecordFile(dir_ / longest, r);
    EXPECT_TRUE(saved.ok) << saved.message;
    EXPECT_EQ(namesIn(dir_), (std::set<std::string>{"x.spi", "x.spi.part", longest}));

    constexpr int kWriters = 4;
    constexpr int kSaves = 12;
    std::vector<std::vector<std::uint8_t>> contents;
    for (int w = 0; w < kWriters; ++w)
        contents.push_back(randomBytes(300000, static_cast<unsigned>(w)));
    const fs::path shared = dir_ / "shared.spi";
    std::atomic<int> failed{0};
    {
        std::vector<std::jthread> writers;
        for (int w = 0; w < kWriters; ++w)
            writers.emplace_back([&, w] {
                for (int s = 0; s < kSaves; ++s)
                    if (!replaceFileContents(shared, contents[static_cast<std::size_t>(w)]).ok)
                        ++failed;
            });
    }
    EXPECT_EQ(failed, 0);
    EXPECT_NE(std::find(contents.begin(), contents.end(), fileBytes(shared)), contents.end())
        << "the file is no writer's whole contents";
    EXPECT_EQ(namesIn(dir_).size(), 4u) << "a temporary file is left";
}

} // namespace

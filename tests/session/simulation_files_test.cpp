// Simulation files through the session's commands: what opening recognises as results, where
// saving writes, and that a failed read or write changes nothing it should not.

#include "record/record_file.h"
#include "record/vocabulary.h"
#include "session/session.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vm::record;
using namespace vm::model;
using namespace vm::session;

namespace fs = std::filesystem;

namespace {

struct FilesBench {
    TempFolder folder;
    SimulationRecord r;
    RecordState s;
    ModelState model;
    Session session{r, s, model, ProgramFolder{folder.path()}};

    FilesBench() { fs::create_directories(folder / "simulations"); }
    bool recordIs(const SimulationRecord& other) const {
        return std::equal(other.bytes().begin(), other.bytes().end(), r.bytes().begin());
    }
};

// Every byte arbitrary, as a file from elsewhere may be, except that the flow-volume curves of
// the rows in `withCurves` begin and the others are empty.
SimulationRecord fileRecord(const std::set<int>& withCurves, unsigned seed = 1) {
    SimulationRecord record;
    std::mt19937 gen(seed);
    for (auto& b : record.bytes())
        b = static_cast<std::uint8_t>(gen());
    for (int row = 1; row <= 4; ++row)
        record.setFvVolume(row, 1, withCurves.contains(row) ? 4.5f + row : 0.0f);
    return record;
}

// The results are rows 1 up to the highest whose flow-volume curve begins, at most three; the
// newest is selected and its settings become current, or the reference's when there is none.
TEST(SimulationFiles, OpeningCountsResultsUpToTheHighestRowWithACurve) {
    using VT = VolumeTimeView;
    struct Case {
        std::set<int> withCurves;
        int resultCount;
    };
    const Case cases[] = {{{}, 0},  {{1}, 1},       {{2}, 2},          {{3}, 3},   {{1, 3}, 3},
                          {{4}, 3}, {{1, 2, 3}, 3}, {{1, 2, 3, 4}, 3}, {{1, 2}, 2}};
    for (const Case& c : cases) {
        FilesBench b;
        SimulationRecord file = fileRecord(c.withCurves);
        file.setPartSetting(0, kEditedPart, 0, 71.0f);
        file.setPartSetting(1, kEditedPart, 0, 142.0f);
        file.setGlobalSetting(1, 0, 130.0f);
        const fs::path path = b.folder / "simulations" / "Case.SPI";
        ASSERT_TRUE(writeRecordFile(path, file).ok);
        b.s.currentGlobal(0) = 55.0;

        const ViewChanges changes = b.session.OpenSimulationFile(path);
        const bool any = c.resultCount > 0;
        SCOPED_TRACE(c.resultCount);
        EXPECT_EQ(b.s.resultCount, c.resultCount);
        EXPECT_EQ(b.s.selectedRow, any ? 1 : -1);
        EXPECT_EQ(b.s.currentPart(kEditedPart, 0), any ? 142.0 : 71.0);
        // Row 1's global items too, whether or not the grid's cursor moves to select it.
        EXPECT_EQ(b.s.currentGlobal(0), any ? 130.0 : 55.0);
        const ViewChanges expected{.resultLines = true,
                                   .referenceLine = true,
                                   .gridCursor = any ? std::optional<int>(1) : std::nullopt,
                                   .controlsFromRow = any ? 1 : 0,
                                   .resultsTable =
                                       any ? ResultsTableView{1, true} : ResultsTableView{0, false},
                                   .flowVolumePlot = true,
                                   .volumeTime = any ? VT::selectedCurve : VT::emptyFrame,
                                   .noteBoxCleared = true,
                                   .dataSourceLabel = "Plik:  Case"};
        EXPECT_EQ(changes, expected);
    }
}

TEST(SimulationFiles, ACancelledOpenOnlyClearsTheNoteBoxAndABadFileChangesNothing) {
    FilesBench b;
    b.r = fileRecord({1});
    b.s.resultCount = 1;
    b.s.selectedRow = 1;
    const SimulationRecord before = b.r;
    EXPECT_EQ(b.session.OpenSimulationFile({}), ViewChanges{.noteBoxCleared = true});

    const fs::path shortFile = b.folder / "simulations" / "short.spi";
    writeFileBytes(shortFile, std::vector<std::uint8_t>(layout::kRecordBytes - 1, 0x40));
    for (const fs::path& bad : {shortFile, b.folder / "simulations" / "missing.spi"}) {
        SimulationRecord scratch;
        const FileResult expected = readRecordFile(bad, scratch);
        ASSERT_FALSE(expected.ok);
        EXPECT_EQ(b.session.OpenSimulationFile(bad), ViewChanges{.message = expected.message});
        EXPECT_TRUE(b.recordIs(before));
        EXPECT_EQ(b.s.resultCount, 1);
        EXPECT_EQ(b.s.selectedRow, 1);
    }
}

TEST(SimulationFiles, SaveWritesIntoTheSimulationsFolderUnderTheLastNameChosen) {
    FilesBench b;
    const fs::path defaultPath = b.folder / "simulations" / "data_default.spi";
    const ViewChanges savedViews{.message = "File saved in" + defaultPath.string(),
                                 .dataSourceLabel = "Plik:  data_default"};
    EXPECT_EQ(b.session.SaveSimulationFile(), savedViews);

    fs::create_directories(b.folder / "elsewhere");
    b.r = fileRecord({1});
    ASSERT_EQ(b.session.SaveSimulationFileAs(b.folder / "elsewhere" / "trial.v2.spi"),
              ViewChanges{.dataSourceLabel = "Plik:  trial.v2"});
    const fs::path second = b.folder / "simulations" / "trial.v2.spi";
    EXPECT_EQ(*b.session.SaveSimulationFile().message, "File saved in" + second.string());
    EXPECT_EQ(readBytes(second), readBytes(b.folder / "elsewhere" / "trial.v2.spi"));

    // Opening gives the saved record back and leaves the name "Zapisz" writes to.
    const SimulationRecord saved = b.r;
    b.r = fileRecord({3}, 2);
    b.session.OpenSimulationFile(second);
    EXPECT_TRUE(b.recordIs(saved));
    EXPECT_EQ(b.session.currentFileName(), "trial.v2.spi");
}

TEST(SimulationFiles, TheStandardsNameIsRefusedInAnyLetterCase) {
    for (const char* name : {"standard.spi", "STANDARD.SPI", "/any/where/Standard.Spi"})
        EXPECT_TRUE(isRefusedSimulationFileName(name)) << name;
    for (const char* name : {"standard.spi.bak", "my_standard.spi", "standard.dat", "standard"})
        EXPECT_FALSE(isRefusedSimulationFileName(name)) << name;
}

// A save that stops part-way, here at a file-size limit, keeps the file it was to replace, and
// the label stays as it was.
TEST(SimulationFiles, ASaveThatFailsPartWayLeavesTheOldFileIntact) {
    FilesBench b;
    const fs::path path = b.folder / "simulations" / "data_default.spi";
    b.r = fileRecord({1}, 3);
    ASSERT_TRUE(writeRecordFile(path, b.r).ok);
    const std::vector<std::uint8_t> old = readBytes(path);
    b.r = fileRecord({1, 2}, 4);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const ViewChanges changes = b.session.SaveSimulationFile();
        const bool reported =
            changes.message && changes.message->find(path.string()) != std::string::npos;
        ::_exit(reported && !changes.dataSourceLabel ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_FALSE(fs::exists(b.folder / "simulations" / "data_default.spi.part"));
}

// Faults of the disk under a save: each gives the file layer's message naming the file and the
// system's reason; the record, the label and what is on disk stay as they were.
TEST(SimulationFiles, DiskFaultsUnderASaveAreReportedAndChangeNothing) {
    struct Case {
        const char* what;
        bool asNobody; // root writes into read-only folders
        bool saveAs;
        const char* reason;
    };
    const Case cases[] = {
        {"read-only simulations folder", true, false, "File access denied"},
        {"full disk behind the default name", false, false, "Disk full"},
        {"full disk behind a chosen name", false, true, "Disk full"},
    };
    for (const Case& c : cases) {
        FilesBench b;
        b.r = fileRecord({1}, 5);
        const SimulationRecord before = b.r;
        const fs::path simulations = b.folder / "simulations";
        const fs::path target = simulations / (c.saveAs ? "chosen.spi" : "data_default.spi");
        if (c.asNobody) {
            fs::permissions(b.folder.path(),
                            fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
            fs::permissions(simulations, fs::perms::owner_read | fs::perms::owner_exec |
                                             fs::perms::others_read | fs::perms::others_exec);
        } else {
            fs::create_symlink("/dev/full", target);
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (c.asNobody && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(3);
            const ViewChanges changes =
                c.saveAs ? b.session.SaveSimulationFileAs(target) : b.session.SaveSimulationFile();
            const bool reported = changes.message &&
                                  changes.message->find(c.reason) != std::string::npos &&
                                  changes.message->find(target.string()) != std::string::npos;
            ::_exit(reported && !changes.dataSourceLabel && b.recordIs(before) ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.what;
        EXPECT_EQ(fs::symlink_status(target).type(),
                  c.asNobody ? fs::file_type::not_found : fs::file_type::symlink)
            << c.what;
        EXPECT_EQ(std::distance(fs::directory_iterator(simulations), {}), c.asNobody ? 0 : 1)
            << c.what;
    }
}

// Settings outside the usable range become 100 when they become current, so that settings no
// control shows cannot spoil every later run; items nothing reads are taken as stored.
TEST(SimulationFiles, UnusableSettingsBecomeNormalWhenTheyBecomeCurrent) {
    FilesBench b;
    SimulationRecord file = fileRecord({1});
    const float stored[] = {NAN, INFINITY, -INFINITY, 0.0f, -5.0f, 3.0e38f, 1e-30f, 42.0f};
    const double current[] = {100, 100, 100, 100, 100, 100, 100, 42};
    for (int c = 0; c < 8; ++c)
        file.setPartSetting(1, LungPart::lobe3, c, stored[c]);
    for (int i = 0; i < 4; ++i)
        file.setGlobalSetting(1, i, stored[i]);
    file.setGlobalSetting(1, 10, NAN);
    file.setGlobalSetting(1, 11, -5.0f);
    const fs::path path = b.folder / "simulations" / "odd.spi";
    ASSERT_TRUE(writeRecordFile(path, file).ok);
    b.session.OpenSimulationFile(path);
    b.session.SelectResultRow(1);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(b.s.currentPart(LungPart::lobe3, c), current[c]) << c;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b.s.currentGlobal(i), 100.0) << i;
    EXPECT_TRUE(std::isnan(b.s.currentGlobal(10)));
    EXPECT_EQ(b.s.currentGlobal(11), -5.0);
    EXPECT_TRUE(b.recordIs(file)) << "the record keeps what the file holds";
}

} // namespace

// A patient given is saved with the record, in the reference row's last unused floats, and read
// back; a file without one reads for the default patient and a patient of an earlier file never
// passes into it; a stored patient that cannot be read is named and its bytes kept. A patient
// outside the equations is refused.
TEST(SimulationFiles, ThePatientTravelsWithItsFileAndNoOtherFileTakesIt) {
    FilesBench b;
    SimulationRecord original = fileRecord({1});
    original.setStoredPatient(referenceRow, {});
    ASSERT_TRUE(writeRecordFile(b.folder / "plain.spi", original).ok);
    const auto sameBytes = [](const SimulationRecord& x, const std::filesystem::path& file) {
        SimulationRecord y;
        return readRecordFile(file, y).ok &&
               std::equal(x.bytes().begin(), x.bytes().end(), y.bytes().begin());
    };
    EXPECT_TRUE(b.session.SetPatient({Sex::male, 2.0, 180.0}).message) << "below 3 years";
    ASSERT_FALSE(b.session.SetPatient({Sex::male, 71.5, 178.0}).message);
    b.session.SaveSimulationFileAs(b.folder / "patient.spi");
    SimulationRecord saved;
    ASSERT_TRUE(readRecordFile(b.folder / "patient.spi", saved).ok);
    float stored[3];
    std::memcpy(stored, saved.bytes().data() + layout::kPatient, sizeof stored);
    EXPECT_EQ(stored[0], 1.0f);
    EXPECT_EQ(stored[1], 71.5f);
    EXPECT_EQ(stored[2], 178.0f);

    // Opened in turn by one session: each file reads for its own patient or the default one.
    b.session.OpenSimulationFile(b.folder / "patient.spi");
    EXPECT_EQ(b.session.readingPatient().origin, PatientOrigin::stored);
    EXPECT_EQ(b.session.patient().age_years, 71.5);
    b.session.OpenSimulationFile(b.folder / "plain.spi");
    EXPECT_EQ(b.session.readingPatient().origin, PatientOrigin::standard);
    EXPECT_EQ(b.session.patient().age_years, Patient{}.age_years);
    b.session.SaveSimulationFileAs(b.folder / "again.spi");
    EXPECT_TRUE(sameBytes(original, b.folder / "again.spi")) << "no patient, none written";

    // Stored patients that cannot be read: named, not read, and written back as they were.
    for (const SimulationRecord::StoredPatient hostile :
         {SimulationRecord::StoredPatient{7.0f, 40.0f, 165.0f},
          {2.0f, 300.0f, 165.0f},
          {1.0f, 40.0f, NAN}}) {
        SimulationRecord odd = original;
        odd.setStoredPatient(referenceRow, hostile);
        ASSERT_TRUE(writeRecordFile(b.folder / "odd.spi", odd).ok);
        b.session.OpenSimulationFile(b.folder / "odd.spi");
        EXPECT_EQ(b.session.readingPatient().origin, PatientOrigin::unreadable);
        EXPECT_NE(b.session.readResult(referenceRow).problem.find("cannot be read"),
                  std::string::npos);
        b.session.SaveSimulationFileAs(b.folder / "odd-again.spi");
        EXPECT_TRUE(sameBytes(odd, b.folder / "odd-again.spi"));
    }
}

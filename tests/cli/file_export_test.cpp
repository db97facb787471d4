#include "cli/file_export.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;

// A runner built without the plots writes export's CSV files all the same and says it left the
// pictures out.
TEST(FileExport, WithoutThePlotsTheCsvFilesAreWrittenAndThePicturesLeftOut) {
    const fs::path standard = VM_STANDARD_RECORD_PATH;
    const fs::path folder = fs::temp_directory_path() / ("vm_export_" + std::to_string(getpid()));
    const vm::cli::ExportOutcome outcome = vm::cli::ExportSimulationFile(
        {standard, folder, std::nullopt, false}, standard.parent_path().parent_path(), {});
    EXPECT_NE(outcome.note.find("built without"), std::string::npos) << outcome.problem;
    for (const char* name : {"flow_volume.csv", "volume_time.csv", "results.csv"})
        EXPECT_GT(fs::file_size(folder / name), 30u) << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), 3);
    fs::remove_all(folder);
}

// export's files, whatever the runner can draw.

#include "cli/file_export.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vm::cli;

namespace fs = std::filesystem;

namespace {

// A runner without the plots writes the CSV files all the same and says what it left out; one
// with them hands the record to the pictures' writer once the CSV files are whole.
TEST(FileExport, TheCsvFilesAreWrittenWithOrWithoutThePictures) {
    const fs::path standard = VM_STANDARD_RECORD_PATH;
    const fs::path exeDir = standard.parent_path().parent_path();
    TempFolder folder;
    int drawn = 0;
    const PlotPictureWriter failing = [&](const vm::record::SimulationRecord&, int,
                                          const fs::path& into) {
        ++drawn;
        EXPECT_TRUE(fs::is_regular_file(into / "results.csv"));
        return std::string("cannot draw");
    };
    const struct {
        const char* what;
        PlotPictureWriter pictures;
        const char* problem;
        bool noted;
    } cases[] = {{"no plots", {}, "", true}, {"a failing writer", failing, "cannot draw", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path out = folder / c.what;
        const ExportOutcome outcome = ExportSimulationFile(standard, out, exeDir, c.pictures);
        EXPECT_EQ(outcome.problem, c.problem);
        EXPECT_EQ(outcome.note.find("built without") != std::string::npos, c.noted) << outcome.note;
        for (int i = 0; i < kExportedCsvFiles; ++i)
            EXPECT_GT(fs::file_size(out / kExportedFiles[i]), 30u) << kExportedFiles[i];
        EXPECT_EQ(std::distance(fs::directory_iterator(out), {}), kExportedCsvFiles);
    }
    EXPECT_EQ(drawn, 1);
}

} // namespace

// The headless runner's tables for people: the indices beside the reference's, "-" where a row
// cannot give one, and the settings some row moves.

#include "cli/run_report.h"

#include "record/vocabulary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

using namespace vm::record;
using namespace vm::cli;
using namespace vm::session;
using vm::model::MissingReason;

namespace {

TEST(RunReport, TableListsTheMeasuredIndicesBesideTheReference) {
    RowResult result;
    RowResult reference;
    for (int f = 0; f < layout::kFirstIndexCount; ++f) {
        reference.indices[static_cast<std::size_t>(f)] = {f + 0.5, MissingReason::none};
        result.indices[static_cast<std::size_t>(f)] = {-0.25 - f, MissingReason::none};
    }
    result.runStatus = 0.0f;
    result.indices[0].missing = MissingReason::notStored;
    // The fourteen every file holds first; an index added later follows, "-" where absent.
    const std::string expected = "Run 3: dead (tidal inspiration failed)\n"
                                 "  index            result  reference\n"
                                 "  FEV1                  -      0.500  l\n"
                                 "  FVCEX            -1.250      1.500  l\n"
                                 "  FEV1%FVC         -2.250      2.500  %\n"
                                 "  PEF              -3.250      3.500  l/s\n"
                                 "  MEF75            -4.250      4.500  l/s\n"
                                 "  MEF50            -5.250      5.500  l/s\n"
                                 "  MEF25            -6.250      6.500  l/s\n"
                                 "  ERV              -7.250      7.500  l\n"
                                 "  flow at 1 s      -8.250      8.500  l/s\n"
                                 "  FRC              -9.250      9.500  l\n"
                                 "  TLC             -10.250     10.500  l\n"
                                 "  FET             -12.250     12.500  s\n";
    EXPECT_EQ(runTable(result, reference, 3).substr(0, expected.size()), expected);
}

// Beside both lungs' settings and the expiratory effort, the table shows the other parts'
// settings and global items that some row moves from 100, and only those.
TEST(RunReport, RowsTableShowsEverySettingARowMovesFrom100) {
    std::vector<RowResult> rows(2);
    for (RowResult& row : rows) {
        for (auto& part : row.partSettings)
            part.fill(100.0f);
        row.globalSettings.fill(100.0f);
    }
    rows[1].row = 1;
    rows[1].partSettings[LungPart::rightLung][SettingColumn::rCentral] = 700.0f;
    rows[0].globalSettings[7] = 50.0f;
    const std::string table = rowsTable(rows);
    EXPECT_NE(table.find("  cm %                     100.000      100.000\n"
                         "  right.rCentral %         100.000      700.000\n"
                         "  expiratory effort %      100.000      100.000\n"
                         "  global item 7 %           50.000      100.000\n  FEV1 l"),
              std::string::npos)
        << table;
}

} // namespace

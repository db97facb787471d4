// The program's own data files, as the build makes them, bring up the window with the standard
// reference in the results table.

#include "ui/main_window.h"
#include "recording_interaction.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
using namespace vm::plots;
using namespace vm::session;
using namespace vm::ui;

namespace fs = std::filesystem;

namespace {
// Four significant digits and two decimals, rounded once at the coarser of the two, for numbers
// whose integer part has at most four digits.
std::string fourSignificantTwoDecimals(double v) {
    const int integerDigits =
        v == 0 ? 1 : std::max(1, int(std::floor(std::log10(std::fabs(v)))) + 1);
    const int decimals = std::min(2, 4 - integerDigits);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    std::string s = text;
    if (decimals < 2)
        s += (decimals == 0 ? "." : "") + std::string(2 - decimals, '0');
    const QString point = QLocale().decimalPoint();
    if (point != QStringLiteral("."))
        std::replace(s.begin(), s.end(), '.', point.at(0).toLatin1());
    return s;
}
} // namespace

TEST(GeneratedData, BuildsDataFilesBringUpTheStandardReference) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path root(dir.path().toStdString());
    fs::copy(fs::path(VM_RUNTIME_DIR) / "datfiles1", root / "datfiles1",
             fs::copy_options::recursive);
    fs::create_directories(root / "simulations");
    fs::create_directories(root / "lock");

    RecordingInteraction interaction;
    SimulationRecord record;
    RecordState state;
    ModelState model;
    Session session(record, state, model,
                    ProgramFolder{(dir.path() + QStringLiteral("/")).toStdString()});
    TForm1 form(interaction, session, root / "lock");
    ASSERT_TRUE(interaction.messages.isEmpty()) << interaction.messages.join('|').toStdString();
    ASSERT_EQ(record.field(0, RowField::runStatus), 1.0f);

    const std::pair<int, RowField> lines[] = {
        {1, RowField::fev1},  {2, RowField::fvcex}, {3, RowField::fev1PctFvc}, {4, RowField::pef},
        {5, RowField::mef75}, {6, RowField::mef50}, {7, RowField::mef25},      {8, RowField::erv},
        {12, RowField::frc},  {13, RowField::tlc},
    };
    const TextGrid& table = form.StringGrid1->cells();
    for (const auto& [gridRow, field] : lines) {
        const double v = record.field(0, field);
        ASSERT_LT(std::fabs(v), 10000.0);
        SCOPED_TRACE(table.cell(0, gridRow));
        EXPECT_EQ(table.cell(2, gridRow), fourSignificantTwoDecimals(v));
        EXPECT_EQ(table.cell(4, gridRow), v > 0 ? "100" : " ");
    }
    for (int k = 1; k <= 5; ++k)
        EXPECT_FALSE(form.pictureTable[k].isNull()) << k;
    EXPECT_FALSE(form.backgroundPicture.isNull());
}

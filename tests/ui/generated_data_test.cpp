// The program's own data files, as the build makes them, bring up the window with the standard
// reference in the results table.

#include "record/vocabulary.h"
#include "recording_interaction.h"
#include "ui/main_window.h"
#include "window_probe.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace vm::record;
using namespace vm::model;
using namespace vm::data;
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
    fs::copy(fs::path(VM_RUNTIME_DIR) / "helpfiles", root / "helpfiles",
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
    const WindowProbe ui(form);
    ASSERT_TRUE(interaction.messages.isEmpty()) << interaction.messages.join('|').toStdString();
    ASSERT_EQ(record.field(0, RowField::runStatus), 1.0f);

    // Every line that compares an index with the reference.
    const TextGrid& table = ui.StringGrid1()->cells();
    const vm::model::IndexValues values = session.indices(0);
    for (std::size_t i = 0; i < kIndices.size(); ++i) {
        const SpirometricIndex& index = kIndices[i];
        if (index.comparison == Comparison::none)
            continue;
        const double v = values[i].value;
        ASSERT_LT(std::fabs(v), 10000.0);
        SCOPED_TRACE(index.name);
        EXPECT_EQ(table.cell(2, index.resultsTableLine), fourSignificantTwoDecimals(v));
        EXPECT_EQ(table.cell(4, index.resultsTableLine), v > 0 ? "100" : " ");
    }
    // On the design screen the pictures are stretched by the same factor both ways: undistorted.
    const auto stretch = [&](const QImage& picture) {
        return double(ui.Image1()->width()) / picture.width() -
               double(ui.Image1()->height()) / picture.height();
    };
    for (int k = 1; k <= 5; ++k)
        EXPECT_NEAR(stretch(WindowProbe(form).pictureTable()[k]), 0.0, 0.01) << k;
    EXPECT_NEAR(stretch(WindowProbe(form).backgroundPicture()), 0.0, 0.01);
}

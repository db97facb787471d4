// The "Plik" menu's simulation files as the user meets them: the dialogs through the seam, what
// the window shows after opening, the names "Zapisz jako" refuses, and files from elsewhere.

#include "model_window.h"

#include "record/record_file.h"
#include "record/vocabulary.h"
#include "ui/qt_interaction.h"

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

using namespace vm::record;
using namespace vm::ui;

namespace fs = std::filesystem;

namespace {

std::vector<char> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QString text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// What JSON, plots and controls must all survive: every float of the record one of these.
SimulationRecord hostileRecord() {
    const float values[] = {std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            0.0f,
                            -50.0f,
                            3.0e38f,
                            1.0e-40f,
                            -1.0e9f,
                            2500.0f};
    SimulationRecord record;
    auto bytes = record.bytes();
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4)
        std::memcpy(&bytes[i], &values[(i / 4) % std::size(values)], 4);
    for (int row = 1; row <= 4; ++row)
        record.setFvVolume(row, 1, std::numeric_limits<float>::quiet_NaN());
    return record;
}

} // namespace

TEST(SimulationFilesWindow, ARecordOfTheRunnerOpensWithItsThreeResultsAndSavesBackUnchanged) {
    ModelWindow m;
    const WindowProbe ui(m.form());
    const fs::path simulations = m.folder.path() / "simulations";
    const fs::path written = simulations / "three.spi";
    QProcess cli;
    cli.start(QStringLiteral(VM_CLI_PATH),
              {QStringLiteral("run"), QStringLiteral("--reference"),
               text(m.folder.dataFile("standard.dat")), QStringLiteral("--runs"),
               QStringLiteral("3"), QStringLiteral("--out"), text(written)});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    ui.RichEdit1()->setPlainText(QStringLiteral("a note"));
    m.w.interaction.openAnswers << text(written);
    ui.Open1()->trigger();
    EXPECT_TRUE(m.w.interaction.messages.isEmpty())
        << m.w.interaction.messages.join('|').toStdString();
    ASSERT_EQ(m.w.interaction.fileDialogs.size(), 1);
    EXPECT_EQ(m.w.interaction.fileDialogs[0],
              (QStringList{text(simulations), QStringLiteral("Spirometry files|*.spi"),
                           QStringLiteral("spi")}));
    EXPECT_EQ(m.w.state.resultCount, 3);
    EXPECT_EQ(m.w.state.selectedRow, 1);
    EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  three"));
    EXPECT_TRUE(ui.RichEdit1()->toPlainText().isEmpty());
    for (int row = 1; row <= 3; ++row)
        EXPECT_FALSE(ui.StringGrid2()->cells().cell(0, row).empty()) << row;
    EXPECT_GT(countPixels(ui.Image2()->canvas(), qRgb(255, 0, 0)), 50);
    EXPECT_GT(countPixels(ui.Image3()->canvas(), qRgb(255, 0, 0)), 50);

    // "Zapisz jako" and then "Zapisz" write the same bytes back.
    const fs::path copy = simulations / "copy.spi";
    m.w.interaction.saveAnswers << text(copy);
    ui.Saveas1()->trigger();
    EXPECT_EQ(fileBytes(copy), fileBytes(written));
    fs::remove(copy);
    ui.Save1()->trigger();
    EXPECT_EQ(fileBytes(copy), fileBytes(written));
    EXPECT_EQ(m.w.interaction.messages, QStringList{QStringLiteral("File saved in") + text(copy)});
    EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  copy"));

    EXPECT_EQ(ui.Open1()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(ui.Save1()->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(ui.Saveas1()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(ui.Saveas1()->text(), QStringLiteral("Zapisz jako"));
}

TEST(SimulationFilesWindow, SaveAsAsksAgainForTheStandardsName) {
    ModelWindow m;
    const WindowProbe ui(m.form());
    const fs::path simulations = m.folder.path() / "simulations";
    m.w.interaction.saveAnswers << text(simulations / "standard.spi")
                                << text(simulations / "STANDARD.SPI")
                                << text(simulations / "ok.spi");
    ui.Saveas1()->trigger();
    EXPECT_EQ(m.w.interaction.fileDialogs.size(), 3);
    EXPECT_TRUE(fs::exists(simulations / "ok.spi"));
    EXPECT_FALSE(fs::exists(simulations / "standard.spi"));
    EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  ok"));

    // Refused, then cancelled: nothing is written and nothing changes.
    m.w.interaction.saveAnswers << text(simulations / "Standard.Spi");
    ui.Saveas1()->trigger();
    EXPECT_EQ(m.w.interaction.fileDialogs.size(), 5);
    EXPECT_EQ(m.w.session->currentFileName(), "ok.spi");
}

// NaN, infinities, zero, negative and huge values everywhere: the window opens the file, shows
// what it can, and START afterwards still runs and gives the window back.
TEST(SimulationFilesWindow, AFileOfNonsenseOpensAndStartStillWorksAfterIt) {
    ModelWindow m;
    const WindowProbe ui(m.form());
    const fs::path path = m.folder.path() / "simulations" / "nonsense.spi";
    ASSERT_TRUE(writeRecordFile(path, hostileRecord()).ok);
    m.w.interaction.openAnswers << text(path);
    ui.Open1()->trigger();
    EXPECT_EQ(m.w.state.resultCount, 3);
    EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  nonsense"));
    for (const Setting& spec : kSettings) {
        const int position = ui.trackBar(spec.trackBar)->value();
        EXPECT_GE(position, spec.minimum) << spec.trackBar;
        EXPECT_LE(position, spec.maximum) << spec.trackBar;
    }
    // A row of the grid selects, as after any other file.
    clickGridRow(*ui.StringGrid2(), 2);
    EXPECT_EQ(m.w.state.selectedRow, 2);

    m.pressStart();
    EXPECT_EQ(m.w.state.selectedRow, 1);
    EXPECT_FALSE(m.w.interaction.sounds.isEmpty());
    EXPECT_TRUE(m.form().isEnabled());
    EXPECT_TRUE(ui.Button2()->isEnabled());

    // The standard reference and the reset settings give a valid result again.
    ui.Reset1()->trigger();
    QTest::mouseClick(ui.Button1(), Qt::LeftButton);
    m.pressStart();
    EXPECT_EQ(m.w.interaction.sounds.last(), QStringLiteral("SystemAsterisk"));
}

TEST(SimulationFilesWindow, TheProgramsFiltersBecomeQtsFilters) {
    const std::pair<const char*, const char*> cases[] = {
        {"Spirometry files|*.spi", "Spirometry files (*.spi)"},
        {"Records|*.spi;*.dat|All|*", "Records (*.spi *.dat);;All (*)"},
        {"no pattern", "no pattern"},
    };
    for (const auto& [program, qt] : cases)
        EXPECT_EQ(qtFileFilter(QString::fromUtf8(program)), QString::fromUtf8(qt)) << program;
}

// A folder whose name is not UTF-8 cannot be held by the dialogs' text: they start in it all the
// same, and what is chosen in it is written and read there.
TEST(SimulationFilesWindow, DialogsWorkInAFolderWhoseNameIsNotUtf8) {
    DataFolder folder;
    const fs::path user = folder.path() / "u\xff\xfe";
    fs::create_directories(user / "simulations");
    fs::create_directories(user / "datfiles1");
    WindowUnderTest w;
    w.start(folder, ProgramFolder{folder.exeDir().toStdString(), user});
    const WindowProbe ui = w.ui();
    ui.Open1()->trigger(); // cancelled: only the folder the dialog starts in is wanted
    const QString shown = w.interaction.fileDialogs.back().first();
    EXPECT_TRUE(fs::equivalent(QFile::encodeName(shown).toStdString(), user / "simulations"));
    w.interaction.saveAnswers << shown + QStringLiteral("/case.spi")
                              << shown + QStringLiteral("/results.csv");
    w.interaction.openAnswers << shown + QStringLiteral("/case.spi");
    ui.Saveas1()->trigger();
    ui.Export1()->actions()[2]->trigger(); // the results as CSV
    ui.Open1()->trigger();
    EXPECT_TRUE(w.interaction.messages.isEmpty()) << w.interaction.messages.join('|').toStdString();
    EXPECT_EQ(fs::file_size(user / "simulations" / "case.spi"), layout::kRecordBytes);
    EXPECT_TRUE(fs::is_regular_file(user / "simulations" / "results.csv"));
}

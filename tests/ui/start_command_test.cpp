// START pressed as the user presses it: results pile up three deep with the oldest kept hidden,
// the window is locked while the model runs, the outcome is sounded, and the window's run is the
// headless runner's run, float for float.

#include "model_window.h"

#include "record/record_file.h"
#include "record/vocabulary.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace vm::record;
using namespace vm::data;
using namespace vm::ui;

namespace {

std::string settingCell(int percent) {
    return "   " + std::to_string(percent);
}
} // namespace

TEST(StartCommand, FourStartsKeepThreeResultsNewestFirstAndTheOldestInRowFour) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    // Each run gets its own central resistance, so the rows can be told apart.
    const int resistance[] = {110, 120, 130, 140};
    const int expectedCount[] = {1, 2, 3, 3};
    ResultRowBytes firstResult{};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        m.w.state.currentPart(kEditedPart, SettingColumn::rCentral) = resistance[k];
        m.pressStart();
        EXPECT_EQ(m.w.state.resultCount, expectedCount[k]);
        EXPECT_EQ(m.w.state.selectedRow, 1);
        EXPECT_EQ(m.w.record.partSetting(workingRow, kEditedPart, SettingColumn::rCentral),
                  static_cast<float>(resistance[k]));
        if (k == 0)
            firstResult = m.w.record.rowBytes(workingRow);
    }
    // Newest in row 1; the first result has moved, untouched, to the hidden row 4.
    for (int row = 1; row <= 3; ++row) {
        EXPECT_EQ(m.w.record.partSetting(row, kEditedPart, SettingColumn::rCentral),
                  static_cast<float>(resistance[4 - row]));
        EXPECT_EQ(ui.StringGrid2()->cells().cell(0, row), settingCell(resistance[4 - row]));
    }
    EXPECT_TRUE(m.w.record.rowBytes(4) == firstResult);

    // The table compares the newest result with the reference.
    const TextGrid& table = ui.StringGrid1()->cells();
    EXPECT_EQ(table.cell(2, 1), tableNumber(m.w.record.field(referenceRow, RowField::fev1)));
    EXPECT_EQ(table.cell(3, 1), tableNumber(m.w.record.field(workingRow, RowField::fev1)));
    EXPECT_EQ(m.w.interaction.sounds.size(), 4);
}

TEST(StartCommand, SoundTellsTheOutcomeAndAFailedRunIsStillCommitted) {
    struct Case {
        const char* what;
        double centralResistance;
        float runStatus;
        const char* alias;
        const char* observed; // FEV1 line, column 3
    };
    // A zero setting (possible in a file from elsewhere) cannot be simulated: the run reports an
    // error at once.
    const Case cases[] = {{"standard settings", 100.0, 1.0f, "SystemAsterisk", nullptr},
                          {"a zero setting", 0.0, -1.0f, "SystemHand", "error"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModelWindow m;
        m.w.state.currentPart(kEditedPart, SettingColumn::rCentral) = c.centralResistance;
        m.pressStart();
        EXPECT_EQ(m.w.record.field(workingRow, RowField::runStatus), c.runStatus);
        ASSERT_EQ(m.w.interaction.sounds, QStringList{QString::fromLatin1(c.alias)});
        EXPECT_EQ(m.w.state.resultCount, 1);
        if (c.observed) {
            EXPECT_EQ(m.ui().StringGrid1()->cells().cell(3, 1), c.observed);
        }
    }
}

// A START that fails inside the model, on a left lung compliance of 10 %: an error result like
// any other, sounded, with the earlier result kept below it; no curve of its own in either plot,
// the volume-time frame empty but for the run clock; each row keeping the settings it ran with.
TEST(StartCommand, ARunThatFailsInsideTheModelIsAnErrorResultBesideTheEarlierOne) {
    const QRgb kRed = qRgb(255, 0, 0);
    ModelWindow m;
    const WindowProbe ui = m.ui();
    m.pressStart();
    ASSERT_EQ(m.w.record.field(workingRow, RowField::runStatus), 1.0f);
    const ResultRowBytes earlier = m.w.record.rowBytes(workingRow);
    std::vector<std::string> earlierLine;
    for (int c = 0; c < ui.StringGrid2()->cells().columnCount(); ++c)
        earlierLine.push_back(ui.StringGrid2()->cells().cell(c, 1));

    m.w.state.currentPart(LungPart::leftLung, SettingColumn::cm) = 10;
    m.pressStart();
    EXPECT_EQ(m.w.record.field(workingRow, RowField::runStatus), -1.0f);
    EXPECT_EQ(m.w.interaction.sounds,
              (QStringList{QStringLiteral("SystemAsterisk"), QStringLiteral("SystemHand")}));
    EXPECT_EQ(m.w.state.resultCount, 2);
    EXPECT_EQ(m.w.state.selectedRow, 1);
    EXPECT_TRUE(m.w.record.rowBytes(2) == earlier);
    EXPECT_EQ(m.ui().StringGrid1()->cells().cell(3, 1), "error");

    EXPECT_EQ(m.w.record.fvVolume(workingRow, 1), 0.0f);
    EXPECT_EQ(countPixels(ui.Image2()->canvas(), kRed), 0) << "a flow-volume curve of row 1";
    const QImage& plot = ui.Image3()->canvas();
    EXPECT_EQ(countPixels(plot, kRed), 0) << "a volume-time curve of row 1";
    EXPECT_GT(countPixels(plot, qRgb(0, 0, 0)), plot.width() / 2) << "no frame";
    EXPECT_GT(
        countPixels(plot.copy(plot.width() * 3 / 4, 0, plot.width() / 4, 12), qRgb(255, 255, 0)),
        120)
        << "no run clock";

    EXPECT_EQ(m.w.record.partSetting(1, LungPart::leftLung, SettingColumn::cm), 10.0f);
    EXPECT_EQ(m.w.record.partSetting(2, LungPart::leftLung, SettingColumn::cm), 100.0f);
    for (int c = 0; c < ui.StringGrid2()->cells().columnCount(); ++c)
        EXPECT_EQ(ui.StringGrid2()->cells().cell(c, 2), earlierLine[static_cast<std::size_t>(c)])
            << "column " << c;
}

TEST(StartCommand, WindowIsLockedWhileTheModelRunsAndQueuedClicksAreDropped) {
    ModelWindow m;
    TForm1& form = m.form();
    const WindowProbe ui(form);
    ui.showEveryLiveFrame();
    int ticksSeen = 0;
    bool clickQueued = false;
    std::vector<std::string> stillEnabled;
    bool lockedEverywhere = true;
    PaintWatcher watcher(ui.Image3(), [&] {
        if (!WindowProbe(form).runInProgress())
            return;
        ++ticksSeen;
        const auto check = [&](QWidget* widget) {
            if (widget->isEnabled())
                stillEnabled.push_back(widget->objectName().toStdString());
        };
        for (QWidget* widget :
             {static_cast<QWidget*>(ui.Button1()), static_cast<QWidget*>(ui.Button2()),
              static_cast<QWidget*>(ui.Button3()), static_cast<QWidget*>(ui.Button6()),
              static_cast<QWidget*>(ui.Button8()), static_cast<QWidget*>(ui.Button9()),
              static_cast<QWidget*>(ui.Button10()), static_cast<QWidget*>(ui.StringGrid2()),
              static_cast<QWidget*>(ui.Panel1()), static_cast<QWidget*>(ui.Panel2()),
              static_cast<QWidget*>(ui.Panel3()), static_cast<QWidget*>(ui.Panel4())})
            check(widget);
        for (QAction* item : form.menuBar()->actions())
            if (item->isEnabled())
                stillEnabled.push_back(item->text().toStdString());
        lockedEverywhere =
            lockedEverywhere && !form.isEnabled() && !WindowProbe(form).Timer1()->isActive();
        // The user clicks START again while the run computes; the click waits in the queue.
        if (!clickQueued) {
            clickQueued = true;
            const QPointF centre = QRectF(ui.Button2()->rect()).center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(
                    ui.Button2(), new QMouseEvent(type, centre, ui.Button2()->mapToGlobal(centre),
                                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        }
    });
    m.pressStart();
    QCoreApplication::processEvents();

    EXPECT_GT(ticksSeen, 100);
    EXPECT_TRUE(stillEnabled.empty()) << stillEnabled.front();
    EXPECT_TRUE(lockedEverywhere);
    EXPECT_EQ(m.w.state.resultCount, 1) << "a click queued during the run started another one";
    EXPECT_FALSE(WindowProbe(form).runInProgress());
    EXPECT_TRUE(form.isEnabled());
    EXPECT_TRUE(ui.Button2()->isEnabled());
    EXPECT_TRUE(ui.StringGrid2()->isEnabled());
    for (QAction* item : form.menuBar()->actions())
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    // The picture timer runs after START even though it was off before.
    EXPECT_TRUE(WindowProbe(form).Timer1()->isActive());
    EXPECT_EQ(WindowProbe(form).Timer1()->interval(), 2000);
}

TEST(StartCommand, StoresTheSameWorkingRowAsTheHeadlessRunner) {
    ModelWindow m;
    m.pressStart();
    ASSERT_EQ(m.w.record.field(workingRow, RowField::runStatus), 1.0f);

    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    const QString cliRecord = out.filePath(QStringLiteral("cli.spi"));
    QProcess cli;
    cli.start(QStringLiteral(VM_CLI_PATH),
              {QStringLiteral("run"), QStringLiteral("--reference"),
               QString::fromStdString(m.folder.dataFile("standard.dat").string()),
               QStringLiteral("--out"), cliRecord});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();

    SimulationRecord headless;
    const FileResult read = readRecordFile(cliRecord.toStdString(), headless);
    ASSERT_TRUE(read.ok) << read.message;
    const ResultRowBytes window = m.w.record.rowBytes(workingRow);
    const ResultRowBytes runner = headless.rowBytes(workingRow);
    std::size_t firstDifference = 0;
    while (firstDifference < window.size() && window[firstDifference] == runner[firstDifference])
        ++firstDifference;
    EXPECT_EQ(firstDifference, window.size()) << "rows differ from byte " << firstDifference;
}

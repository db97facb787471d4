// The window on the data files the build lays beside the program: the airway picture answers the
// mouse over each region with its marked picture and hint, every teaching case opens with its
// three results, a case of the library with its sheet and the notice of its hidden settings, and
// an unknown patient answered. With VM_SCREENSHOT_DIR set, each view is left there as a PNG for
// the docs (tools/docs-screenshots.sh).

#include "data/parameter_table.h"
#include "model_window.h"
#include "record/record_file.h"
#include "recording_interaction.h"
#include "session/unknown_patient.h"
#include "ui/interpretation_window.h"
#include "ui/main_window.h"
#include "ui/patient_dialog.h"
#include "ui/unknown_patient_dialog.h"
#include "window_fixture.h"
#include "window_probe.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

using namespace vm::data;
using vm::reference::SpirometryPattern;

namespace fs = std::filesystem;

namespace {

// A copy of the program folder the build made, so that nothing the window writes lands there.
class BuildsProgramFolder : public ::testing::Test, protected WindowUnderTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = fs::path(dir.path().toStdString());
        for (const char* folder : {"datfiles1", "helpfiles", "simulations", "cases"})
            fs::copy(fs::path(VM_RUNTIME_DIR) / folder, root / folder, fs::copy_options::recursive);
        fs::create_directories(root / "lock");
        start(ProgramFolder{(dir.path() + QStringLiteral("/")).toStdString()}, root / "lock");
        form->show();
        ASSERT_TRUE(interaction.messages.isEmpty()) << interaction.messages.join('|').toStdString();
    }

    // The part of the window inside rect, saved under name when screenshots are asked for.
    void keepScreenshot(const QString& name, const QRect& rect, double scale = 1.0) const {
        const QString shots = qEnvironmentVariable("VM_SCREENSHOT_DIR");
        if (shots.isEmpty())
            return;
        QImage shot = form->grab(rect).toImage();
        if (scale != 1.0)
            shot = shot.scaledToWidth(qRound(shot.width() * scale), Qt::SmoothTransformation);
        EXPECT_TRUE(shot.save(shots + QStringLiteral("/") + name + QStringLiteral(".png")));
    }
    QRect inForm(const QWidget* widget) const {
        return QRect(widget->mapTo(form.get(), QPoint()), widget->size());
    }

    QTemporaryDir dir;
    fs::path root;
};

// The marking colour of the airway pictures, give or take what JPEG does to it.
bool marked(QColor c) {
    return std::abs(c.red() - 240) < 40 && std::abs(c.green() - 112) < 40 &&
           std::abs(c.blue() - 24) < 40;
}

TEST_F(BuildsProgramFolder, EachAirwayRegionAnswersTheMouseWithItsMarkedPictureAndHint) {
    const WindowProbe ui(*form);
    TextGrid table(kParameterTableColumns, kParameterTableRows);
    ASSERT_TRUE(ReadParameterTable(root / "datfiles1" / "F000.dat", table).ok);
    std::map<int, QPoint> lastOfCode; // in percent of the picture
    for (int row = 1; row < table.rowCount(); ++row)
        if (!table.cell(3, row).empty())
            lastOfCode[std::stoi(table.cell(3, row))] =
                QPoint(std::stoi(table.cell(1, row)), std::stoi(table.cell(2, row)));
    const std::map<int, QString> hints = {{2, QStringLiteral(" główne")},
                                          {3, QStringLiteral(" pośrednie")},
                                          {4, QStringLiteral(" obwodowe")},
                                          {5, QStringLiteral(" miąższ płuc")}};
    ImageView* image = ui.Image1();
    for (const auto& [code, hint] : hints) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(lastOfCode.count(code));
        const QPoint p(image->width() * lastOfCode[code].x() / 100,
                       image->height() * lastOfCode[code].y() / 100);
        QMouseEvent move(QEvent::MouseMove, QPointF(p), image->mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
        EXPECT_EQ(ui.airway().currentPicture(), code);
        EXPECT_EQ(ui.Memo1()->text(), hint);
        EXPECT_TRUE(ui.Memo1()->isVisible());
        EXPECT_TRUE(marked(image->canvas().pixelColor(p))) << "the part under the pointer";
        keepScreenshot(QStringLiteral("airway-region-%1").arg(code),
                       inForm(image).united(inForm(ui.Memo1())).adjusted(0, 0, 8, 0), 0.7);
    }
}

TEST_F(BuildsProgramFolder, EveryTeachingCaseOpensWithThreeResultsTheWorstSelected) {
    const WindowProbe ui(*form);
    int cases = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(root / "simulations")) {
        if (entry.path().extension() != ".spi")
            continue;
        ++cases;
        const QString name = QString::fromStdString(entry.path().stem().string());
        SCOPED_TRACE(name.toStdString());
        interaction.openAnswers << QString::fromStdString(entry.path().string());
        ui.Open1()->trigger();
        EXPECT_TRUE(interaction.messages.isEmpty());
        EXPECT_EQ(state.resultCount, 3);
        EXPECT_EQ(state.selectedRow, 1);
        EXPECT_EQ(ui.label("Label26")->text(), QStringLiteral("Plik:  ") + name);
        for (int row = 1; row <= 3; ++row)
            EXPECT_EQ(record.field(row, RowField::runStatus), 1.0f) << row;
        EXPECT_GT(countPixels(ui.Image2()->canvas(), qRgb(255, 0, 0)), 50);
        // The plots and the results table beside the airway picture.
        const QRect plots = inForm(ui.Image2()).united(inForm(ui.Image3()));
        keepScreenshot(QStringLiteral("case-") + name, plots.united(inForm(ui.StringGrid1())), 0.8);
    }
    EXPECT_GE(cases, 6);
}

} // namespace

namespace {

QAction* menuEntry(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

// The asthma case opened from the menu is read for its own patient, stored in its file, in the
// session's one reading; "% należnej" is the results table's "%"; the window follows the
// selection, and for an older patient the same ratio lies nearer the (lower) limit of normal.
// With VM_SCREENSHOT_DIR set, the window is kept as docs/interpretation.png.
TEST_F(BuildsProgramFolder, TheInterpretationWindowReadsACaseForItsPatientAndFollowsTheSelection) {
    const WindowProbe ui(*form);
    menuEntry(ui.Cases1(), QStringLiteral("Astma oskrzelowa"))->trigger();
    ASSERT_EQ(state.selectedRow, 1);
    QAction* interpretation = form->findChild<QAction*>(QStringLiteral("Interpretation1"));
    ASSERT_NE(interpretation, nullptr);
    interpretation->trigger();
    auto* window = form->findChild<InterpretationWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->patientLabel()->text().contains(QStringLiteral("kobieta, 28 lat, 161 cm")))
        << window->patientLabel()->text().toStdString();
    EXPECT_TRUE(window->patientLabel()->text().contains(QStringLiteral("zapisany w pliku")));
    const ResultReading reading = session->readResult(1);
    ASSERT_TRUE(reading.ok()) << reading.problem;
    EXPECT_EQ(reading.reading.pattern, SpirometryPattern::obstruction);
    EXPECT_EQ(window->readingLabel()->text().toStdString(),
              "Interpretacja (ATS/ERS 2022): " + reading.readingText);
    constexpr int kZ = 5, kPercent = 6; // columns of the indices table
    EXPECT_EQ(window->indicesTable()->item(0, kZ)->text(),
              QLocale().toString(reading.indices[0].zScore, 'f', 2));
    EXPECT_EQ(window->indicesTable()->item(3, kZ)->text(), QLocale().toString(0.0, 'f', 2))
        << "the reference reads z = 0";
    // "% należnej" of FEV1 is the results table's "%" of the reference, less the 10 ml of the
    // reading's FEV1 timed from time zero.
    const double tablePercent = QLocale().toDouble(ui.StringGrid1()->cells().cell(4, 1).c_str());
    EXPECT_NEAR(QLocale().toDouble(window->indicesTable()->item(0, kPercent)->text()), tablePercent,
                1.0);
    if (const QString shots = qEnvironmentVariable("VM_SCREENSHOT_DIR"); !shots.isEmpty()) {
        EXPECT_TRUE(window->grab().save(shots + QStringLiteral("/interpretation.png")));
    }

    clickGridRow(*ui.StringGrid2(), 3); // the mildest of the three
    EXPECT_EQ(state.selectedRow, 3);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("ShownRowLabel"))->text().contains('3'));
    const double ratioZAt28 = QLocale().toDouble(window->indicesTable()->item(2, kZ)->text());

    // An older, shorter patient: the same curves, other limits.
    interaction.onModalWindow = [](QDialog& dialog) {
        auto& patient = dynamic_cast<PatientDialog&>(dialog);
        patient.ageBox()->setValue(85);
        patient.heightBox()->setValue(155);
        patient.accept();
    };
    form->findChild<QAction*>(QStringLiteral("Patient1"))->trigger();
    EXPECT_DOUBLE_EQ(session->patient().age_years, 85.0);
    EXPECT_TRUE(window->patientLabel()->text().contains(QStringLiteral("85 lat")));
    EXPECT_GT(QLocale().toDouble(window->indicesTable()->item(2, kZ)->text()), ratioZAt28 + 0.5);
}

// A case with a setting no track bar shows: its sheet asks before it answers, the notice names the
// setting, "reset" keeps it, and only the restore command brings START back to the standard.
TEST_F(BuildsProgramFolder, ACaseShowsItsSheetAndHiddenSettingsUntilEverySettingIsRestored) {
    const WindowProbe ui(*form);
    QAction* open = menuEntry(ui.Cases1(), QStringLiteral("Zwężenie prawego oskrzela głównego"));
    ASSERT_NE(open, nullptr);
    open->trigger();
    auto* sheet = form->findChild<QTextBrowser*>(QStringLiteral("CaseText"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(sheet->toPlainText().contains(QStringLiteral("Mężczyzna, 64 lata, 165 cm")));
    EXPECT_TRUE(sheet->toPlainText().contains(QStringLiteral("Nastawy bez suwaka")));
    const QString firstAnswer = QStringLiteral("Tylko szczyt: PEF spada");
    EXPECT_FALSE(sheet->toPlainText().contains(firstAnswer));
    form->findChild<QPushButton*>(QStringLiteral("ShowAnswers"))->click();
    EXPECT_TRUE(sheet->toPlainText().contains(firstAnswer));
    const QString bronchus = QStringLiteral("prawe płuco – opór oskrzela głównego 2000 %");
    EXPECT_TRUE(ui.HiddenSettingsNote()->isVisible());
    EXPECT_TRUE(ui.HiddenSettingsNote()->text().contains(bronchus));
    keepScreenshot(QStringLiteral("case-notice"),
                   inForm(ui.StringGrid2()).united(inForm(ui.HiddenSettingsNote())), 0.8);
    if (!qEnvironmentVariable("VM_SCREENSHOT_DIR").isEmpty()) {
        EXPECT_TRUE(sheet->window()->grab().save(qEnvironmentVariable("VM_SCREENSHOT_DIR") +
                                                 QStringLiteral("/case-sheet.png")));
    }

    const auto pefOfReference = [this] {
        return record.field(1, RowField::pef) / record.field(0, RowField::pef);
    };
    ui.Button1()->click();
    ui.Button2Click();
    EXPECT_NEAR(pefOfReference(), 0.77, 0.005) << "the bronchus stays narrowed after reset";
    EXPECT_TRUE(ui.HiddenSettingsNote()->text().contains(bronchus));

    ui.RestoreAll1()->trigger();
    EXPECT_FALSE(ui.HiddenSettingsNote()->text().contains(QStringLiteral("Następny START")));
    ui.Button2Click();
    for (const RowField field : {RowField::fev1, RowField::fvcex, RowField::pef, RowField::mef50})
        EXPECT_NEAR(record.field(1, field) / record.field(0, field), 1.0, 1e-4);
    EXPECT_FALSE(ui.HiddenSettingsNote()->isVisible());
}

// The README's views: the window after one START with the peripheral resistance doubled, and a
// replay of it part way, the lungs moving over the airway picture.
TEST_F(BuildsProgramFolder, AStartWithThePeripheralResistanceDoubledAndItsReplay) {
    const WindowProbe ui(*form);
    ui.Panel3Click();
    ui.trackBar(5)->setValue(300);
    ui.Button2Click();
    EXPECT_EQ(record.partSetting(1, kEditedPart, SettingColumn::rPeripheral), 200.0f);
    EXPECT_LT(record.field(1, RowField::mef25), 0.9f * record.field(0, RowField::mef25));
    EXPECT_FALSE(ui.HiddenSettingsNote()->isVisible());
    keepScreenshot(QStringLiteral("after-start"), form->rect());
    // The picture is taken once the frame is painted: the replay lets events through after each.
    int frames = 0;
    PaintWatcher watcher(ui.Image1(), [&] {
        if (ui.animationBusy() && ++frames == 60)
            QTimer::singleShot(0, form.get(), [this] {
                keepScreenshot(QStringLiteral("lung-replay"), form->rect());
            });
    });
    QTest::mouseClick(ui.Button8(), Qt::LeftButton);
    EXPECT_GT(frames, 60);
}

// Patient 12 answered right in the window, its settings and reading hidden until then (the quiz
// shows its values against the patient's reference), is the runner's "quiz --seed 12"; read for
// the drawn patient once answered. A second patient closed unanswered counts as skipped.
TEST_F(BuildsProgramFolder, AnUnknownPatientAnsweredRightIsTheRunnersPatientOfTheSameNumber) {
    const WindowProbe ui(*form);
    ui.cases().proposeNumber = [] { return 5u; };
    QStringList seen;
    interaction.onModalWindow = [&](QDialog& dialog) {
        if (auto* number = dynamic_cast<UnknownPatientNumberDialog*>(&dialog)) {
            EXPECT_EQ(number->number()->value(), 5);
            number->number()->setValue(12);
            number->accept();
            return;
        }
        auto* quiz = dynamic_cast<UnknownPatientDialog*>(&dialog);
        ASSERT_NE(quiz, nullptr);
        seen << ui.StringGrid2()->cells().cell(0, 1).c_str();
        seen << (ui.HiddenSettingsNote()->isVisible() ? "notice" : "no notice");
        const QuizKey key = *ui.cases().quiz().key();
        form->findChild<QAction*>(QStringLiteral("Interpretation1"))->trigger();
        auto* window = form->findChild<InterpretationWindow*>();
        EXPECT_TRUE(window->readingLabel()->text().contains(QStringLiteral("po odpowiedzi")));
        EXPECT_EQ(window->indicesTable()->item(0, 1)->text(), QStringLiteral("—"));
        EXPECT_EQ(quiz->valuesTable()->item(0, 3)->text(),
                  QLocale().toString(key.reading.indices[0].zScore, 'f', 2));
        quiz->patternButton(key.pattern)->click();
        quiz->severityButton(key.severity)->click();
        quiz->checkButton()->click();
        seen << quiz->answerText()->toPlainText().section(QLatin1Char('\n'), 0, 0);
        if (!qEnvironmentVariable("VM_SCREENSHOT_DIR").isEmpty())
            quiz->grab().save(qEnvironmentVariable("VM_SCREENSHOT_DIR") +
                              QStringLiteral("/unknown-patient.png"));
        dialog.accept();
    };
    ui.UnknownPatient1()->trigger();
    EXPECT_EQ(seen, (QStringList{QStringLiteral("   ?"), QStringLiteral("no notice"),
                                 QStringLiteral("Rozpoznanie: dobrze. Stopień: dobrze.")}));
    EXPECT_EQ(ui.cases().quiz().score().patternsRight, 1);
    EXPECT_NE(ui.StringGrid2()->cells().cell(0, 1), "   ?") << "shown once answered";
    EXPECT_EQ(form->findChild<InterpretationWindow*>()->readingLabel()->text().toStdString(),
              "Interpretacja (ATS/ERS 2022): " + ui.cases().quiz().key()->reading.readingText);

    const QString file = dir.path() + QStringLiteral("/patient12.spi");
    QProcess cli;
    cli.start(QStringLiteral(VM_CLI_PATH), {QStringLiteral("quiz"), QStringLiteral("--seed"),
                                            QStringLiteral("12"), QStringLiteral("--out"), file});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    SimulationRecord runner;
    ASSERT_TRUE(readRecordFile(file.toStdString(), runner).ok);
    for (int f = 0; f < kStoredIndexCount; ++f)
        EXPECT_EQ(record.field(1, RowField(f)), runner.field(1, RowField(f))) << f;
    for (int part = 0; part < layout::kParts; ++part)
        for (int column = 0; column < layout::kSettingColumns; ++column)
            EXPECT_EQ(record.partSetting(1, part, column), runner.partSetting(1, part, column));

    interaction.onModalWindow = [](QDialog& dialog) {
        if (auto* number = dynamic_cast<UnknownPatientNumberDialog*>(&dialog))
            number->number()->setValue(13);
        dialog.accept();
    };
    interaction.messages.clear();
    ui.UnknownPatient1()->trigger();
    EXPECT_EQ(ui.cases().quiz().score().answered, 2);
    EXPECT_EQ(ui.cases().quiz().score().skipped, 1);
    ASSERT_EQ(interaction.messages.size(), 1);
    EXPECT_TRUE(interaction.messages[0].startsWith(QStringLiteral("Pytanie pominięte.")));
}

} // namespace

// The window on the data files the build lays beside the program: the airway picture answers the
// mouse over each region with its marked picture and hint, and every teaching case opens with its
// three results. With VM_SCREENSHOT_DIR set, each view is left there as a PNG for the docs
// (tools/docs-screenshots.sh).

#include "data/parameter_table.h"
#include "model_window.h"
#include "recording_interaction.h"
#include "ui/interpretation_window.h"
#include "ui/main_window.h"
#include "ui/patient_dialog.h"
#include "window_probe.h"

#include <QAction>
#include <QApplication>
#include <QDoubleSpinBox>
#include <QLocale>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

using namespace vm::data;

namespace fs = std::filesystem;

namespace {

// A copy of the program folder the build made, so that nothing the window writes lands there.
class BuildsProgramFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = fs::path(dir.path().toStdString());
        for (const char* folder : {"datfiles1", "helpfiles", "simulations"})
            fs::copy(fs::path(VM_RUNTIME_DIR) / folder, root / folder, fs::copy_options::recursive);
        fs::create_directories(root / "lock");
        session = std::make_unique<Session>(
            record, state, model, ProgramFolder{(dir.path() + QStringLiteral("/")).toStdString()});
        form = std::make_unique<TForm1>(interaction, *session, root / "lock");
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
    RecordingInteraction interaction;
    SimulationRecord record;
    RecordState state;
    ModelState model;
    std::unique_ptr<Session> session;
    std::unique_ptr<TForm1> form;
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

// The asthma case read for two patients: its worst result is an obstruction for the default
// patient, the window follows the selection, and for an older patient the fixed 0.70 ratio calls
// an obstruction where the lower limit of normal sees none. With VM_SCREENSHOT_DIR set, the
// window is kept as docs/interpretation.png.
TEST_F(BuildsProgramFolder, TheInterpretationWindowReadsACaseForThePatientAndFollowsTheSelection) {
    const WindowProbe ui(*form);
    interaction.openAnswers << QString::fromStdString(
        (root / "simulations" / "astma_oskrzelowa.spi").string());
    ui.Open1()->trigger();
    ASSERT_EQ(state.selectedRow, 1);
    QAction* interpretation = form->findChild<QAction*>(QStringLiteral("Interpretation1"));
    ASSERT_NE(interpretation, nullptr);
    interpretation->trigger();
    auto* window = form->findChild<InterpretationWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->readingLabel()->text().contains(QStringLiteral("Obturacja")))
        << window->readingLabel()->text().toStdString();
    const QString z = window->indicesTable()->item(0, 4)->text(); // FEV1's z-score
    EXPECT_LT(QLocale().toDouble(z), -1.645) << z.toStdString();
    EXPECT_GT(QLocale().toDouble(window->indicesTable()->item(3, 4)->text()), -1.645)
        << "the reference is normal";
    if (const QString shots = qEnvironmentVariable("VM_SCREENSHOT_DIR"); !shots.isEmpty())
        EXPECT_TRUE(window->grab().save(shots + QStringLiteral("/interpretation.png")));

    clickGridRow(*ui.StringGrid2(), 3); // the mildest of the three
    EXPECT_EQ(state.selectedRow, 3);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("ShownRowLabel"))->text().contains('3'));

    // An older, shorter patient: the same curves, other limits.
    interaction.onModalWindow = [](QDialog& dialog) {
        auto& patient = dynamic_cast<PatientDialog&>(dialog);
        patient.ageBox()->setValue(85);
        patient.heightBox()->setValue(155);
        patient.accept();
    };
    form->findChild<QAction*>(QStringLiteral("Patient1"))->trigger();
    EXPECT_DOUBLE_EQ(session->patient().age_years, 85.0);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("PatientLabel"))->text().contains("85"));
}

} // namespace

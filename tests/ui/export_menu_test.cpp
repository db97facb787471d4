// The "Eksport" menu: the pictures it saves are the window's own plots pixel for pixel, its CSV
// is the session's export of the record in the window, and a file that cannot be written is told.

#include "model_window.h"

#include "record/record_file.h"
#include "session/batch_csv.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vm::record;
using namespace vm::ui;

namespace fs = std::filesystem;

namespace {

QString text(const fs::path& path) {
    return QString::fromStdString(path.string());
}

std::string fileText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The reference and two results with curves of their own, in the simulations folder.
fs::path writeTwoResults(const fs::path& simulations) {
    SimulationRecord record;
    for (int row = 0; row <= 2; ++row)
        for (int i = 1; i <= 60; ++i) {
            const float t = static_cast<float>(i) / 60.0f;
            const float size = 1.0f + 0.3f * static_cast<float>(row);
            record.setFvVolume(row, i, size * (4.0f - 3.0f * t));
            record.setFvFlow(row, i, -8.0f * size * t * (1.0f - t));
            record.setVtTime(row, i, 0.1f * static_cast<float>(i));
            record.setVtVolume(row, i, size * (2.5f + t));
            record.setField(row, RowField::runStatus, 1.0f);
            record.setField(row, RowField::fev1, size * 2.9f);
            record.setField(row, RowField::frc, 2.5f);
        }
    const fs::path path = simulations / "two.spi";
    EXPECT_TRUE(writeRecordFile(path, record).ok);
    return path;
}

TEST(ExportMenu, SavesTheWindowsPlotsAndTheRecordsCsv) {
    ModelWindow m;
    const WindowProbe ui(m.form());
    RecordingInteraction& seam = m.w.interaction;
    const fs::path simulations = m.folder.path() / "simulations";
    seam.openAnswers << text(writeTwoResults(simulations));
    ui.Open1()->trigger();
    ASSERT_EQ(m.w.state.resultCount, 2);
    ASSERT_EQ(m.w.state.selectedRow, 1);

    const auto items = ui.Export1()->actions();
    ASSERT_EQ(items.size(), 7);
    // Pictures: the flow-volume plot as PNG and SVG, then the volume-time plot.
    const struct {
        QAction* item;
        const char* name;
        const QImage& shown;
    } pictures[] = {{items[0], "fv.png", ui.Image2()->canvas()},
                    {items[0], "fv.svg", ui.Image2()->canvas()},
                    {items[1], "vt.png", ui.Image3()->canvas()}};
    for (const auto& picture : pictures) {
        seam.saveAnswers << text(simulations / picture.name);
        picture.item->trigger();
        const QString saved = text(simulations / picture.name);
        ASSERT_TRUE(QFile::exists(saved)) << picture.name;
        if (saved.endsWith(QStringLiteral(".png"))) {
            EXPECT_EQ(QImage(saved).convertToFormat(picture.shown.format()), picture.shown)
                << picture.name;
        }
    }
    EXPECT_EQ(seam.fileDialogs.back(),
              (QStringList{text(simulations), QStringLiteral("Obraz PNG|*.png|Obraz SVG|*.svg"),
                           QStringLiteral("png")}));

    const std::string expected[] = {vm::session::ResultsCsv(*m.w.session, true),
                                    vm::session::FlowVolumeCsv(m.w.record, 2),
                                    vm::session::VolumeTimeCsv(m.w.record, 2)};
    for (int i = 0; i < 3; ++i) {
        const fs::path path = simulations / ("table" + std::to_string(i) + ".csv");
        seam.saveAnswers << text(path);
        items[2 + i]->trigger();
        EXPECT_EQ(fileText(path), expected[i]) << i;
    }
    EXPECT_NE(expected[1].find("\n2,60,"), std::string::npos);
    EXPECT_NE(expected[0].find(",fev1 z,"), std::string::npos) << "read for the patient";

    // The selected result's spirogram and its one-page report.
    for (const auto& [item, name] : {std::pair{items[5], "s.png"}, std::pair{items[6], "r.pdf"}}) {
        seam.saveAnswers << text(simulations / name);
        item->trigger();
        EXPECT_GT(fileText(simulations / name).size(), 1000u) << name;
    }
    EXPECT_TRUE(fileText(simulations / "r.pdf").starts_with("%PDF"));

    // A cancelled dialog writes nothing and says nothing; a folder that is not there is told.
    items[3]->trigger();
    EXPECT_TRUE(seam.messages.isEmpty()) << seam.messages.join('|').toStdString();
    seam.saveAnswers << text(simulations / "missing" / "fv.png");
    items[0]->trigger();
    ASSERT_EQ(seam.messages.size(), 1);
    EXPECT_TRUE(seam.messages[0].contains(QStringLiteral("missing")))
        << seam.messages[0].toStdString();
    // The report is written as every file is: through a link, and a full disk is told.
    fs::create_symlink("/dev/full", simulations / "report.pdf");
    seam.saveAnswers << text(simulations / "report.pdf");
    items.back()->trigger();
    EXPECT_TRUE(seam.messages.back().startsWith(QStringLiteral("Disk full")))
        << seam.messages.size();
    EXPECT_TRUE(fs::is_symlink(simulations / "report.pdf"));
}

} // namespace

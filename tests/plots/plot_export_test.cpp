// The plots' pictures: a saved PNG holds the drawn pixels exactly, an SVG the same picture at its
// size, and a file that cannot be written is reported.

#include "plots/flow_volume_plot.h"
#include "plots/plot_export.h"
#include "plots/volume_time_plot.h"
#include "record/simulation_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vm::record;
using namespace vm::plots;

namespace {

SimulationRecord recordWithTwoRows() {
    SimulationRecord record;
    for (int row = 0; row < 2; ++row)
        for (int i = 1; i <= 40; ++i) {
            const float t = static_cast<float>(i) / 40.0f;
            record.setFvVolume(row, i, 5.0f - 3.0f * t);
            record.setFvFlow(row, i, -6.0f * t * (1.0f - t) * static_cast<float>(row + 1));
            record.setVtTime(row, i, 0.1f * static_cast<float>(i));
            record.setVtVolume(row, i, 3.0f + static_cast<float>(row) - t);
        }
    return record;
}

TEST(PlotExport, SavedPicturesHoldTheDrawnPlots) {
    const SimulationRecord record = recordWithTwoRows();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage plots[] = {FlowVolumePlotImage(record, 1, QSize(300, 200)),
                            VolumeTimePlotImage(record, 1, QSize(300, 100))};
    for (const QImage& plot : plots) {
        // Something of the curves is drawn besides the frame and the white.
        EXPECT_GT(plot.convertToFormat(QImage::Format_Indexed8).colorCount(), 2);
        const std::filesystem::path png = dir.filePath("plot.png").toStdString();
        ASSERT_EQ(SavePlotImage(plot, png), "");
        const QImage read(QString::fromStdString(png.string()));
        EXPECT_EQ(read.convertToFormat(plot.format()), plot);

        const std::filesystem::path svg = dir.filePath("plot.SVG").toStdString();
        ASSERT_EQ(SavePlotImage(plot, svg), "");
        QFile file(QString::fromStdString(svg.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        EXPECT_TRUE(text.contains("<svg")) << text.left(200).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("width=\"%1\"").arg(plot.width()).toUtf8()));
        EXPECT_TRUE(text.contains("<image"));
    }
    // The volume-time picture without a selected result is the empty frame the window shows.
    QImage frame(300, 100, QImage::Format_RGB32);
    frame.fill(Qt::white);
    VolumeTimePlot().DrawVolumeTimeStep(frame, record, 0);
    EXPECT_EQ(VolumeTimePlotImage(record, -1, frame.size()), frame);
    EXPECT_NE(plots[1].copy(0, 0, 300, 100), frame);

    for (const char* name : {"missing/plot.png", "missing/plot.svg"})
        EXPECT_NE(SavePlotImage(plots[0], dir.filePath(name).toStdString()), "") << name;
    // Written by the file layer, which names the cause.
    const std::filesystem::path full = dir.filePath("full.svg").toStdString();
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_TRUE(SavePlotImage(plots[0], full).starts_with("Disk full: " + full.string()));
}

} // namespace

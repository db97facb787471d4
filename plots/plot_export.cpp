#include "plots/plot_export.h"

#include "plots/flow_volume_plot.h"
#include "plots/volume_time_plot.h"
#include "record/file_replace.h"

#include <QBuffer>
#include <QByteArray>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <span>

namespace vm::plots {

namespace {

// A white canvas as the window's picture controls make them.
QImage blankCanvas(QSize size) {
    QImage canvas(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

bool endsInSvg(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".svg";
}

} // namespace

QImage FlowVolumePlotImage(const record::SimulationRecord& record, int selectedRow, QSize size) {
    QImage canvas = blankCanvas(size);
    DrawFlowVolumePlot(canvas, record, selectedRow);
    return canvas;
}

QImage VolumeTimePlotImage(const record::SimulationRecord& record, int selectedRow, QSize size) {
    QImage canvas = blankCanvas(size);
    VolumeTimePlot plot;
    // The frame first: a selected row without samples leaves the canvas as it was.
    plot.DrawVolumeTimeStep(canvas, record, 0);
    if (selectedRow >= 1)
        plot.RedrawVolumeTimeCurve(canvas, record, selectedRow);
    return canvas;
}

std::string SavePlotImage(const QImage& image, const std::filesystem::path& path) {
    // Encoded in memory first, so that the file is written as every save of the program is.
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    const std::string failure = "cannot encode the picture for " + path.string();
    if (!endsInSvg(path)) {
        if (!image.save(&buffer, "PNG"))
            return failure;
    } else {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(image.size());
        svg.setViewBox(QRect(QPoint(0, 0), image.size()));
        QPainter painter;
        if (!painter.begin(&svg))
            return failure;
        painter.drawImage(QPoint(0, 0), image);
        if (!painter.end())
            return failure;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    return record::replaceFileContents(path,
                                       std::span(bytes, static_cast<std::size_t>(encoded.size())))
        .message;
}

} // namespace vm::plots

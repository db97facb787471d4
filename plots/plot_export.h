#pragma once
// The plots as pictures for other programs: drawn by the same functions that draw them in the
// window, at a size given, and saved as PNG or as SVG (the same pixels inside an SVG page, so
// that both files show exactly what the window shows).

#include <QImage>
#include <QSize>

#include <filesystem>
#include <string>

namespace vm::record {
class SimulationRecord;
}

namespace vm::plots {

// The window's plots on a 1280x1024 screen whose maximised client area is 1280x900, for pictures
// made without a window.
inline constexpr QSize kDesignFlowVolumePlotSize{486, 371};
inline constexpr QSize kDesignVolumeTimePlotSize{486, 119};

// The flow-volume plot of the reference and every result, selectedRow (1..3) thicker.
QImage FlowVolumePlotImage(const record::SimulationRecord& record, int selectedRow, QSize size);

// The volume-time plot as the window shows it after a command: the selected row's curve, or the
// empty frame when no result is selected (selectedRow < 1).
QImage VolumeTimePlotImage(const record::SimulationRecord& record, int selectedRow, QSize size);

// The picture as PNG, or as SVG when the path ends in ".svg" (any letter case), written as every
// save of the program writes (record/file_replace.h); empty on success, else what went wrong.
std::string SavePlotImage(const QImage& image, const std::filesystem::path& path);

} // namespace vm::plots

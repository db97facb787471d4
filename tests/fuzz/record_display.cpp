#include "record_display.h"

#include "fuzz_scratch.h"
#include "model/model_state.h"
#include "plots/flow_volume_plot.h"
#include "plots/lung_frame.h"
#include "plots/volume_time_plot.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "record/vocabulary.h"
#include "session/results_table.h"
#include "session/session.h"
#include "ui/track_bar_scales.h"

#include <QImage>

#include <algorithm>

using namespace vm;
using namespace vm::record;

namespace vm::fuzz {

namespace {

// What the window does with a command's changes, without the window.
void showChanges(const session::ViewChanges& changes, session::Session& session, QImage& fvCanvas,
                 QImage& vtCanvas, QImage& lungCanvas) {
    const SimulationRecord& record = session.record();
    const RecordState& state = session.state();
    data::TextGrid rowGrid(session::kRowGridColumns, session::kRowGridRows);
    data::TextGrid resultsGrid(session::kResultsTableColumns, session::kResultsTableRows);
    if (changes.resultLines)
        for (int r = 1; r <= 3; ++r)
            session::FillGridRow(rowGrid, record, r, r, ',');
    if (changes.referenceLine)
        session::FillGridRow(rowGrid, record, 4, 0, '.');
    if (changes.controlsFromRow) {
        const int source = std::max(*changes.controlsFromRow, 0);
        for (const Setting& spec : kSettings) {
            const int position =
                ui::trackBarPosition(spec.trackBar, session.controlSetting(spec, source));
            if (position < spec.minimum || position > spec.maximum)
                __builtin_trap();
        }
    }
    if (changes.resultsTable)
        session::ShowResultsTable(resultsGrid, record, state, changes.resultsTable->row,
                                  changes.resultsTable->withValues, ',');
    if (changes.flowVolumePlot)
        plots::DrawFlowVolumePlot(fvCanvas, record, state.selectedRow);
    plots::VolumeTimePlot volumeTime;
    if (changes.volumeTime == session::VolumeTimeView::selectedCurve) {
        volumeTime.RedrawVolumeTimeCurve(vtCanvas, record, state.selectedRow);
    } else if (changes.volumeTime == session::VolumeTimeView::emptyFrame) {
        volumeTime.DrawVolumeTimeStep(vtCanvas, record, 0);
    }

    // The replay: the first few frames its rule picks, each drawn whole.
    if (state.selectedRow < 1)
        return;
    std::optional<plots::ReplayFrameRule> rule;
    int frames = 0;
    const plots::ReplayHook hook = [&](int row, int sample, float volume_l, float vMax_l,
                                       float vPos_l) {
        if (!rule)
            rule.emplace(vPos_l);
        if (!rule->frameAt(volume_l, vMax_l, vPos_l))
            return true;
        plots::DrawLungFrame(lungCanvas, QImage(), plots::lungFrameValuesAt(record, row, sample));
        return ++frames < 3;
    };
    plots::DrawFlowVolumePlot(fvCanvas, record, state.selectedRow, &hook);
}

} // namespace

std::optional<std::string> openAndShow(const std::filesystem::path& file, QSize canvasSize,
                                       bool everyResult) {
    SimulationRecord record;
    RecordState state;
    model::ModelState model;
    session::Session session(record, state, model, {scratchFolder()});
    const session::ViewChanges opened = session.OpenSimulationFile(file);
    if (opened.message)
        return opened.message;

    QImage fvCanvas(canvasSize, QImage::Format_RGB32);
    QImage vtCanvas(canvasSize, QImage::Format_RGB32);
    QImage lungCanvas(canvasSize, QImage::Format_RGB32);
    fvCanvas.fill(Qt::white);
    vtCanvas.fill(Qt::white);
    showChanges(opened, session, fvCanvas, vtCanvas, lungCanvas);

    // Every other result as a click on its grid line shows it, and each row's table.
    for (int r = 2; r <= 3 && everyResult; ++r)
        showChanges(session.SelectResultRow(r), session, fvCanvas, vtCanvas, lungCanvas);
    data::TextGrid resultsGrid(session::kResultsTableColumns, session::kResultsTableRows);
    for (int row = 0; row <= 4; ++row)
        session::ShowResultsTable(resultsGrid, record, state, row, true, '.');
    return std::nullopt;
}

} // namespace vm::fuzz

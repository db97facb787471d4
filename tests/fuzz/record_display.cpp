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
#include <map>
#include <utility>

using namespace vm;
using namespace vm::record;

namespace vm::fuzz {

namespace {

// The plots the commands so far asked to redraw.
struct PlotRequest {
    bool flowVolume = false;
    session::VolumeTimeView volumeTime = session::VolumeTimeView::unchanged;

    void add(const session::ViewChanges& changes) {
        flowVolume = flowVolume || changes.flowVolumePlot;
        if (changes.volumeTime != session::VolumeTimeView::unchanged)
            volumeTime = changes.volumeTime;
    }
};

struct Canvases {
    QImage flowVolume, volumeTime, lung;
};

// What the window does with a command's changes, without the window, but the plots.
void showTables(const session::ViewChanges& changes, session::Session& session) {
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
}

// The plots asked for, as the window redraws them; with replay, then the first frames of the
// shown result's replay.
void drawPlots(const PlotRequest& request, session::Session& session, Canvases& canvases,
               bool replay) {
    const SimulationRecord& record = session.record();
    const RecordState& state = session.state();
    if (request.flowVolume)
        plots::DrawFlowVolumePlot(canvases.flowVolume, record, state.selectedRow);
    plots::VolumeTimePlot volumeTime;
    if (request.volumeTime == session::VolumeTimeView::selectedCurve) {
        volumeTime.RedrawVolumeTimeCurve(canvases.volumeTime, record, state.selectedRow);
    } else if (request.volumeTime == session::VolumeTimeView::emptyFrame) {
        volumeTime.DrawVolumeTimeStep(canvases.volumeTime, record, 0);
    }

    // The replay: the first few frames its rule picks, each drawn whole.
    if (!replay || state.selectedRow < 1)
        return;
    std::optional<plots::ReplayFrameRule> rule;
    int frames = 0;
    const plots::ReplayHook hook = [&](int row, int sample, float volume_l, float vMax_l,
                                       float vPos_l) {
        if (!rule)
            rule.emplace(vPos_l);
        if (!rule->frameAt(volume_l, vMax_l, vPos_l))
            return true;
        plots::DrawLungFrame(canvases.lung, QImage(),
                             plots::lungFrameValuesAt(record, row, sample));
        return ++frames < 3;
    };
    plots::DrawFlowVolumePlot(canvases.flowVolume, record, state.selectedRow, &hook);
}

} // namespace

std::optional<std::string> openAndShow(const std::filesystem::path& file, QSize canvasSize,
                                       ShowMore more) {
    SimulationRecord record;
    RecordState state;
    model::ModelState model;
    session::Session session(record, state, model, {scratchFolder()});
    const session::ViewChanges opened = session.OpenSimulationFile(file);
    if (opened.message)
        return opened.message;

    // Kept from one call to the next, as the window keeps its canvases.
    static std::map<std::pair<int, int>, Canvases> canvasesOfSize;
    Canvases& canvases = canvasesOfSize[{canvasSize.width(), canvasSize.height()}];
    if (canvases.flowVolume.size() != canvasSize)
        canvases = {QImage(canvasSize, QImage::Format_RGB32),
                    QImage(canvasSize, QImage::Format_RGB32),
                    QImage(canvasSize, QImage::Format_RGB32)};
    canvases.flowVolume.fill(Qt::white);
    canvases.volumeTime.fill(Qt::white);
    PlotRequest plots;
    const auto show = [&](const session::ViewChanges& changes) {
        showTables(changes, session);
        plots.add(changes);
        if (more.draw && more.drawEveryStep) {
            drawPlots(plots, session, canvases, more.replay);
            plots = {};
        }
    };
    show(opened);
    // The other results asked for as a click on its grid line shows each, and each row's table.
    for (int r = 2; r <= 3; ++r)
        if (more.otherResults & (1u << (r - 2)))
            show(session.SelectResultRow(r));
    if (more.draw && !more.drawEveryStep)
        drawPlots(plots, session, canvases, more.replay);
    data::TextGrid resultsGrid(session::kResultsTableColumns, session::kResultsTableRows);
    for (int row = 0; row <= 4; ++row)
        session::ShowResultsTable(resultsGrid, record, state, row, true, '.');
    return std::nullopt;
}

} // namespace vm::fuzz

// How long the plots take to draw: a full flow-volume redraw, a full volume-time redraw, one live
// tick of a run, a redraw of rows full of wild values from a file, and one lung frame.
#include "plots/flow_volume_plot.h"
#include "plots/lung_frame.h"
#include "plots/volume_time_plot.h"
#include "record/simulation_record.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>
#include <limits>

using namespace vm::record;
using namespace vm::plots;

namespace {

// Rows 0..3 with a forced expiration over all 1500 flow-volume samples and 1000 volume-time
// samples, shaped roughly like a real test.
SimulationRecord fullRecord() {
    SimulationRecord record;
    for (int row = 0; row <= 3; ++row) {
        for (int n = 1; n <= 1500; ++n) {
            const float expired = 5.0f * (1.0f - std::exp(-n / 300.0f));
            record.setFvVolume(row, n, 6.5f - expired - 0.1f * row);
            record.setFvFlow(row, n, -9.0f * std::exp(-n / 300.0f) * (n < 20 ? n / 20.0f : 1.0f));
            record.setLobeTraceA(row, n, 1, 1.0f);
        }
        for (int k = 1; k <= 1000; ++k) {
            record.setVtTime(row, k, 0.06f * k);
            record.setVtVolume(row, k, 3.0f + 0.5f * std::sin(k / 8.0f));
        }
        record.setField(row, RowField::fev1, 3.5f);
        record.setField(row, RowField::flowAt1s, -4.0f);
        record.setField(row, RowField::frc, 3.0f);
    }
    return record;
}

void BM_DrawFlowVolumePlot(benchmark::State& state) {
    const SimulationRecord record = fullRecord();
    QImage canvas(420, 330, QImage::Format_RGB32);
    for (auto _ : state)
        DrawFlowVolumePlot(canvas, record, 1);
}
BENCHMARK(BM_DrawFlowVolumePlot)->Unit(benchmark::kMillisecond);

void BM_DrawFlowVolumePlotWithReplayHook(benchmark::State& state) {
    const SimulationRecord record = fullRecord();
    QImage canvas(420, 330, QImage::Format_RGB32);
    int samples = 0;
    const ReplayHook hook = [&](int, int, float, float, float) { return ++samples > 0; };
    for (auto _ : state)
        DrawFlowVolumePlot(canvas, record, 1, &hook);
}
BENCHMARK(BM_DrawFlowVolumePlotWithReplayHook)->Unit(benchmark::kMillisecond);

void BM_RedrawVolumeTimeCurve(benchmark::State& state) {
    const SimulationRecord record = fullRecord();
    QImage canvas(420, 330, QImage::Format_RGB32);
    VolumeTimePlot plot;
    for (auto _ : state)
        plot.RedrawVolumeTimeCurve(canvas, record, 1);
}
BENCHMARK(BM_RedrawVolumeTimeCurve)->Unit(benchmark::kMillisecond);

// One tick of a run: the new segment and the clock.
void BM_LiveFrameTickAndClock(benchmark::State& state) {
    const SimulationRecord record = fullRecord();
    QImage canvas(420, 330, QImage::Format_RGB32);
    VolumeTimePlot plot;
    plot.RedrawVolumeTimeCurve(canvas, record, 1);
    int step = 2;
    for (auto _ : state) {
        plot.setVtStep(step);
        plot.LiveFrameTick(canvas, record);
        plot.ShowRunClock(canvas, 0.1 * step, QChar(u','));
        step = step == 1000 ? 2 : step + 1;
    }
}
BENCHMARK(BM_LiveFrameTickAndClock)->Unit(benchmark::kMicrosecond);

// Rows of a hostile file: huge and non-finite values everywhere.
void BM_DrawPlotsOfWildValues(benchmark::State& state) {
    SimulationRecord record;
    const float wild[] = {3e38f, -3e38f, std::numeric_limits<float>::quiet_NaN(),
                          1e20f, -1e20f, std::numeric_limits<float>::infinity()};
    for (int row = 0; row <= 3; ++row) {
        for (int n = 1; n <= 1500; ++n) {
            record.setFvVolume(row, n, wild[(n + row) % 6] + (n % 2 ? 0.0f : 1.0f));
            record.setFvFlow(row, n, wild[(n * 7 + row) % 6]);
        }
        for (int k = 1; k <= 1000; ++k) {
            record.setVtTime(row, k, wild[(k * 5) % 6] + 1.0f);
            record.setVtVolume(row, k, wild[(k * 11) % 6]);
        }
    }
    QImage canvas(420, 330, QImage::Format_RGB32);
    VolumeTimePlot plot;
    for (auto _ : state) {
        DrawFlowVolumePlot(canvas, record, 1);
        plot.RedrawVolumeTimeCurve(canvas, record, 1);
    }
}
BENCHMARK(BM_DrawPlotsOfWildValues)->Unit(benchmark::kMillisecond);

// One lung frame at the picture size of a 1280 × 1024 screen, lobes as the standard run stores
// them partway through its forced expiration, every lobe flow-limited.
LungFrameValues standardFrameValues() {
    LungFrameValues values;
    values.lobeVolume = {0.7036, 0.8666, 0.529, 0.6981, 0.6913};
    values.peripheralResistance = {0.0398, 0.0307, 0.0581, 0.0406, 0.0416};
    values.intermediateResistance = {4.221, 3.703, 5.596, 4.458, 4.752};
    values.flowLimited = {true, true, true, true, true};
    values.tracheaCoefficient = 0.04546;
    values.leftBronchusCoefficient = 0.00057;
    values.rightBronchusCoefficient = 0.00057;
    return values;
}

QImage lungBackground() {
    QImage background(600, 500, QImage::Format_RGB32);
    background.fill(QColor(220, 230, 240));
    return background;
}

// As the window draws it: over the background stretched once and kept.
void BM_DrawLungFrame(benchmark::State& state) {
    QImage buffer(486, 543, QImage::Format_RGB32);
    const QImage background = stretchedBackground(lungBackground(), buffer.size());
    const LungFrameValues values = standardFrameValues();
    for (auto _ : state)
        DrawLungFrame(buffer, background, values);
}
BENCHMARK(BM_DrawLungFrame)->Unit(benchmark::kMicrosecond);

// The same frame stretching the background anew each time.
void BM_DrawLungFrameStretchingBackground(benchmark::State& state) {
    QImage buffer(486, 543, QImage::Format_RGB32);
    const QImage background = lungBackground();
    const LungFrameValues values = standardFrameValues();
    for (auto _ : state)
        DrawLungFrame(buffer, background, values);
}
BENCHMARK(BM_DrawLungFrameStretchingBackground)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

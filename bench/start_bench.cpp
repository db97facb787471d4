// What the live drawing costs a START press: the whole command in the main window (locking the
// window, the run with its live volume-time curve and clock, the tables and plots after it)
// against the same run without a window, as the headless runner does it. Both start every
// iteration from the model as start-up leaves it, at the standard settings.
//
// Run on a real display or under xvfb-run to count the painting; with QT_QPA_PLATFORM=offscreen
// the window still draws but nothing reaches a screen.

#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "record/record_file.h"
#include "ui/interaction.h"
#include "ui/main_window.h"
#include "window_probe.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <filesystem>

using namespace vm::record;
using namespace vm::model;
using namespace vm::session;
using namespace vm::ui;

namespace {

// Nothing modal and no sound: the benchmark measures drawing and computing only.
class SilentInteraction : public Interaction {
  public:
    void showMessage(const QString&) override {}
    QString getOpenFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString getSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    void showHelpFile(const std::filesystem::path&) override {}
    void showAboutBox() override {}
    void showModalWindow(QDialog&) override {}
    void playSystemSound(const QString&) override {}
    void beep() override {}
};

// START in the window as the user meets it, its live frames shown at most once a display refresh
// (everyFrame false), or every frame shown as the run draws it.
void startPresses(benchmark::State& state, bool everyFrame) {
    SilentInteraction interaction;
    SimulationRecord record;
    RecordState recordState;
    ModelState model;
    QTemporaryDir lock;
    Session session(record, recordState, model, ProgramFolder{VM_RUNTIME_DIR "/"});
    TForm1 form(interaction, session, std::filesystem::path(lock.path().toStdString()));
    form.show();
    QApplication::processEvents();
    if (everyFrame)
        WindowProbe(form).showEveryLiveFrame();
    const ModelState settled = model;
    // START, found by its name: the window keeps its controls to itself.
    auto* start = form.findChild<QPushButton*>(QStringLiteral("Button2"));
    for (auto _ : state) {
        state.PauseTiming();
        model = settled;
        state.ResumeTiming();
        start->click();
    }
    state.counters["fev1_l"] = record.field(workingRow, RowField::fev1);
}

void BM_StartPressWithLiveDrawing(benchmark::State& state) {
    startPresses(state, false);
}
BENCHMARK(BM_StartPressWithLiveDrawing)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StartPressShowingEveryFrame(benchmark::State& state) {
    startPresses(state, true);
}
BENCHMARK(BM_StartPressShowingEveryFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_HeadlessRun(benchmark::State& state) {
    SimulationRecord loaded;
    readRecordFile(std::filesystem::path(VM_RUNTIME_DIR) / "datfiles1" / "standard.dat", loaded);
    SimulationRecord record;
    ModelState settled;
    InitialiseModel(settled, record, true);
    record.setRowBytes(referenceRow, loaded.rowBytes(referenceRow));
    const RecordState standardSettings;
    long long iterations = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ModelState model = settled;
        state.ResumeTiming();
        storeCurrentSettingsIntoWorkingRow(standardSettings, record);
        RunForcedExpiration(model, record, {});
        iterations = model.work.solverIterationTotal - settled.work.solverIterationTotal;
    }
    state.counters["fev1_l"] = record.field(workingRow, RowField::fev1);
    state.counters["solverIterations"] = static_cast<double>(iterations);
}
BENCHMARK(BM_HeadlessRun)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

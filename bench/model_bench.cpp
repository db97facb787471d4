// Speed of the model: one whole run at the standard settings, and the model step alone.

#include "model/forced_expiration_run.h"
#include "model/model_initialisation.h"
#include "model/model_step.h"

#include <benchmark/benchmark.h>

using namespace vm::record;
using namespace vm::model;

namespace {

// A freshly initialised model and a record with every setting at 100, as after start-up.
struct StandardStart {
    SimulationRecord record;
    ModelState model;
    StandardStart() {
        InitialiseModel(model, record, true);
        for (int row : {referenceRow, workingRow})
            for (int i = 0; i < layout::kGlobalItems; ++i)
                record.setGlobalSetting(row, i, 100.0f);
    }
};

const StandardStart& standardStart() {
    static const StandardStart start;
    return start;
}

void BM_WholeRunAtStandardSettings(benchmark::State& state) {
    long long substeps = 0;
    long long iterations = 0;
    SimulationRecord record = standardStart().record;
    for (auto _ : state) {
        state.PauseTiming();
        ModelState model = standardStart().model;
        state.ResumeTiming();
        RunForcedExpiration(model, record, {});
        benchmark::DoNotOptimize(record.field(workingRow, RowField::fev1));
        substeps = model.work.substepTotal - standardStart().model.work.substepTotal;
        iterations =
            model.work.solverIterationTotal - standardStart().model.work.solverIterationTotal;
    }
    state.counters["substeps"] = static_cast<double>(substeps);
    state.counters["solverIterations"] = static_cast<double>(iterations);
    state.counters["fev1_l"] = record.field(workingRow, RowField::fev1);
}
BENCHMARK(BM_WholeRunAtStandardSettings)->Unit(benchmark::kMillisecond);

// One 1-ms step in each integration state, from the settled start of a run.
void BM_ModelStep(benchmark::State& state) {
    const auto integrationState = static_cast<IntegrationState>(state.range(0));
    ModelState model = standardStart().model;
    int steps = 0;
    for (auto _ : state) {
        // Keep stepping a model at rest; start afresh now and then so it never drifts far.
        if (++steps == 1000) {
            state.PauseTiming();
            model = standardStart().model;
            steps = 0;
            state.ResumeTiming();
        }
        ModelStep(model, integrationState);
        benchmark::DoNotOptimize(model.state.lungVolume);
    }
    state.counters["substeps"] =
        benchmark::Counter(static_cast<double>(substepCount(integrationState)));
    state.counters["failed"] = model.state.solverFailed;
}
BENCHMARK(BM_ModelStep)->DenseRange(1, 7)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

#include "model/run_recording.h"

#include "model/run_status.h"

using namespace vm::record;

namespace vm::model {

using layout::kVtSamples;

bool storeVolumeTimeSample(const ModelState& model, SimulationRecord& record) {
    const int steps = model.progress.stepCount;
    const int k = steps / timeline::kVolumeTimeCadence_steps;
    if (k < 1 || k > kVtSamples)
        return false;
    record.setVtTime(workingRow, k,
                     static_cast<float>(steps / static_cast<double>(timeline::kStepsPerSecond)));
    record.setVtVolume(workingRow, k, static_cast<float>(model.state.lungVolume));
    return true;
}

void storeLobeTraces(const ModelState& model, SimulationRecord& record, int n) {
    for (int k = 0; k < kLobeCount; ++k) {
        record.setLobeTraceA(workingRow, n, k + 1,
                             static_cast<float>(model.state.intermediateEffResistance[k]));
        record.setLobeTraceB(workingRow, n, k + 1,
                             static_cast<float>(model.state.peripheralResistance[k]));
        record.setLobeVolume(workingRow, n, k + 1, static_cast<float>(model.state.lobeVolume[k]));
    }
}

void takeFlowVolumeSample(ModelState& model, SimulationRecord& record, double recordedFlow) {
    if (model.progress.sampleCount >= kLastFlowVolumeSample) {
        record.setField(workingRow, RowField::runStatus, kRunError);
        return;
    }
    const int n = ++model.progress.sampleCount;
    float flow = static_cast<float>(recordedFlow);
    if (n > 3)
        flow = static_cast<float>((record.fvFlow(workingRow, n - 1) + recordedFlow) / 2);
    record.setFvFlow(workingRow, n, flow);
    record.setFvVolume(workingRow, n, static_cast<float>(model.state.lungVolume));
    record.setCentralTrace(workingRow, 0, static_cast<float>(model.state.tracheaCoefficientCopy));
    record.setCentralTrace(workingRow, 1,
                           static_cast<float>(model.state.bronchusCoefficientCopy[0]));
    record.setCentralTrace(workingRow, 2,
                           static_cast<float>(model.state.bronchusCoefficientCopy[1]));
    storeLobeTraces(model, record, n);
    for (int k = 0; k < kLobeCount; ++k)
        record.setLobeState(workingRow, n, k + 1, model.state.flowLimited[k]);
}

} // namespace vm::model

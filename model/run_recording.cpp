#include "model/run_recording.h"

#include "model/run_status.h"

using namespace vm::record;

namespace vm::model {

using layout::kVtSamples;

bool StoreVolumeTimeSample(const ModelState& model, SimulationRecord& record) {
    const int k = model.stepCount / 100;
    if (k < 1 || k > kVtSamples)
        return false;
    record.setVtTime(workingRow, k, static_cast<float>(model.stepCount / 1000.0));
    record.setVtVolume(workingRow, k, static_cast<float>(model.lungVolume));
    return true;
}

void StoreLobeTraces(const ModelState& model, SimulationRecord& record, int n) {
    for (int k = 0; k < kLobeCount; ++k) {
        record.setLobeTraceA(workingRow, n, k + 1,
                             static_cast<float>(model.intermediateEffResistance[k]));
        record.setLobeTraceB(workingRow, n, k + 1,
                             static_cast<float>(model.peripheralResistance[k]));
        record.setLobeVolume(workingRow, n, k + 1, static_cast<float>(model.lobeVolume[k]));
    }
}

void TakeFlowVolumeSample(ModelState& model, SimulationRecord& record, double recordedFlow) {
    if (model.sampleCount >= kLastFlowVolumeSample) {
        record.setField(workingRow, RowField::runStatus, kRunError);
        return;
    }
    const int n = ++model.sampleCount;
    float flow = static_cast<float>(recordedFlow);
    if (n > 3)
        flow = static_cast<float>((record.fvFlow(workingRow, n - 1) + recordedFlow) / 2);
    record.setFvFlow(workingRow, n, flow);
    record.setFvVolume(workingRow, n, static_cast<float>(model.lungVolume));
    record.setCentralTrace(workingRow, 0, static_cast<float>(model.tracheaCoefficientCopy));
    record.setCentralTrace(workingRow, 1, static_cast<float>(model.bronchusCoefficientCopy[0]));
    record.setCentralTrace(workingRow, 2, static_cast<float>(model.bronchusCoefficientCopy[1]));
    StoreLobeTraces(model, record, n);
    for (int k = 0; k < kLobeCount; ++k)
        record.setLobeState(workingRow, n, k + 1, model.flowLimited[k]);
}

} // namespace vm::model

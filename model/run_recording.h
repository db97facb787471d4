#pragma once
// What a run stores into the working row while it goes: volume-time samples every 0.1 s and
// flow-volume samples with the lobes' state during the manoeuvre.

#include "model/model_state.h"
#include "record/simulation_record.h"

namespace vm::model {

// The last flow-volume sample a run may store; reaching one more marks the result invalid.
inline constexpr int kLastFlowVolumeSample = 1498;

// Stores the next volume-time sample if the record has room for it (sample k = stepCount/100);
// returns whether it was stored.
bool storeVolumeTimeSample(const ModelState& model, record::SimulationRecord& record);

// Stores the next flow-volume sample with the recorded flow (the previous stored sample smooths
// it from the fourth on), or marks the result invalid when the curve is full.
void takeFlowVolumeSample(ModelState& model, record::SimulationRecord& record, double recordedFlow);

// Sample n of the lobe traces: effective intermediate resistance, peripheral resistance, volume.
void storeLobeTraces(const ModelState& model, record::SimulationRecord& record, int n);

} // namespace vm::model

#pragma once
// The spirometric indices of a valid run, from its flow-volume samples.

#include "record/simulation_record.h"

namespace vm::model {

struct FlowVolumeExtent {
    double largestVolume = 0.0;    // Vmax, the first sample that is a strict maximum
    int largestSample = 0;         // its sample number, 0 when there is none
    double smallestVolume = 100.0; // Vmin, the smallest positive volume
};

FlowVolumeExtent findFlowVolumeExtent(const record::SimulationRecord& record, int row);

// Whether the curve spans a volume (Vmax > Vmin); a flat or empty curve has no indices.
bool hasExpiredVolume(const FlowVolumeExtent& extent);

// Writes pef, fvcex, fev1 (from the raw volume taken one second into the effort), fev1PctFvc,
// erv, tlc and mef75/50/25 into the row. Requires HasExpiredVolume.
void computeSpirometricIndices(record::SimulationRecord& record, int row);

} // namespace vm::model

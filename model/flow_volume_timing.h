#pragma once
// When each flow-volume sample of a row was taken. A row stores no times with these samples, but
// the run takes them on the step clock of the volume-time samples: every 60 steps before the
// forced effort, every 2 steps from its start until a second after its rise, every 30 steps later
// on, each on a multiple of its cadence, and a volume-time sample every 100 steps. A flow-volume
// and a volume-time sample taken in the same step hold the same volume bit for bit; those pairs
// pin the flow-volume samples to the clock, and the cadences place the samples between them.

#include "record/simulation_record.h"

#include <vector>

namespace vm::model {

class FlowVolumeTimes {
  public:
    // Seconds since recording began (the clock of vtTime) of sample n = 1..count(), NaN for a
    // sample the pairs and cadences cannot place.
    double at(int n) const { return time_s_[static_cast<std::size_t>(n - 1)]; }
    int count() const { return static_cast<int>(time_s_.size()); }

  private:
    friend FlowVolumeTimes placeFlowVolumeSamples(const record::SimulationRecord& record, int row);
    std::vector<double> time_s_;
};

// The samples of the row's flow-volume curve, up to its end (the first zero volume).
int flowVolumeSampleCount(const record::SimulationRecord& record, int row);

FlowVolumeTimes placeFlowVolumeSamples(const record::SimulationRecord& record, int row);

} // namespace vm::model

#pragma once
// The program's one record and the state beside it. Tests and batch runs make their own and pass
// them on; only the program entry uses these.

#include "record_state.h"
#include "simulation_record.h"

inline SimulationRecord& programRecord() {
    static SimulationRecord record;
    return record;
}

inline RecordState& programState() {
    static RecordState state;
    return state;
}

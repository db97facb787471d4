#pragma once
// The program's one record and the state beside it. Tests and batch runs make their own and pass
// them on; only the program entry uses these.

#include "record/record_state.h"
#include "record/simulation_record.h"

namespace vm::session {

inline record::SimulationRecord& programRecord() {
    static record::SimulationRecord record;
    return record;
}

inline record::RecordState& programState() {
    static record::RecordState state;
    return state;
}

} // namespace vm::session

#pragma once
// The working row's runStatus values (stored as floats in the record).

#include "record/simulation_record.h"

namespace vm::model {

inline constexpr float kRunValid = 1.0f;
inline constexpr float kRunDead = 0.0f;   // the tidal inspiration needed more than -3 kPa
inline constexpr float kRunError = -1.0f; // numerical failure, full curve, or no manoeuvre

// Whether the run in the working row is still going well (or ended with a valid result).
inline bool runIsValid(const record::SimulationRecord& record) {
    return record.field(record::workingRow, record::RowField::runStatus) == kRunValid;
}

} // namespace vm::model

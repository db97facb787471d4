#pragma once
// The spirogram of a result row as data: exhaled volume against time from the back-extrapolated
// time zero of its forced expiration, with the FEV1 and FEV6 marks, ready to be drawn.

#include "model/forced_expiration_curve.h"
#include "record/simulation_record.h"
#include "record/spirogram_values.h"

#include <optional>
#include <vector>

namespace vm::model {

using record::SpirogramPoint;

struct Spirogram : record::SpirogramValues {
    MissingReason missing = MissingReason::noValidResult; // none when there is a curve
};

Spirogram spirogramOf(const record::SimulationRecord& record, int row);

} // namespace vm::model

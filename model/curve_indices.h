#pragma once
// Every index of a result row, one value per line of the index table (record/index_table.h): the
// stored ones as the row holds them, and those read from the row's stored curves and indices
// after the run, so that rows of older simulation files show them too. Where a row cannot give
// one, the index is absent with the reason. The curves are read as a spirometer reads a blow: the
// FVC is the volume the forced expiration exhales (the row's FVCEX, from the lowest volume before
// the maximal inspiration, is not), and FEV1 is timed from the back-extrapolated time zero (the
// row's FEV1 from the start of the effort, about 10 ml apart). PEF, MEF50 and TLC are the row's
// own.

#include "model/forced_expiration_curve.h"
#include "record/index_table.h"
#include "record/simulation_record.h"

#include <array>

namespace vm::model {

struct IndexValue {
    double value = 0.0;
    MissingReason missing = MissingReason::noValidResult;
    bool present() const { return missing == MissingReason::none; }
};

// In the order of the index table: values[record::indexNamed("fvc")].
using IndexValues = std::array<IndexValue, record::kIndexCount>;

// Every index of record row `row`. A stored index is present as the row holds it, whatever its
// value (a file from elsewhere may hold NaN), and absent where the row was saved before it
// existed. Without curves, those read from the curves stay absent, which spares the reading.
IndexValues readIndices(const record::SimulationRecord& record, int row, bool curves = true);

} // namespace vm::model

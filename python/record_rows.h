#pragma once
// The session's typed results as Python objects, built from the types themselves with no text in
// between: a result row as a dict (its indices under the runner's keys, its curves and per-lobe
// traces as numpy arrays of the stored single-precision samples, its settings under the names a
// run takes, its reading as dicts), and a sweep's row as a dict of the sweep's columns.

#include "session/batch_csv.h"
#include "session/batch_result.h"

#include <pybind11/pybind11.h>

namespace vm::python {

pybind11::dict resultFields(const session::RowResult& result);

// One dict per row in the given order, under the sweep's column names; an empty cell is NaN.
pybind11::list sweepRows(const std::vector<std::string>& columns,
                         const std::vector<session::BatchCells>& rows);

} // namespace vm::python

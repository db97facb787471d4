#pragma once
// A row of a record as the Python module hands it over: its stored indices under the runner's
// JSON keys, its curves as numpy arrays of the stored single-precision samples (as far as run
// --json prints them), its settings under the runner's names, its reading as the runner's JSON
// text (the indices read from its curves and, for a patient, its predicted values) and, when
// asked, its per-lobe traces.

#include "session/session.h"

#include <pybind11/pybind11.h>

namespace vm::python {

pybind11::dict rowFields(const session::Session& session, int row, bool withPatient,
                         bool lobeTraces);

} // namespace vm::python

#pragma once
// What the result-row commands do to the record and the record-wide state. The window's handlers
// call these and then refresh the tables and plots.

#include "record/record_file.h"
#include "record/record_state.h"
#include "record/simulation_record.h"

#include <filesystem>
#include <functional>
#include <string>

namespace vm::session {

// START, record side: keeps the previous newest result, clears the working row's curves, stores the
// current settings, runs, then shifts the older results down and selects the new one.
// `run` computes the new result into the working row.
void RunAndCommitNewResult(record::SimulationRecord& record, record::RecordState& state,
                           const std::function<void()>& run);

// The system sound that tells a run's outcome: "SystemAsterisk" for a valid result,
// "SystemHand" otherwise.
std::string RunOutcomeSoundAlias(float runStatus);

// Removes the selected result, moving the later ones up. Returns false when nothing is selected.
bool DeleteSelectedResult(record::SimulationRecord& record, record::RecordState& state);

// Makes the selected result the reference, rescaling every result's settings so that each keeps
// its absolute settings. Returns false when nothing is selected.
bool MakeSelectedResultReference(record::SimulationRecord& record, const record::RecordState& state);

// Replaces the reference with the standard reference's row 0, re-expressing every result relative
// to the standard. The standard file is read first: on an error nothing changes.
record::FileResult RestoreStandardReferenceRow(record::SimulationRecord& record, const record::RecordState& state,
                                       const std::filesystem::path& standardFile);

} // namespace vm::session

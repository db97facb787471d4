#pragma once
// The state every test of the runner starts from: the model settled, the reference row from a file
// or the standard record (or a simulation file's whole record), then the command line's settings
// current. A single run and every point of a sweep start here, so that they agree.

#include "cli/cli_options.h"
#include "model/model_state.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "session/session.h"

#include <filesystem>
#include <string>

namespace vm::cli {

// A session of its own with the record, state and model it works on.
struct RunnerSession {
    explicit RunnerSession(const std::filesystem::path& exeDir)
        : session(record, current, model, session::ProgramFolder{exeDir}) {}
    record::SimulationRecord record;
    record::RecordState current;
    model::ModelState model;
    session::Session session;
};

// Prepares a fresh session for the options' first test; empty on success, else what went wrong.
std::string PrepareRunStart(RunnerSession& runner, const CliOptions& options);

// The options' --set and --global values become current.
void ApplyCurrentSettings(record::RecordState& current,
                          const std::vector<PartSettingChange>& partSettings,
                          const std::vector<GlobalSettingChange>& globalSettings);

} // namespace vm::cli

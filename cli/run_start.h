#pragma once
// The state every test of the runner starts from: the model settled, the reference row from a file
// or the standard record (or a simulation file's whole record), then the command line's settings
// current. A single run and every point of a sweep start here, so that they agree.

#include "cli/cli_options.h"
#include "session/session.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vm::cli {

// Prepares a fresh session for the options' first test; empty on success, else what went wrong.
std::string PrepareRunStart(session::Session& session, const CliOptions& options);

// The same but for settling the model: the reference, a --from file's record, the current
// settings and the patient, for what depends on those alone.
std::string PrepareRunSettings(session::Session& session, const CliOptions& options);

// The options' --set and --global values become current.
void ApplyCurrentSettings(session::Session& session,
                          const std::vector<PartSettingChange>& partSettings,
                          const std::vector<GlobalSettingChange>& globalSettings);

} // namespace vm::cli

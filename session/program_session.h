#pragma once
// The program's one session, on the program's one record, record-wide state and model. Only the
// program entry uses it; tests and the headless runner make sessions of their own.

#include "model/model_state.h"
#include "record/record_state.h"
#include "record/simulation_record.h"
#include "session/session.h"
#include "session/user_folder.h"

#include <filesystem>

namespace vm::session {

// Made at the first call, in the program folder given then; installed, it writes into the
// user's own folder.
inline Session& programSession(const std::filesystem::path& exeDir) {
    static record::SimulationRecord record;
    static record::RecordState state;
    static Session session(record, state, model::programModel(), resolveProgramFolder(exeDir));
    return session;
}

} // namespace vm::session

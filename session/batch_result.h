#pragma once
// A result row of a session as every front end takes it: its status, every index of the index
// table (absent with why where the row cannot give one), its stored curves, its settings and,
// for a patient, its reading. The runner writes it as JSON and CSV (session/batch_json.h,
// session/batch_csv.h), the Python module hands it over as numpy arrays and dicts, and a page
// binds the same type.

#include "record/simulation_record.h"
#include "session/result_reading.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace vm::session {

class Session;

// Per flow-volume sample from sample 0 (the state the forced expiration starts from), per lobe
// 1..5.
struct LobeTraces {
    using Lobes = std::array<float, record::layout::kLobes>;
    std::vector<Lobes> intermediateResistance;
    std::vector<Lobes> peripheralResistance;
    std::vector<Lobes> volume;
    std::vector<std::array<bool, record::layout::kLobes>> flowLimited;
};

struct RowResult {
    int row = 0;
    float runStatus = 0.0f;
    IndexValues indices{};
    // The stored samples up to the curves' end marks (a volume, a time of 0).
    std::vector<float> fvVolume;
    std::vector<float> fvFlow;
    std::vector<float> vtTime;
    std::vector<float> vtVolume;
    // In percent: every lung part's setting columns, and the 20 global items.
    std::array<std::array<float, record::layout::kSettingColumns>, record::layout::kParts>
        partSettings{};
    std::array<float, record::layout::kGlobalItems> globalSettings{};
    std::optional<ResultReading> reading; // for a patient
    std::optional<LobeTraces> lobes;
};

// What of a row a front end asks for, beside its status and indices.
struct ResultParts {
    bool curves = true;
    bool settings = true;
    bool reading = false; // the reading for the session's patient
    bool lobeTraces = false;
};

RowResult resultOf(const Session& session, int row, const ResultParts& parts = {});

// A row's run status as one word: "valid", "dead" or "error".
std::string_view runStatusWord(float status);

} // namespace vm::session

#pragma once
// The batch outputs as JSON, one line each, written here from the typed results: a run's result,
// a row of a simulation file and a point of a sweep. Every index under its key (a stored one with
// 9 significant digits, which read back to the float, any other in its shortest text; null where
// a row cannot give one, "emptyIndices" saying why), then for a patient "patient" and
// "predicted" (the reading, or the problem that stops it).

#include "session/batch_result.h"
#include "session/json_writer.h"
#include "session/sweep.h"

#include <string>

namespace vm::session {

// ,"fev1":..,"fvcex":..: the stored indices alone, as the quiz's key lists them.
void writeStoredIndices(JsonWriter& json, const IndexValues& indices);
// Every index, then "emptyIndices".
void writeIndices(JsonWriter& json, const IndexValues& indices);
// "patient" and "predicted".
void writeReading(JsonWriter& json, const ResultReading& reading);

// {"run":N, the indices, the reading,
// "fvSamples":[[volume,flow],..],"vtSamples":[[time,volume],..]}
std::string runJson(const RowResult& result, int runNumber);
// The same with "row" for "run", then the settings: "partSettings" of every other lung part by
// its runner's name, each by column name, "settings" of both lungs and "globalSettings", the 20
// items in order.
std::string rowJson(const RowResult& result);
// {"point":N,"settings":{axis:percent,..},"status":..., the indices, the reading}
std::string sweepRowJson(const SweepRow& row, const std::vector<SweepAxis>& axes);

} // namespace vm::session

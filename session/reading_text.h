#pragma once
// A result's reading as text for other programs, beside its stored indices: the indices read from
// its curves and, for a patient, its predicted values, limits, z-scores and reading, as the
// runner's JSON and the CSV files write them. Numbers in the C locale, each double in the fewest
// digits that read back to it; an index a row cannot give is empty (null in JSON) and the JSON
// says why.

#include "session/result_reading.h"

#include <string>

namespace vm::session {

// ",fef25to75 [l/s],fev6 [l],..." (without the units: ",fef25to75,fev6,..."), and one row's
// cells in the same order.
std::string curveIndexCsvHeader(bool withUnits = true);
std::string curveIndexCsvCells(const CurveIndices& indices);

// ",patientSex,patientAge [years],patientHeight [cm],patientOrigin,fev1 model [l],fev1 measured
// [l],fev1 predicted [l],fev1 lln [l], fev1 uln [l],fev1 z,fev1
// percentPredicted,...,pattern,severity,fixedRatio070", and one row's cells (the patient always,
// the model's values where the row has them, the rest empty when it cannot be read).
std::string predictedCsvHeader(bool withUnits = true);
std::string predictedCsvCells(const ResultReading& reading);

// ",\"fef25to75\":2.8,\"fev6\":null,...,\"emptyIndices\":{\"fev6\":\"why\"}", each field led by a
// comma.
std::string curveIndexJsonFields(const CurveIndices& indices);

// ",\"patient\":{\"sex\":\"female\",\"age\":40,\"height\":165,\"origin\":\"file\"},
// \"predicted\":{\"fev1\":{\"model\":...,\"measured\":...,...},...,\"reading\":\"...\",
// \"pattern\":...}", or a "problem" in "predicted" when the row cannot be read.
std::string patientJsonFields(const ResultReading& reading);

// The shortest decimal text that reads back to v; "null" for a value that is no number.
std::string jsonDouble(double v);

// The length of the UTF-8 sequence at the start of v, 0 when none starts there (a stray byte, an
// overlong form, a surrogate, beyond U+10FFFF).
std::size_t utf8SequenceLength(std::string_view v);

// v as a JSON string, quotes and escapes included. A byte that is no UTF-8 becomes \udcXX, as
// Python's surrogateescape reads it (os.fsencode gives the byte back).
std::string jsonString(std::string_view v);

} // namespace vm::session

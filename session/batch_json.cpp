#include "session/batch_json.h"

#include "record/vocabulary.h"

using namespace vm::record;

namespace vm::session {

namespace {

NumberForm formOf(const SpirometricIndex& index) {
    return index.source == IndexSource::stored ? NumberForm::single : NumberForm::shortest;
}

void writeIndex(JsonWriter& json, std::size_t i, const IndexValue& value) {
    json.key(kIndices[i].jsonKey);
    if (value.present())
        json.number(value.value, formOf(kIndices[i]));
    else
        json.null();
}

// [[a, b], ...]
void writePairs(JsonWriter& json, const std::vector<float>& first,
                const std::vector<float>& second) {
    json.beginArray();
    for (std::size_t i = 0; i < first.size(); ++i)
        json.beginArray()
            .number(first[i], NumberForm::single)
            .number(second[i], NumberForm::single)
            .endArray();
    json.endArray();
}

// The indices, the reading and the samples of a result.
void writeResult(JsonWriter& json, const RowResult& result) {
    writeIndices(json, result.indices);
    if (result.reading)
        writeReading(json, *result.reading);
    json.key("fvSamples");
    writePairs(json, result.fvVolume, result.fvFlow);
    json.key("vtSamples");
    writePairs(json, result.vtTime, result.vtVolume);
}

void writePartSettings(JsonWriter& json, const RowResult& result, int part) {
    json.beginObject();
    for (int c = 0; c < layout::kSettingColumns; ++c)
        json.key(kSettingColumnNames[static_cast<std::size_t>(c)])
            .number(
                result.partSettings[static_cast<std::size_t>(part)][static_cast<std::size_t>(c)],
                NumberForm::single);
    json.endObject();
}

} // namespace

void writeStoredIndices(JsonWriter& json, const IndexValues& indices) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        if (kIndices[i].source == IndexSource::stored)
            writeIndex(json, i, indices[i]);
}

void writeIndices(JsonWriter& json, const IndexValues& indices) {
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        writeIndex(json, i, indices[i]);
    json.key("emptyIndices").beginObject();
    for (std::size_t i = 0; i < kIndices.size(); ++i)
        if (!indices[i].present())
            json.key(kIndices[i].jsonKey).string(missingReasonText(indices[i].missing));
    json.endObject();
}

void writeReading(JsonWriter& json, const ResultReading& reading) {
    const Patient& patient = reading.patient.patient;
    json.key("patient")
        .beginObject()
        .key("sex")
        .string(reference::sexName(patient.sex))
        .key("age")
        .number(patient.age_years)
        .key("height")
        .number(patient.height_cm)
        .key("origin")
        .string(patientOriginKey(reading.patient.origin))
        .endObject();
    json.key("predicted").beginObject();
    if (!reading.ok()) {
        json.key("problem").string(reading.problem).endObject();
        return;
    }
    for (const PredictedIndex& index : reading.indices)
        json.key(index.jsonKey)
            .beginObject()
            .key("model")
            .number(index.model)
            .key("measured")
            .number(index.measured)
            .key("predicted")
            .number(index.predicted)
            .key("lln")
            .number(index.lln)
            .key("uln")
            .number(index.uln)
            .key("z")
            .number(index.zScore)
            .key("percentPredicted")
            .number(index.percentPredicted)
            .endObject();
    json.key("reading")
        .string(reading.readingText)
        .key("pattern")
        .string(reference::patternKey(reading.reading.pattern))
        .key("severity")
        .string(reference::severityKey(reading.reading.severity))
        .key("fixedRatio070")
        .string(reference::fixedRatioKey(reading.reading.fixedRatio))
        .endObject();
}

std::string runJson(const RowResult& result, int runNumber) {
    JsonWriter json;
    json.beginObject().key("run").whole(runNumber);
    writeResult(json, result);
    return json.endObject().line();
}

std::string rowJson(const RowResult& result) {
    JsonWriter json;
    json.beginObject().key("row").whole(result.row);
    writeResult(json, result);
    json.key("partSettings").beginObject();
    for (int part = 0; part < layout::kParts; ++part)
        if (part != kEditedPart) {
            json.key(kLungPartNames[static_cast<std::size_t>(part)]);
            writePartSettings(json, result, part);
        }
    json.endObject().key("settings");
    writePartSettings(json, result, kEditedPart);
    json.key("globalSettings").beginArray();
    for (const float item : result.globalSettings)
        json.number(item, NumberForm::single);
    return json.endArray().endObject().line();
}

std::string sweepRowJson(const SweepRow& row, const std::vector<SweepAxis>& axes) {
    JsonWriter json;
    json.beginObject().key("point").whole(static_cast<long long>(row.point));
    json.key("settings").beginObject();
    for (std::size_t a = 0; a < axes.size(); ++a)
        json.key(axes[a].setting.text).number(row.percents[a]);
    json.endObject().key("status").string(runStatusWord(row.result.runStatus));
    writeIndices(json, row.result.indices);
    if (row.result.reading)
        writeReading(json, *row.result.reading);
    return json.endObject().line();
}

} // namespace vm::session

#include "session/reading_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace vm::session {

namespace {

std::string shortest(double v) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return {buffer, end};
}

std::string csvDouble(double v) {
    return std::isfinite(v) ? shortest(v) : std::string();
}

std::string withUnit(std::string_view name, std::string_view unit) {
    return std::string(name) + (unit.empty() ? "" : " [" + std::string(unit) + "]");
}

// The five numbers of a predicted index, in the order of its header.
struct PredictedNumber {
    const char* name;
    double PredictedIndex::*member;
    bool hasUnit;
};
constexpr PredictedNumber kPredictedNumbers[] = {
    {"model", &PredictedIndex::model, true},
    {"measured", &PredictedIndex::measured, true},
    {"predicted", &PredictedIndex::predicted, true},
    {"lln", &PredictedIndex::lln, true},
    {"uln", &PredictedIndex::uln, true},
    {"z", &PredictedIndex::zScore, false},
    {"percentPredicted", &PredictedIndex::percentPredicted, false},
};

} // namespace

std::string jsonDouble(double v) {
    return std::isfinite(v) ? shortest(v) : "null";
}

std::string jsonString(std::string_view v) {
    std::string out = "\"";
    for (const char c : v) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string curveIndexCsvHeader(bool withUnits) {
    std::string out;
    for (const CurveIndexInfo& info : kCurveIndices)
        out += ',' + withUnit(info.jsonKey, withUnits ? info.unit : "");
    return out;
}

std::string curveIndexCsvCells(const CurveIndices& indices) {
    std::string out;
    for (const CurveIndexInfo& info : kCurveIndices) {
        const CurveIndex& index = indices.*info.member;
        out += ',' + (index.present() ? csvDouble(index.value) : std::string());
    }
    return out;
}

std::string predictedCsvHeader(bool withUnits) {
    std::string out = std::string(",patientSex,patientAge") + (withUnits ? " [years]" : "") +
                      ",patientHeight" + (withUnits ? " [cm]" : "") + ",patientOrigin";
    for (const PredictedIndex& index : kPredictedIndices)
        for (const PredictedNumber& number : kPredictedNumbers)
            out += ',' + withUnit(std::string(index.jsonKey) + ' ' + number.name,
                                  number.hasUnit && withUnits ? index.unit : "");
    return out + ",pattern,severity,fixedRatio070";
}

std::string predictedCsvCells(const ResultReading& reading) {
    const Patient& patient = reading.patient.patient;
    std::string out = ',' + std::string(reference::sexName(patient.sex)) + ',' +
                      csvDouble(patient.age_years) + ',' + csvDouble(patient.height_cm) + ',' +
                      std::string(patientOriginKey(reading.patient.origin));
    for (const PredictedIndex& index : reading.indices)
        for (const PredictedNumber& number : kPredictedNumbers)
            out += ',' + (reading.ok() || number.member == &PredictedIndex::model
                              ? csvDouble(index.*number.member)
                              : std::string());
    if (!reading.ok())
        return out + ",,,";
    return out + ',' + std::string(reference::patternKey(reading.reading.pattern)) + ',' +
           std::string(reference::severityKey(reading.reading.severity)) + ',' +
           std::string(reference::fixedRatioKey(reading.reading.fixedRatio));
}

std::string curveIndexJsonFields(const CurveIndices& indices) {
    std::string out;
    std::string empty;
    for (const CurveIndexInfo& info : kCurveIndices) {
        const CurveIndex& index = indices.*info.member;
        out += ",\"" + std::string(info.jsonKey) +
               "\":" + (index.present() ? jsonDouble(index.value) : "null");
        if (!index.present())
            empty += std::string(empty.empty() ? "" : ",") + '"' + std::string(info.jsonKey) +
                     "\":" + jsonString(missingReasonText(index.missing));
    }
    return out + ",\"emptyIndices\":{" + empty + '}';
}

std::string patientJsonFields(const ResultReading& reading) {
    const Patient& patient = reading.patient.patient;
    std::string out = ",\"patient\":{\"sex\":" + jsonString(reference::sexName(patient.sex)) +
                      ",\"age\":" + jsonDouble(patient.age_years) +
                      ",\"height\":" + jsonDouble(patient.height_cm) +
                      ",\"origin\":" + jsonString(patientOriginKey(reading.patient.origin)) +
                      "},\"predicted\":{";
    if (!reading.ok())
        return out + "\"problem\":" + jsonString(reading.problem) + "}";
    for (const PredictedIndex& index : reading.indices) {
        out += '"' + std::string(index.jsonKey) + "\":{";
        for (const PredictedNumber& number : kPredictedNumbers)
            out += std::string(&number == kPredictedNumbers ? "" : ",") + '"' + number.name +
                   "\":" + jsonDouble(index.*number.member);
        out += "},";
    }
    return out + "\"reading\":" + jsonString(reading.readingText) +
           ",\"pattern\":" + jsonString(reference::patternKey(reading.reading.pattern)) +
           ",\"severity\":" + jsonString(reference::severityKey(reading.reading.severity)) +
           ",\"fixedRatio070\":" +
           jsonString(reference::fixedRatioKey(reading.reading.fixedRatio)) + "}";
}

} // namespace vm::session

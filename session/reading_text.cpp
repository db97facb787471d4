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

std::size_t utf8SequenceLength(std::string_view v) {
    const auto byte = [&](std::size_t k) {
        return k < v.size() ? static_cast<unsigned char>(v[k]) : 0;
    };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;
        high = lead == 0xed ? 0x9f : 0xbf;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf;
    }
    for (std::size_t k = 1; k < length; ++k)
        if (byte(k) < (k == 1 ? low : 0x80) || byte(k) > (k == 1 ? high : 0xbf))
            return 0;
    return length;
}

std::string jsonString(std::string_view v) {
    std::string out = "\"";
    for (std::size_t at = 0; at < v.size();) {
        const char c = v[at];
        const auto byte = static_cast<unsigned char>(c);
        char escaped[8];
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte >= 0x80) {
            // A byte that is no UTF-8 (a file name from elsewhere) is escaped as Python's
            // surrogateescape decodes it, so the line stays valid JSON and the bytes come back.
            if (const std::size_t length = utf8SequenceLength(v.substr(at))) {
                out += v.substr(at, length);
                at += length;
                continue;
            }
            std::snprintf(escaped, sizeof escaped, "\\udc%02x", byte);
            out += escaped;
        } else {
            out += c;
        }
        ++at;
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

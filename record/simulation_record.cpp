#include "record/simulation_record.h"

#include "record/index_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vm::record {

using namespace layout;

namespace {

[[noreturn]] void rangeError(const char* what, int value) {
    throw RangeError(std::string("Range check error: ") + what + " " + std::to_string(value));
}

void checkIndex(const char* what, int value, int lo, int hi) {
    if (value < lo || value > hi)
        rangeError(what, value);
}

std::size_t traceOffset(std::size_t base, int n, int lobe) {
    checkIndex("sample", n, 0, kTraceSamples - 1);
    checkIndex("lobe", lobe, 1, kLobes);
    return base + 20 * static_cast<std::size_t>(n) + 4 * static_cast<std::size_t>(lobe - 1);
}

// The offset of float i (first..last) of an array that starts at base, element `first` first.
std::size_t floatOffset(std::size_t base, const char* what, int i, int first, int last) {
    checkIndex(what, i, first, last);
    return base + 4 * static_cast<std::size_t>(i - first);
}

std::size_t vtOffset(std::size_t base, int k) {
    return floatOffset(base, "volume-time sample", k, 1, kVtSamples);
}

std::size_t fvOffset(std::size_t base, int n) {
    return floatOffset(base, "flow-volume sample", n, 1, kFvSamples);
}

std::size_t settingOffset(int part, int column) {
    checkPart(part);
    return floatOffset(kPartSettings + 64 * static_cast<std::size_t>(part), "setting column",
                       column, 0, kPartColumns - 1);
}

std::size_t lobeStateOffset(int row, int n, int lobe) {
    checkRow(row);
    checkIndex("sample", n, 0, kTraceSamples - 1);
    checkIndex("lobe", lobe, 1, kLobes);
    return kRowBytes * static_cast<std::size_t>(row) + kLobeState +
           5 * static_cast<std::size_t>(n) + static_cast<std::size_t>(lobe - 1);
}

} // namespace

void checkRow(int row) {
    checkIndex("row", row, 0, kRowCount - 1);
}
void checkPart(int part) {
    checkIndex("lung part", part, 0, kParts - 1);
}
void checkGlobalItem(int item) {
    checkIndex("global setting item", item, 0, kGlobalItems - 1);
}

SimulationRecord::SimulationRecord() : data_(new std::uint8_t[kRecordBytes]()) {}

SimulationRecord::SimulationRecord(const SimulationRecord& other)
    : data_(new std::uint8_t[kRecordBytes]) {
    std::memcpy(data_.get(), other.data_.get(), kRecordBytes);
}

SimulationRecord& SimulationRecord::operator=(const SimulationRecord& other) {
    if (this != &other)
        std::memcpy(data_.get(), other.data_.get(), kRecordBytes);
    return *this;
}

float SimulationRecord::floatAt(int row, std::size_t offset) const {
    checkRow(row);
    float v;
    std::memcpy(&v, data_.get() + kRowBytes * static_cast<std::size_t>(row) + offset, 4);
    return v;
}

void SimulationRecord::setFloatAt(int row, std::size_t offset, float v) {
    checkRow(row);
    std::memcpy(data_.get() + kRowBytes * static_cast<std::size_t>(row) + offset, &v, 4);
}

float SimulationRecord::vtTime(int row, int k) const {
    return floatAt(row, vtOffset(kVtTime, k));
}
void SimulationRecord::setVtTime(int row, int k, float v) {
    setFloatAt(row, vtOffset(kVtTime, k), v);
}
float SimulationRecord::vtVolume(int row, int k) const {
    return floatAt(row, vtOffset(kVtVolume, k));
}
void SimulationRecord::setVtVolume(int row, int k, float v) {
    setFloatAt(row, vtOffset(kVtVolume, k), v);
}

float SimulationRecord::fvVolume(int row, int n) const {
    return floatAt(row, fvOffset(kFvVolume, n));
}
void SimulationRecord::setFvVolume(int row, int n, float v) {
    setFloatAt(row, fvOffset(kFvVolume, n), v);
}
float SimulationRecord::fvFlow(int row, int n) const {
    return floatAt(row, fvOffset(kFvFlow, n));
}
void SimulationRecord::setFvFlow(int row, int n, float v) {
    setFloatAt(row, fvOffset(kFvFlow, n), v);
}

float SimulationRecord::lobeTraceA(int row, int n, int lobe) const {
    return floatAt(row, traceOffset(kLobeTraceA, n, lobe));
}
void SimulationRecord::setLobeTraceA(int row, int n, int lobe, float v) {
    setFloatAt(row, traceOffset(kLobeTraceA, n, lobe), v);
}
float SimulationRecord::lobeTraceB(int row, int n, int lobe) const {
    return floatAt(row, traceOffset(kLobeTraceB, n, lobe));
}
void SimulationRecord::setLobeTraceB(int row, int n, int lobe, float v) {
    setFloatAt(row, traceOffset(kLobeTraceB, n, lobe), v);
}
float SimulationRecord::lobeVolume(int row, int n, int lobe) const {
    return floatAt(row, traceOffset(kLobeVolume, n, lobe));
}
void SimulationRecord::setLobeVolume(int row, int n, int lobe, float v) {
    setFloatAt(row, traceOffset(kLobeVolume, n, lobe), v);
}

std::uint8_t SimulationRecord::lobeState(int row, int n, int lobe) const {
    return data_[lobeStateOffset(row, n, lobe)];
}
void SimulationRecord::setLobeState(int row, int n, int lobe, std::uint8_t v) {
    data_[lobeStateOffset(row, n, lobe)] = v;
}

float SimulationRecord::centralTrace(int row, int i) const {
    return floatAt(row, floatOffset(kCentralTrace, "central trace item", i, 0, 2));
}
void SimulationRecord::setCentralTrace(int row, int i, float v) {
    setFloatAt(row, floatOffset(kCentralTrace, "central trace item", i, 0, 2), v);
}

float SimulationRecord::field(int row, RowField f) const {
    return floatAt(row, floatOffset(kStoredIndices, "row field", static_cast<int>(f), 0,
                                    kStoredIndexCount - 1));
}
void SimulationRecord::setField(int row, RowField f, float v) {
    setFloatAt(
        row,
        floatOffset(kStoredIndices, "row field", static_cast<int>(f), 0, kStoredIndexCount - 1), v);
}

int SimulationRecord::fieldsHeld(int row) const {
    const float mark = floatAt(row, kAddedIndexCount);
    const bool counts = mark >= 0.0f &&
                        mark <= static_cast<float>(kIndexCapacity - kFirstIndexCount) &&
                        mark == std::floor(mark);
    return kFirstIndexCount + (counts ? static_cast<int>(mark) : 0);
}

bool SimulationRecord::holdsField(int row, RowField f) const {
    const int place = static_cast<int>(f);
    checkIndex("row field", place, 0, kStoredIndexCount - 1);
    return place < fieldsHeld(row);
}

void SimulationRecord::markFieldsHeld(int row) {
    setFloatAt(row, kAddedIndexCount, static_cast<float>(kStoredIndexCount - kFirstIndexCount));
}

SimulationRecord::StoredPatient SimulationRecord::storedPatient(int row) const {
    return {floatAt(row, kPatient), floatAt(row, kPatient + 4), floatAt(row, kPatient + 8)};
}

void SimulationRecord::setStoredPatient(int row, const StoredPatient& patient) {
    setFloatAt(row, kPatient, patient.sex);
    setFloatAt(row, kPatient + 4, patient.age_years);
    setFloatAt(row, kPatient + 8, patient.height_cm);
}

float SimulationRecord::partSetting(int row, int part, int column) const {
    return floatAt(row, settingOffset(part, column));
}
void SimulationRecord::setPartSetting(int row, int part, int column, float v) {
    setFloatAt(row, settingOffset(part, column), v);
}

float SimulationRecord::globalSetting(int row, int item) const {
    checkGlobalItem(item);
    return floatAt(row, kGlobalSettings + 4 * static_cast<std::size_t>(item));
}
void SimulationRecord::setGlobalSetting(int row, int item, float v) {
    checkGlobalItem(item);
    setFloatAt(row, kGlobalSettings + 4 * static_cast<std::size_t>(item), v);
}

void SimulationRecord::copyRow(int from, int to) {
    checkRow(from);
    checkRow(to);
    if (from == to)
        return;
    std::memcpy(data_.get() + kRowBytes * static_cast<std::size_t>(to),
                data_.get() + kRowBytes * static_cast<std::size_t>(from), kRowBytes);
}

ResultRowBytes SimulationRecord::rowBytes(int row) const {
    checkRow(row);
    ResultRowBytes out;
    std::memcpy(out.data(), data_.get() + kRowBytes * static_cast<std::size_t>(row), kRowBytes);
    return out;
}

void SimulationRecord::setRowBytes(int row, const ResultRowBytes& bytes) {
    checkRow(row);
    std::memcpy(data_.get() + kRowBytes * static_cast<std::size_t>(row), bytes.data(), kRowBytes);
}

void SimulationRecord::clearFvVolume(int row) {
    checkRow(row);
    std::memset(data_.get() + kRowBytes * static_cast<std::size_t>(row) + kFvVolume, 0,
                4 * kFvSamples);
}

void SimulationRecord::clearFvFlow(int row) {
    checkRow(row);
    std::memset(data_.get() + kRowBytes * static_cast<std::size_t>(row) + kFvFlow, 0,
                4 * kFvSamples);
}

std::span<const std::uint8_t, kRecordBytes> SimulationRecord::bytes() const {
    return std::span<const std::uint8_t, kRecordBytes>(data_.get(), kRecordBytes);
}

std::span<std::uint8_t, kRecordBytes> SimulationRecord::bytes() {
    return std::span<std::uint8_t, kRecordBytes>(data_.get(), kRecordBytes);
}

} // namespace vm::record

#include "record/simulation_record.h"

#include <algorithm>
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
    checkIndex("volume-time sample", k, 1, kVtSamples);
    return floatAt(row, kVtTime + 4 * static_cast<std::size_t>(k - 1));
}
void SimulationRecord::setVtTime(int row, int k, float v) {
    checkIndex("volume-time sample", k, 1, kVtSamples);
    setFloatAt(row, kVtTime + 4 * static_cast<std::size_t>(k - 1), v);
}
float SimulationRecord::vtVolume(int row, int k) const {
    checkIndex("volume-time sample", k, 1, kVtSamples);
    return floatAt(row, kVtVolume + 4 * static_cast<std::size_t>(k - 1));
}
void SimulationRecord::setVtVolume(int row, int k, float v) {
    checkIndex("volume-time sample", k, 1, kVtSamples);
    setFloatAt(row, kVtVolume + 4 * static_cast<std::size_t>(k - 1), v);
}

float SimulationRecord::fvVolume(int row, int n) const {
    checkIndex("flow-volume sample", n, 1, kFvSamples);
    return floatAt(row, kFvVolume + 4 * static_cast<std::size_t>(n - 1));
}
void SimulationRecord::setFvVolume(int row, int n, float v) {
    checkIndex("flow-volume sample", n, 1, kFvSamples);
    setFloatAt(row, kFvVolume + 4 * static_cast<std::size_t>(n - 1), v);
}
float SimulationRecord::fvFlow(int row, int n) const {
    checkIndex("flow-volume sample", n, 1, kFvSamples);
    return floatAt(row, kFvFlow + 4 * static_cast<std::size_t>(n - 1));
}
void SimulationRecord::setFvFlow(int row, int n, float v) {
    checkIndex("flow-volume sample", n, 1, kFvSamples);
    setFloatAt(row, kFvFlow + 4 * static_cast<std::size_t>(n - 1), v);
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
    checkRow(row);
    checkIndex("sample", n, 0, kTraceSamples - 1);
    checkIndex("lobe", lobe, 1, kLobes);
    return data_[kRowBytes * static_cast<std::size_t>(row) + kLobeState +
                 5 * static_cast<std::size_t>(n) + static_cast<std::size_t>(lobe - 1)];
}
void SimulationRecord::setLobeState(int row, int n, int lobe, std::uint8_t v) {
    checkRow(row);
    checkIndex("sample", n, 0, kTraceSamples - 1);
    checkIndex("lobe", lobe, 1, kLobes);
    data_[kRowBytes * static_cast<std::size_t>(row) + kLobeState + 5 * static_cast<std::size_t>(n) +
          static_cast<std::size_t>(lobe - 1)] = v;
}

float SimulationRecord::centralTrace(int row, int i) const {
    checkIndex("central trace item", i, 0, 2);
    return floatAt(row, kCentralTrace + 4 * static_cast<std::size_t>(i));
}
void SimulationRecord::setCentralTrace(int row, int i, float v) {
    checkIndex("central trace item", i, 0, 2);
    setFloatAt(row, kCentralTrace + 4 * static_cast<std::size_t>(i), v);
}

float SimulationRecord::field(int row, RowField f) const {
    const int i = static_cast<int>(f);
    checkIndex("row field", i, 0, kRowFieldCount - 1);
    return floatAt(row, kIndices + 4 * static_cast<std::size_t>(i));
}
void SimulationRecord::setField(int row, RowField f, float v) {
    const int i = static_cast<int>(f);
    checkIndex("row field", i, 0, kRowFieldCount - 1);
    setFloatAt(row, kIndices + 4 * static_cast<std::size_t>(i), v);
}

float SimulationRecord::partSetting(int row, int part, int column) const {
    checkPart(part);
    checkIndex("setting column", column, 0, kPartColumns - 1);
    return floatAt(row, kPartSettings + 64 * static_cast<std::size_t>(part) +
                            4 * static_cast<std::size_t>(column));
}
void SimulationRecord::setPartSetting(int row, int part, int column, float v) {
    checkPart(part);
    checkIndex("setting column", column, 0, kPartColumns - 1);
    setFloatAt(row,
               kPartSettings + 64 * static_cast<std::size_t>(part) +
                   4 * static_cast<std::size_t>(column),
               v);
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

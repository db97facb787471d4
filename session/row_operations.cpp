#include "session/row_operations.h"

#include "record/vocabulary.h"

#include <array>
#include <cmath>

using namespace vm::record;

namespace vm::session {

using namespace layout;

namespace {

constexpr int kShownResults = 3; // the row grid has room for three results

void clearCurves(SimulationRecord& record, int row) {
    for (int k = 1; k <= kVtSamples; ++k) {
        record.setVtTime(row, k, 0.0f);
        record.setVtVolume(row, k, 0.0f);
    }
    record.clearFvVolume(row);
    record.clearFvFlow(row);
}

} // namespace

void RunAndCommitNewResult(SimulationRecord& record, RecordState& state,
                           const std::function<void()>& run) {
    const ResultRowBytes previousNewest = record.rowBytes(workingRow);
    clearCurves(record, workingRow);
    storeCurrentSettingsIntoWorkingRow(state, record);
    run();
    record.copyRow(3, 4);
    record.copyRow(2, 3);
    record.setRowBytes(2, previousNewest);
    state.selectedRow = 1;
    if (state.resultCount < kShownResults) state.resultCount += 1;
}

std::string RunOutcomeSoundAlias(float runStatus) {
    return std::nearbyint(runStatus) == 1.0f ? "SystemAsterisk" : "SystemHand";
}

bool DeleteSelectedResult(SimulationRecord& record, RecordState& state) {
    if (state.selectedRow == -1) return false;
    checkRow(state.selectedRow);
    for (int i = state.selectedRow; i <= 3; ++i) record.copyRow(i + 1, i);
    for (int c = 0; c < kSettingColumns; ++c) record.setPartSetting(4, kEditedPart, c, 100.0f);
    if (state.resultCount > 0) state.resultCount -= 1;
    for (int j = state.resultCount + 1; j <= 4; ++j) {
        record.clearFvVolume(j);
        record.clearFvFlow(j);
    }
    state.selectedRow = state.resultCount >= 1 ? 1 : -1;
    return true;
}

bool MakeSelectedResultReference(SimulationRecord& record, const RecordState& state) {
    const int s = state.selectedRow;
    if (s == -1) return false;
    checkRow(s);

    // Each result is re-expressed relative to the new reference; the ratios are taken in extended
    // precision and stored as single precision.
    auto rescale = [&](auto get, auto set) {
        for (int j = 1; j <= state.resultCount; ++j) {
            if (j == s) continue;
            const long double divisor = get(s);
            if (divisor != 0) set(j, static_cast<float>(100.0L * get(j) / divisor));
        }
        const long double own = get(s);
        if (own != 0) set(s, static_cast<float>(100.0L * own / own));
    };

    std::array<float, kGlobalItems> newGlobal{};
    for (int i = 0; i < kGlobalItems; ++i) {
        newGlobal[i] = static_cast<float>(static_cast<long double>(record.globalSetting(0, i)) *
                                          record.globalSetting(s, i) / 100.0L);
        rescale([&](int row) -> long double { return record.globalSetting(row, i); },
                [&](int row, float v) { record.setGlobalSetting(row, i, v); });
    }

    std::array<std::array<float, kSettingColumns>, kParts> newPart{};
    for (int p = 0; p < kParts; ++p) {
        for (int c = 0; c < kSettingColumns; ++c)
            newPart[p][c] =
                static_cast<float>(static_cast<long double>(record.partSetting(0, p, c)) *
                                   record.partSetting(s, p, c) / 100.0L);
        for (int c = 0; c < kSettingColumns; ++c)
            rescale([&](int row) -> long double { return record.partSetting(row, p, c); },
                    [&](int row, float v) { record.setPartSetting(row, p, c, v); });
    }

    record.copyRow(s, referenceRow);
    for (int i = 0; i < kGlobalItems; ++i) record.setGlobalSetting(referenceRow, i, newGlobal[i]);
    for (int p = 0; p < kParts; ++p)
        for (int c = 0; c < kSettingColumns; ++c)
            record.setPartSetting(referenceRow, p, c, newPart[p][c]);
    return true;
}

FileResult RestoreStandardReferenceRow(SimulationRecord& record, const RecordState& state,
                                       const std::filesystem::path& standardFile) {
    SimulationRecord standard;
    FileResult read = readRecordFile(standardFile, standard);
    if (!read.ok) return read;

    for (int p = 0; p < kParts; ++p)
        for (int i = 1; i <= state.resultCount; ++i)
            for (int c = 0; c < kSettingColumns; ++c)
                record.setPartSetting(
                    i, p, c,
                    static_cast<float>(static_cast<long double>(record.partSetting(i, p, c)) *
                                       record.partSetting(referenceRow, p, c) / 100.0L));
    // Only the first sixteen global items follow the reference; the last four keep their values.
    for (int i = 1; i <= state.resultCount; ++i)
        for (int j = 0; j < 16; ++j)
            record.setGlobalSetting(
                i, j,
                static_cast<float>(static_cast<long double>(record.globalSetting(i, j)) *
                                   record.globalSetting(referenceRow, j) / 100.0L));

    record.setRowBytes(referenceRow, standard.rowBytes(referenceRow));
    return read;
}

} // namespace vm::session

#pragma once
// The one store of everything the user sees: the reference, the newest result and the earlier
// results with their settings, curves and indices. The bytes are, unchanged, the file format of
// the standard record and of simulation files.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

namespace vm::record {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4,
              "the record stores 4-byte IEEE 754 floats");
static_assert(std::endian::native == std::endian::little,
              "the record is little-endian and is copied to and from memory unchanged");

// An index outside the record's bounds stops the current command with this error.
class RangeError : public std::out_of_range {
  public:
    explicit RangeError(const std::string& what) : std::out_of_range(what) {}
};

namespace layout {
inline constexpr int kRowCount = 5;
inline constexpr std::size_t kRowBytes = 124272;
inline constexpr std::size_t kRecordBytes = kRowBytes * kRowCount; // 621360

inline constexpr int kVtSamples = 1000;    // vtTime/vtVolume, 1-based
inline constexpr int kFvSamples = 1500;    // fvVolume/fvFlow, 1-based
inline constexpr int kTraceSamples = 1501; // lobe traces, n = 0..1500
inline constexpr int kLobes = 5;           // k = 1..5
inline constexpr int kParts = 8;           // p = 0..7
inline constexpr int kPartColumns = 16;    // c = 0..15 stored, 0..7 used
inline constexpr int kSettingColumns = 8;
inline constexpr int kGlobalItems = 20;

inline constexpr std::size_t kVtTime = 0;
inline constexpr std::size_t kVtVolume = 4000;
inline constexpr std::size_t kFvVolume = 8000;
inline constexpr std::size_t kFvFlow = 14000;
inline constexpr std::size_t kReserved = 20000;
inline constexpr std::size_t kLobeTraceA = 26000;
inline constexpr std::size_t kLobeTraceB = 56020;
inline constexpr std::size_t kLobeVolume = 86040;
inline constexpr std::size_t kLobeState = 116060;
inline constexpr std::size_t kPadding = 123565;
inline constexpr std::size_t kCentralTrace = 123572;
// The stored indices, one float each in the order of the index table (record/index_table.h):
// fev1 .. modelVariant, the fourteen every file holds, then the ones added since, which the
// floats up to kAddedIndexCount have room for.
inline constexpr std::size_t kStoredIndices = 123584;
inline constexpr int kFirstIndexCount = 14;
// How many indices after the first fourteen the run that wrote the row stored: a whole number
// as a float, 0 in every file saved before one was added, so that such a file's rows read the
// later ones as absent rather than as the 0 their unused floats hold.
inline constexpr std::size_t kAddedIndexCount = 123664;
inline constexpr int kIndexCapacity = static_cast<int>((kAddedIndexCount - kStoredIndices) / 4);
// The patient a file's results are read for, in its reference row: the last three of the row's
// unused floats (sex code, age in years, height in cm), all 0 for none.
inline constexpr std::size_t kPatient = 123668;
inline constexpr std::size_t kPartSettings = 123680;
inline constexpr std::size_t kGlobalSettings = 124192;
} // namespace layout

// Row roles.
inline constexpr int referenceRow = 0;
inline constexpr int workingRow = 1;

// The scalar indices of a row, in stored order from offset 123584.
enum class RowField {
    fev1,
    fvcex,
    fev1PctFvc,
    pef,
    mef75,
    mef50,
    mef25,
    erv,
    flowAt1s,
    frc,
    tlc,
    runStatus,
    fet,
    modelVariant,
    // Stored indices added since follow in the order of the index table (record/index_table.h).
};

// The raw bytes of one row, for keeping a copy while a row is overwritten.
using ResultRowBytes = std::array<std::uint8_t, layout::kRowBytes>;

class SimulationRecord {
  public:
    SimulationRecord();
    SimulationRecord(const SimulationRecord& other);
    SimulationRecord& operator=(const SimulationRecord& other);

    // Volume-time samples, k = 1..1000.
    float vtTime(int row, int k) const;
    void setVtTime(int row, int k, float v);
    float vtVolume(int row, int k) const;
    void setVtVolume(int row, int k, float v);

    // Flow-volume samples, n = 1..1500.
    float fvVolume(int row, int n) const;
    void setFvVolume(int row, int n, float v);
    float fvFlow(int row, int n) const;
    void setFvFlow(int row, int n, float v);

    // Per-sample lobe traces, n = 0..1500, lobe = 1..5.
    float lobeTraceA(int row, int n, int lobe) const;
    void setLobeTraceA(int row, int n, int lobe, float v);
    float lobeTraceB(int row, int n, int lobe) const;
    void setLobeTraceB(int row, int n, int lobe, float v);
    float lobeVolume(int row, int n, int lobe) const;
    void setLobeVolume(int row, int n, int lobe, float v);
    std::uint8_t lobeState(int row, int n, int lobe) const;
    void setLobeState(int row, int n, int lobe, std::uint8_t v);

    // Central-airway values at the last flow-volume sample, i = 0..2.
    float centralTrace(int row, int i) const;
    void setCentralTrace(int row, int i, float v);

    // A stored index, any of the index table's (record/index_table.h).
    float field(int row, RowField f) const;
    void setField(int row, RowField f, float v);
    // How many stored indices the row holds: the first fourteen always, and as many more as
    // the run that wrote the row stored (layout::kAddedIndexCount; a mark that is no count in
    // range counts as none added).
    int fieldsHeld(int row) const;
    bool holdsField(int row, RowField f) const;
    // Marks the row as holding every stored index of this program.
    void markFieldsHeld(int row);

    // The patient stored with a row: sex code (0 none, 1 male, 2 female), age in years, height
    // in cm.
    struct StoredPatient {
        float sex = 0.0f;
        float age_years = 0.0f;
        float height_cm = 0.0f;
        bool operator==(const StoredPatient&) const = default;
    };
    StoredPatient storedPatient(int row) const;
    void setStoredPatient(int row, const StoredPatient& patient);

    // Settings in percent: part 0..7, column 0..15 (only 0..7 carry meaning); item 0..19.
    float partSetting(int row, int part, int column) const;
    void setPartSetting(int row, int part, int column, float v);
    float globalSetting(int row, int item) const;
    void setGlobalSetting(int row, int item, float v);

    // Whole rows.
    void copyRow(int from, int to);
    ResultRowBytes rowBytes(int row) const;
    void setRowBytes(int row, const ResultRowBytes& bytes);
    void clearFvVolume(int row);
    void clearFvFlow(int row);

    // The whole record, byte for byte the file contents.
    std::span<const std::uint8_t, layout::kRecordBytes> bytes() const;
    std::span<std::uint8_t, layout::kRecordBytes> bytes();

  private:
    float floatAt(int row, std::size_t offset) const;
    void setFloatAt(int row, std::size_t offset, float v);

    std::unique_ptr<std::uint8_t[]> data_;
};

// Index checks shared by the record and the state beside it.
void checkRow(int row);
void checkPart(int part);
void checkGlobalItem(int item);

} // namespace vm::record

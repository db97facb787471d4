// A simulation file read and shown as the window shows one it opens (see record_display.h).
//
// A record is 621360 bytes, too many for a fuzzer to mutate well, so an input describes a file:
//   byte 0: bit 0 starts from a record holding four plausible results instead of zeros, bit 1
//           cuts the file short at the length in bytes 1..4, bits 2..3 pick the canvas sizes,
//           bits 4 and 5 also show result 2 and result 3 as clicks on their grid lines, bit 7
//           draws the plots, and bit 6 then the first frames of the shown result's replay;
//   then patches, each a little-endian 4-byte offset into the record, a length byte and as many
//   bytes to write there.
// Drawing the plots is most of an input's time: an input draws them only when it asks to, each
// once, after the last result it shows. Inputs that only fill the tables explore the values
// several times as fast.

#include "fuzz_scratch.h"
#include "record/simulation_record.h"
#include "record_display.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace vm::record;

namespace {

// The plots draw text, which needs a GUI application; one for the whole process.
void ensureGuiApplication() {
    static int argc = 1;
    static char name[] = "record_fuzzer";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance() == nullptr) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static QGuiApplication app(argc, argv);
    }
}

// Four results a run could have left: curves that rise and fall, settings of 100 and the indices
// of a healthy lung, so that patches land among values the drawing already uses.
void fillPlausibleResults(SimulationRecord& record) {
    for (int row = 0; row <= 3; ++row) {
        const float scale = 1.0f - 0.1f * static_cast<float>(row);
        for (int k = 1; k <= layout::kVtSamples; ++k) {
            record.setVtTime(row, k, 0.01f * static_cast<float>(k));
            record.setVtVolume(row, k, scale * (3.0f - 2.0f * static_cast<float>(k) / 1000.0f));
        }
        for (int n = 1; n <= 1200; ++n) {
            const float x = static_cast<float>(n) / 1200.0f;
            record.setFvVolume(row, n, scale * 4.0f * x);
            record.setFvFlow(row, n, scale * 8.0f * x * (1.0f - x) * 4.0f + 0.01f);
        }
        for (int n = 0; n < layout::kTraceSamples; ++n)
            for (int lobe = 1; lobe <= layout::kLobes; ++lobe) {
                record.setLobeTraceA(row, n, lobe, 1.0f + 0.001f * static_cast<float>(n));
                record.setLobeTraceB(row, n, lobe, 2.0f);
                record.setLobeVolume(row, n, lobe, 0.6f - 0.0003f * static_cast<float>(n));
                record.setLobeState(row, n, lobe, n % 3 == 0 ? 1 : 0);
            }
        for (int i = 0; i < 3; ++i)
            record.setCentralTrace(row, i, 0.5f);
        const float indices[layout::kFirstIndexCount] = {3.2f, 4.0f, 80.0f, 8.0f, 7.0f, 4.5f, 2.0f,
                                                         1.5f, 3.1f, 2.5f,  6.0f, 1.0f, 5.0f, 0.0f};
        for (int f = 0; f < layout::kFirstIndexCount; ++f)
            record.setField(row, static_cast<RowField>(f), scale * indices[f]);
        for (int part = 0; part < layout::kParts; ++part)
            for (int column = 0; column < layout::kSettingColumns; ++column)
                record.setPartSetting(row, part, column, 100.0f);
        for (int item = 0; item < 4; ++item)
            record.setGlobalSetting(row, item, 100.0f);
    }
}

std::uint32_t readLe32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The file the input describes, written to the scratch folder.
std::filesystem::path describedFile(const std::uint8_t* data, std::size_t size) {
    // Filled once: the record's checked setters cost more than a copy, and a fresh record of
    // 621360 bytes costs the sanitizer's allocator a new mapping every time.
    static const SimulationRecord zeros;
    static const SimulationRecord plausible = [] {
        SimulationRecord record;
        fillPlausibleResults(record);
        return record;
    }();
    static SimulationRecord record;
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    record = (flags & 1) ? plausible : zeros;
    std::size_t at = 1;
    std::size_t fileBytes = layout::kRecordBytes;
    if ((flags & 2) && size >= at + 4) {
        fileBytes = readLe32(data + at) % layout::kRecordBytes;
        at += 4;
    }
    auto bytes = record.bytes();
    while (size >= at + 5) {
        const std::size_t offset = readLe32(data + at) % layout::kRecordBytes;
        const std::size_t length =
            std::min<std::size_t>({data[at + 4], size - at - 5, layout::kRecordBytes - offset});
        std::memcpy(bytes.data() + offset, data + at + 5, length);
        at += 5 + length;
    }
    return vm::fuzz::writeScratchFile("fuzz.spi", bytes.data(), fileBytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureGuiApplication();
    // The window's sizes at a small and a large screen, and two degenerate ones.
    const QSize sizes[4] = {{322, 242}, {640, 480}, {1, 1}, {97, 31}};
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    vm::fuzz::openAndShow(describedFile(data, size), sizes[(flags >> 2) & 3],
                          {(flags >> 4) & 3u, (flags & 0x80) != 0, false, (flags & 0x40) != 0});
    return 0;
}

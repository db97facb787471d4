// The setting notes read from their file and looked up by every key the program shows a note for,
// and by a few it never asks for.

#include "data/setting_notes.h"
#include "fuzz_scratch.h"

#include <cstddef>
#include <cstdint>

using namespace vm::data;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = vm::fuzz::writeScratchFile("pdp.txt", data, size);
    for (const int key : {-1, 0, 1, 2, 5, 9, 10, 11, 12, 99, 2147483647}) {
        const SettingNoteResult result = readSettingNote(path, key);
        // Either a note to show or a message saying why not.
        if (!result.note && result.error.empty())
            __builtin_trap();
    }
    return 0;
}

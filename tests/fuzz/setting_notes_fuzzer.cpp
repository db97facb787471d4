// The setting notes read from their file as the program reads them, then looked up by every key
// the program shows a note for, and by a few it never asks for. The file is read and decoded
// once: for a notes file of a megabyte that is a third of an input's time.

#include "data/setting_notes.h"
#include "data/text_encoding.h"
#include "fuzz_scratch.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace vm::data;

namespace {
// Either a note to show or a message saying why not.
void check(const SettingNoteResult& result) {
    if (!result.note && result.error.empty())
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto path = vm::fuzz::writeScratchFile("pdp.txt", data, size);
    check(readSettingNote(path, 1));
    const std::string text =
        decodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const int key : {-1, 0, 2, 5, 9, 10, 11, 12, 99, 2147483647})
        check(findSettingNote(text, key));
    return 0;
}

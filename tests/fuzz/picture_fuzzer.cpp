// An airway picture as the program reads it: copied beside the program, its first 100 bytes
// reversed, then decoded by libjpeg. The input is the file as stored, reversed head included.

#include "data/jpeg_picture.h"
#include "fuzz_scratch.h"

#include <cstddef>
#include <cstdint>

using namespace vm::data;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = vm::fuzz::writeScratchFile("F001.dat", data, size);
    const auto temp = vm::fuzz::scratchFolder() / "temp.jpg";
    const PictureResult result = decodeReversedPicture(source, temp);
    if (result.ok) {
        const DecodedPicture& picture = result.picture;
        if (picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
            __builtin_trap();
    } else if (result.message.empty()) {
        __builtin_trap();
    }
    return 0;
}

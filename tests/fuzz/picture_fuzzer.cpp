// An airway picture as the program reads it: copied beside the program, its first 100 bytes
// reversed, then decoded by libjpeg, at its own size and scaled down to a small shown size. The
// input is the file as stored, reversed head included.

#include "data/jpeg_picture.h"
#include "fuzz_scratch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

using namespace vm::data;

namespace {
void checkPixels(const PictureResult& result) {
    if (!result.ok && result.message.empty())
        __builtin_trap();
    const DecodedPicture& picture = result.picture;
    if (result.ok &&
        picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3)
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto source = vm::fuzz::writeScratchFile("F001.dat", data, size);
    const auto temp = vm::fuzz::scratchFolder() / "temp.jpg";
    const PictureResult full = decodeReversedPicture(source, temp);
    checkPixels(full);
    constexpr PictureSize shownAt{4, 3};
    const PictureResult scaled = decodeReversedPicture(source, temp, shownAt);
    checkPixels(scaled);
    // Scaled no larger than stored, and still covering the shown size where the picture does.
    if (full.ok && scaled.ok &&
        (scaled.picture.width > full.picture.width || scaled.picture.height > full.picture.height ||
         scaled.picture.width < std::min(shownAt.width, full.picture.width) ||
         scaled.picture.height < std::min(shownAt.height, full.picture.height)))
        __builtin_trap();
    return 0;
}

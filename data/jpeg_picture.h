#pragma once
// Decoding the program's JPEG pictures: the five airway pictures, stored with their first 100
// bytes in reverse order, and the plain background picture.

#include "record/record_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vm::data {

// RGB888, rows top to bottom, tightly packed (3 * width bytes a row).
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

struct PictureResult {
    bool ok = false;
    std::string message; // the decoder's or the file layer's message on failure
    DecodedPicture picture;
    // The failure was the scratch file's, which could not be written or read back: the folder
    // it lies in is at fault (read-only, full), not the picture.
    bool scratchFailed = false;
};

// The size a picture is shown at. A picture larger than that is decoded at the smallest of
// libjpeg's scales (1/8 .. 8/8) that still covers it, so that drawing it only ever shrinks it;
// zero in either dimension decodes at full size.
struct PictureSize {
    int width = 0;
    int height = 0;
};

// Pictures above this many pixels, as stored, are refused before any memory is reserved for them.
inline constexpr std::uint64_t kMaxPicturePixels = 50'000'000;
// A progressive picture (any of several scans) is held whole as coefficients, two bytes a sample,
// whatever the scale it is decoded at: above this it is refused as too large.
inline constexpr std::uint64_t kMaxCoefficientBytes = 64u * 1024u * 1024u;
// Files above this size are refused before they are read.
inline constexpr std::uintmax_t kMaxPictureFileBytes = 256u * 1024u * 1024u;
// How many leading bytes of an airway picture are stored in reverse order.
inline constexpr std::size_t kReversedBytes = 100;

PictureResult decodeJpegBytes(std::span<const std::uint8_t> bytes, PictureSize shownAt = {});
// As decodeJpegBytes, the decoder's message followed by the file's path.
PictureResult decodeJpegFile(const std::filesystem::path& path, PictureSize shownAt = {});

// Reverses bytes 0..99 of the file in place (byte 99 first). Fewer than 100 bytes: the file
// layer's "Read beyond end of file" and the file is left as it was.
record::FileResult reverseFirst100Bytes(const std::filesystem::path& path);
// The same on bytes in memory; false when there are fewer than 100.
bool reverseFirst100Bytes(std::span<std::uint8_t> bytes);

// One airway picture: copies source over the scratch file, reverses the copy's first 100 bytes
// and decodes it. A source that cannot be read, is shorter than 100 bytes or does not decode is
// named in the message, the scratch file when it cannot be written (and scratchFailed set); the
// caller deletes the scratch file after the last picture and after a failure.
PictureResult decodeReversedPicture(const std::filesystem::path& source,
                                    const std::filesystem::path& scratch, PictureSize shownAt = {});

} // namespace vm::data

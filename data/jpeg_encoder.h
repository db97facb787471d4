#pragma once
// Encoding RGB pictures as JPEG: used to make the program's picture files.

#include "data/jpeg_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vm::data {

struct EncodedJpeg {
    bool ok = false;
    std::string message;
    std::vector<std::uint8_t> bytes;
};

// Baseline unless asked for a progressive picture (several scans, as photo editors often save).
EncodedJpeg encodeJpeg(const DecodedPicture& picture, int quality, bool progressive = false);

} // namespace vm::data

#pragma once
// Encoding RGB pictures as baseline JPEG: used to make the program's picture files.

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

EncodedJpeg encodeJpeg(const DecodedPicture& picture, int quality);

} // namespace vm::data

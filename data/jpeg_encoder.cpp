#include "data/jpeg_encoder.h"

#include "data/jpeg_error_manager.h"

#include <cstdlib>

namespace vm::data {

namespace {

// Holds only plain data, for the same reason as the decoder. On success *out is a malloc'd buffer.
bool encodeWithLibjpeg(const std::uint8_t* rgb, int width, int height, int quality,
                       bool progressive, unsigned char** out, unsigned long* outSize,
                       char* message) {
    jpeg_compress_struct codec;
    JpegErrorManager errors;
    codec.err = installJpegErrorManager(errors);
    if (setjmp(errors.escape)) {
        copyJpegMessage(message, errors.message);
        jpeg_destroy_compress(&codec);
        return false;
    }
    jpeg_create_compress(&codec);
    jpeg_mem_dest(&codec, out, outSize);
    codec.image_width = static_cast<JDIMENSION>(width);
    codec.image_height = static_cast<JDIMENSION>(height);
    codec.input_components = 3;
    codec.in_color_space = JCS_RGB;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&codec);
    jpeg_start_compress(&codec, TRUE);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    while (codec.next_scanline < codec.image_height) {
        // libjpeg's row type is not const, but compression only reads the rows.
        JSAMPROW line = const_cast<std::uint8_t*>(rgb) + codec.next_scanline * stride;
        jpeg_write_scanlines(&codec, &line, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    return true;
}

} // namespace

EncodedJpeg encodeJpeg(const DecodedPicture& picture, int quality, bool progressive) {
    EncodedJpeg result;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() != static_cast<std::size_t>(picture.width) * picture.height * 3) {
        result.message = "Picture size does not match its pixels";
        return result;
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    result.ok = encodeWithLibjpeg(picture.rgb.data(), picture.width, picture.height, quality,
                                  progressive, &buffer, &size, message);
    if (result.ok)
        result.bytes.assign(buffer, buffer + size);
    else
        result.message = message;
    std::free(buffer);
    return result;
}

} // namespace vm::data

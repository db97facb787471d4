#include "data/jpeg_picture.h"

#include "data/jpeg_error_manager.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

using namespace vm::record;

namespace vm::data {

namespace fs = std::filesystem;

namespace {

// Where the decoded pixels go: asked for once the size is known, outside any libjpeg call.
struct PixelSink {
    std::uint8_t* (*reserve)(void* context, JDIMENSION width, JDIMENSION height) noexcept;
    void* context;
};

// The smallest scale, in eighths, at which the picture still covers the size it is shown at.
unsigned scaleInEighths(const jpeg_decompress_struct& codec, PictureSize shownAt) {
    if (shownAt.width <= 0 || shownAt.height <= 0)
        return 8;
    const auto covers = [](JDIMENSION stored, unsigned eighths, int shown) {
        // libjpeg rounds a scaled size up.
        return (static_cast<std::uint64_t>(stored) * eighths + 7) / 8 >=
               static_cast<std::uint64_t>(shown);
    };
    unsigned eighths = 1;
    while (eighths < 8 && !(covers(codec.image_width, eighths, shownAt.width) &&
                            covers(codec.image_height, eighths, shownAt.height)))
        ++eighths;
    return eighths;
}

// What a picture decoded in several scans holds until its last scan: every block of every
// component, 64 samples of two bytes each.
std::uint64_t coefficientBytes(const jpeg_decompress_struct& codec) {
    std::uint64_t bytes = 0;
    for (int c = 0; c < codec.num_components; ++c) {
        const jpeg_component_info& component = codec.comp_info[c];
        bytes += static_cast<std::uint64_t>(component.width_in_blocks) *
                 component.height_in_blocks * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
}

// Holds only plain data: libjpeg's errors longjmp out of the calls below and must not skip a
// destructor. `message` has room for JMSG_LENGTH_MAX characters.
bool decodeWithLibjpeg(const std::uint8_t* data, std::size_t size, PictureSize shownAt,
                       PixelSink sink, char* message) {
    jpeg_decompress_struct codec;
    JpegErrorManager errors;
    codec.err = installJpegErrorManager(errors);
    if (setjmp(errors.escape)) {
        copyJpegMessage(message, errors.message);
        jpeg_destroy_decompress(&codec);
        return false;
    }
    jpeg_create_decompress(&codec);
    jpeg_mem_src(&codec, data, static_cast<unsigned long>(size));
    jpeg_read_header(&codec, TRUE);
    const std::uint64_t pixels = static_cast<std::uint64_t>(codec.image_width) * codec.image_height;
    if (pixels > kMaxPicturePixels ||
        (jpeg_has_multiple_scans(&codec) && coefficientBytes(codec) > kMaxCoefficientBytes)) {
        copyJpegMessage(message, "Picture too large");
        jpeg_destroy_decompress(&codec);
        return false;
    }
    codec.out_color_space = JCS_RGB;
    codec.scale_num = scaleInEighths(codec, shownAt);
    codec.scale_denom = 8;
    jpeg_calc_output_dimensions(&codec);
    std::uint8_t* rgb = sink.reserve(sink.context, codec.output_width, codec.output_height);
    if (rgb == nullptr) {
        copyJpegMessage(message, "Out of memory");
        jpeg_destroy_decompress(&codec);
        return false;
    }
    jpeg_start_decompress(&codec);
    const std::size_t stride = static_cast<std::size_t>(codec.output_width) * 3;
    while (codec.output_scanline < codec.output_height) {
        JSAMPROW line = rgb + static_cast<std::size_t>(codec.output_scanline) * stride;
        jpeg_read_scanlines(&codec, &line, 1);
    }
    jpeg_finish_decompress(&codec);
    jpeg_destroy_decompress(&codec);
    return true;
}

std::uint8_t* reservePicture(void* context, JDIMENSION width, JDIMENSION height) noexcept {
    auto* picture = static_cast<DecodedPicture*>(context);
    try {
        picture->rgb.assign(static_cast<std::size_t>(width) * height * 3, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    return picture->rgb.data();
}

// Writes the whole of bytes over path, which may exist already.
FileResult writeWholeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errnoFailure(errno, path);
    const bool written = writeAllBytes(fd, bytes.data(), bytes.size());
    if (!closeFile(fd) || !written)
        return errnoFailure(errno, path);
    return FileResult::success();
}

// The decoder's message with the picture it could not decode.
PictureResult decodeNamingFile(const std::vector<std::uint8_t>& bytes, const fs::path& named,
                               PictureSize shownAt) {
    PictureResult decoded = decodeJpegBytes(bytes, shownAt);
    if (!decoded.ok)
        decoded.message += ": " + named.string();
    return decoded;
}

} // namespace

PictureResult decodeJpegBytes(std::span<const std::uint8_t> bytes, PictureSize shownAt) {
    PictureResult result;
    char message[JMSG_LENGTH_MAX] = {};
    result.ok = decodeWithLibjpeg(bytes.data(), bytes.size(), shownAt,
                                  {reservePicture, &result.picture}, message);
    if (!result.ok) {
        result.message = message;
        result.picture = {};
    }
    return result;
}

PictureResult decodeJpegFile(const fs::path& path, PictureSize shownAt) {
    std::vector<std::uint8_t> bytes;
    if (const FileResult read = readDataFile(path, bytes, kMaxPictureFileBytes); !read.ok)
        return {false, read.message, {}};
    return decodeNamingFile(bytes, path, shownAt);
}

bool reverseFirst100Bytes(std::span<std::uint8_t> bytes) {
    if (bytes.size() < kReversedBytes)
        return false;
    std::reverse(bytes.begin(), bytes.begin() + kReversedBytes);
    return true;
}

FileResult reverseFirst100Bytes(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return errnoFailure(errno, path);
    std::uint8_t head[kReversedBytes];
    const ssize_t got = readUpTo(fd, head, kReversedBytes);
    if (got < 0) {
        const int e = errno;
        ::close(fd);
        return errnoFailure(e, path);
    }
    if (static_cast<std::size_t>(got) < kReversedBytes) {
        ::close(fd);
        return fileFailure("Read beyond end of file", path);
    }
    reverseFirst100Bytes(std::span<std::uint8_t>(head, kReversedBytes));
    const bool written = ::lseek(fd, 0, SEEK_SET) == 0 && writeAllBytes(fd, head, kReversedBytes);
    if (!closeFile(fd) || !written)
        return errnoFailure(errno, path);
    return FileResult::success();
}

PictureResult decodeReversedPicture(const fs::path& source, const fs::path& scratch,
                                    PictureSize shownAt) {
    std::vector<std::uint8_t> bytes;
    if (const FileResult read = readDataFile(source, bytes, kMaxPictureFileBytes); !read.ok)
        return {false, read.message, {}};
    if (bytes.size() < kReversedBytes)
        return {false, fileFailure("Read beyond end of file", source).message, {}};
    if (const FileResult copied = writeWholeFile(scratch, bytes); !copied.ok)
        return {false, copied.message, {}, true};
    if (const FileResult reversed = reverseFirst100Bytes(scratch); !reversed.ok)
        return {false, reversed.message, {}, true};
    if (const FileResult read = readDataFile(scratch, bytes, kMaxPictureFileBytes); !read.ok)
        return {false, read.message, {}, true};
    return decodeNamingFile(bytes, source, shownAt);
}

} // namespace vm::data

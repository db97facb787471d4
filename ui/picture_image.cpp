#include "ui/picture_image.h"

#include <cstring>

using namespace vm::data;

namespace vm::ui {

QImage pictureToImage(const DecodedPicture& picture) {
    const auto rowBytes = static_cast<std::size_t>(picture.width) * 3;
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() < rowBytes * static_cast<std::size_t>(picture.height))
        return {};
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    // QImage pads its lines to 4 bytes, the decoder does not: copy line by line.
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(image.scanLine(y), picture.rgb.data() + rowBytes * static_cast<std::size_t>(y),
                    rowBytes);
    return image;
}

} // namespace vm::ui

#pragma once
// Decoded pictures as images the window can draw.

#include "data/jpeg_picture.h"

#include <QImage>

namespace vm::ui {

// A deep copy; an empty picture gives a null image.
QImage pictureToImage(const data::DecodedPicture& picture);

} // namespace vm::ui

#pragma once
// Decoded pictures as images the window can draw.

#include "jpeg_picture.h"

#include <QImage>

// A deep copy; an empty picture gives a null image.
QImage PictureToImage(const DecodedPicture& picture);

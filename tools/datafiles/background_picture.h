#pragma once
// The background of the lung animation: a quiet gradient with a faint outline of the chest kept
// clear of where the animation draws the airways and lobes.

#include "data/jpeg_picture.h"

using namespace vm::data;

DecodedPicture drawBackgroundPicture();

#pragma once
#include "frontend/toolkit/bitmap_file.h"

namespace tamaruka {

// The embedded sprite as a picture (the image of Pic2), ready to be saved in
// the display's colour format.
Bitmap spritePicture();

}  // namespace tamaruka

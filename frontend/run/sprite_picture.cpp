#include "frontend/run/sprite_picture.h"

#include <variant>

#include "dib/dib_decoder.h"
#include "fireworks/sprite_bitmap.h"

namespace tamaruka {

Bitmap spritePicture() {
    const DibDecodeResult decoded = decodeDib(spriteBitmap());
    const auto* image = std::get_if<DibImage>(&decoded);
    return image ? fromDibImage(*image) : Bitmap{};
}

}  // namespace tamaruka

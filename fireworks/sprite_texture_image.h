#pragma once
#include <optional>

#include "dib/dib_image.h"

namespace tamaruka {

// Builds the mipmapped sprite texture from a decoded bitmap in the current
// OpenGL context and returns its name. Without an image with rows (no file,
// a top-down bitmap) the texture exists without an image, and particles draw
// as plain coloured squares.
unsigned int createSpriteTexture(const std::optional<DibImage>& image);

// Deletes the texture; the context must still be current.
void deleteSpriteTexture(unsigned int texture);

}  // namespace tamaruka

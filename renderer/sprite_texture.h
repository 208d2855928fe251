#pragma once
#include "dib/dib_loader.h"
#include "fireworks/sprite_texture_image.h"

namespace tamaruka {

// Reads the sprite bitmap and builds the mipmapped sprite texture in the
// current OpenGL context, refusing a bitmap with a side longer than the
// context can take. Returns the texture name; when the file cannot be
// read the texture exists without an image and particles draw untextured.
unsigned int loadSpriteTexture(const LoaderErrorSink& showLoaderError);

}  // namespace tamaruka

#pragma once
#include "dib/dib_loader.h"

namespace tamaruka {

// Reads the sprite bitmap and builds the mipmapped sprite texture in the
// current OpenGL context. Returns the texture name; when the file cannot be
// read the texture exists without an image and particles draw untextured.
unsigned int loadSpriteTexture(const LoaderErrorSink& showLoaderError);

// Deletes the texture; the context must still be current.
void deleteSpriteTexture(unsigned int texture);

}  // namespace tamaruka

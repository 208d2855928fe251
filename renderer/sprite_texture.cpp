#include "renderer/sprite_texture.h"

#include "common/sprite_path.h"
#include "fireworks/sprite_texture_image.h"

namespace tamaruka {

unsigned int loadSpriteTexture(const LoaderErrorSink& showLoaderError) {
    return createSpriteTexture(loadDibImage(spriteFilePath(), showLoaderError));
}

}  // namespace tamaruka

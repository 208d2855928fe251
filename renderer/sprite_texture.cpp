#include "renderer/sprite_texture.h"

#include <GL/gl.h>

#include "common/sprite_path.h"
#include "fireworks/sprite_texture_image.h"

namespace tamaruka {

namespace {

// The longest texture side the current context takes; the decoder's default
// when the context does not say.
std::int32_t maxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? side : DibDefaultMaxSide;
}

}  // namespace

unsigned int loadSpriteTexture(const LoaderErrorSink& showLoaderError) {
    const DibLimits limits{.maxSide = maxTextureSide()};
    return createSpriteTexture(loadDibImage(spriteFilePath(), showLoaderError, limits));
}

}  // namespace tamaruka

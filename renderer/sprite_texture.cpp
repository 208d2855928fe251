#include "renderer/sprite_texture.h"

#include <GL/gl.h>

namespace tamaruka {

// Placeholder until the bitmap loader lands: the texture gets no image.
unsigned int loadSpriteTexture(const LoaderErrorSink&) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    return texture;
}

void deleteSpriteTexture(unsigned int texture) {
    GLuint name = texture;
    glDeleteTextures(1, &name);
}

}  // namespace tamaruka

#include "fireworks/sprite_texture_image.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace tamaruka {

unsigned int createSpriteTexture(const std::optional<DibImage>& image) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);

    // An incomplete texture counts as none.
    if (image && image->hasRows()) {
        // The rows are packed without filler; any width must upload.
        GLint alignment = 4;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB,
                          GL_UNSIGNED_BYTE, image->pixels.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    }
    return texture;
}

void deleteSpriteTexture(unsigned int texture) {
    const GLuint name = texture;
    glDeleteTextures(1, &name);
}

}  // namespace tamaruka

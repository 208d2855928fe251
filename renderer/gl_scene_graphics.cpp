#include "renderer/gl_scene_graphics.h"

#include "fireworks/frame_drawing.h"
#include "renderer/sprite_texture.h"

namespace tamaruka {

void GlSceneGraphics::resizeScene(int width, int height) { tamaruka::resizeScene(width, height); }

void GlSceneGraphics::drawFrame(const ParticleList& particles, unsigned int spriteTexture) {
    tamaruka::drawFrame(particles, spriteTexture);
}

unsigned int GlSceneGraphics::loadSpriteTexture(RendererPlatform& platform) {
    // Loader errors are owned by the window, which holds the focus at start-up.
    return tamaruka::loadSpriteTexture(
        [&platform](const std::string& text) { platform.showErrorBox(text, true); });
}

void GlSceneGraphics::deleteSpriteTexture(unsigned int texture) {
    tamaruka::deleteSpriteTexture(texture);
}

}  // namespace tamaruka

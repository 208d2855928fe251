#pragma once
#include "renderer/renderer_platform.h"

namespace tamaruka {

// The frame drawing and the sprite texture on the current OpenGL context.
class GlSceneGraphics : public SceneGraphics {
public:
    void resizeScene(int width, int height) override;
    void drawFrame(const ParticleList& particles, unsigned int spriteTexture) override;
    unsigned int loadSpriteTexture(RendererPlatform& platform) override;
    void deleteSpriteTexture(unsigned int texture) override;
};

}  // namespace tamaruka

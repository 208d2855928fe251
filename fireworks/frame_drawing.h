#pragma once
#include "fireworks/particle_list.h"

namespace tamaruka {

// Fixed OpenGL state and the perspective projection for a client area of
// width x height pixels; a height of 0 counts as 1.
void resizeScene(int width, int height);

// Clears to black and draws every particle, newest first, as one square of
// the sprite in the particle's colour, blended additively. The caller presents it.
void drawFrame(const ParticleList& particles, unsigned int spriteTexture);

}  // namespace tamaruka

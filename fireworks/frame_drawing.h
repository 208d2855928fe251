#pragma once
#include "fireworks/particle_list.h"

namespace tamaruka {

// Fixed OpenGL state and the perspective projection for a client area of
// width x height pixels; a height of 0 counts as 1. Tamaruka.data keeps the
// 45-degree vertical field; the display mode widens it for narrow windows.
void resizeScene(int width, int height, double fieldOfViewDegrees = 45.0);

// Clears to black and draws every particle, newest first, as one square of
// the sprite in the particle's colour, blended additively. The caller presents it.
void drawFrame(const ParticleList& particles, unsigned int spriteTexture);

}  // namespace tamaruka

#pragma once
#include "fireworks/particle_list.h"

namespace tamaruka {

// Fixed OpenGL state and the perspective projection for a client area of
// width x height pixels; a height of 0 counts as 1. Tamaruka.data keeps the
// 45-degree vertical field; the display mode widens it for narrow windows.
void resizeScene(int width, int height, double fieldOfViewDegrees = 45.0);

// How each particle's square reaches OpenGL. Both give the same square with
// the same texture coordinates at its corners. Mesa's software renderer
// (llvmpipe) fills a four-vertex fan that forms an axis-aligned rectangle as
// one rectangle, without edge tests, when no depth buffer is attached; it
// splits a strip into two triangles.
enum class SquarePrimitive { TriangleStrip, TriangleFan };

// Clears to black and draws every particle, newest first, as one square of
// the sprite in the particle's colour, blended additively. The caller presents it.
void drawFrame(const ParticleList& particles, unsigned int spriteTexture,
               SquarePrimitive primitive = SquarePrimitive::TriangleStrip);

}  // namespace tamaruka

#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "fireworks/particle_list.h"

namespace tamaruka::preview {

// The sprite as the renderer's texture: 32 x 32 grey levels 0 ... 1, bottom
// row first, with its mipmap levels (32, 16, 8, 4, 2, 1).
class SpriteTexture {
public:
    explicit SpriteTexture(std::span<const std::uint8_t> bmpFile);
    // GL_LINEAR_MIPMAP_NEAREST: the level nearest to the footprint, bilinear in it.
    float sample(float u, float v, float texelsPerPixel) const;

private:
    struct Level {
        int side = 0;
        std::vector<float> grey;
    };
    std::vector<Level> levels_;
};

// An RGB picture in floating point, 0 ... 1 a channel, top row first.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;
    Canvas(int w, int h) : width(w), height(h), rgb(static_cast<std::size_t>(w) * h * 3, 0.0f) {}
};

// One frame as the renderer draws it: black, then every particle a square of
// edge 2 x halfSize facing the camera 60 units away, 45-degree vertical field
// of view, sprite texel x colour (clamped) added with weight alpha (clamped),
// each channel saturating at 1.
Canvas drawFrame(const ParticleList& particles, const SpriteTexture& sprite, int width, int height);

// Keeps the brighter of the two values in every channel: a long exposure of
// consecutive frames, in which every spark draws its streak.
void lighten(Canvas& exposure, const Canvas& frame);

// Box-filters the canvas down by a whole factor.
Canvas shrink(const Canvas& canvas, int factor);

}  // namespace tamaruka::preview

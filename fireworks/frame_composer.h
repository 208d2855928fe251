#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "fireworks/frame_image.h"
#include "fireworks/particle_list.h"
#include "fireworks/sprite_mip_chain.h"
#include "fireworks/sprite_square_blend.h"

namespace tamaruka {

// Draws the fireworks frame on the CPU: the same picture as drawFrame() on
// Mesa's software rasteriser (llvmpipe), which it follows step by step: the
// projection and viewport in float, vertices snapped to 1/256 pixel, its
// coverage rules, its mip level choice, its 8-bit bilinear filter, the colour
// modulated in float and the 8-bit additive blend.
class FrameComposer {
public:
    explicit FrameComposer(SpriteMipChain sprite);

    // The projection of resizeScene() for a window of width x height pixels.
    void resize(int width, int height, double fieldOfViewDegrees);
    // Clears the image to black and draws every particle; the image must
    // have the size given to resize(). An image composed into before is
    // taken to hold that frame still: only what it drew is cleared.
    void compose(const ParticleList& particles, const FrameImage& image);
    // For each row of the last image composed, the columns [first, second)
    // that may differ from the frame before it (all of them in a new image).
    const std::vector<std::pair<int, int>>& changedColumns() const { return changedRows_; }

private:
    void drawParticle(const Particle& p, bool firstOfFrame, const FrameImage& image);

    SpriteMipChain sprite_;
    std::vector<std::vector<std::uint32_t>> paddedLevels_;  // rows of side + 1 texels
    FrameImage lastImage_;
    std::vector<std::pair<int, int>> drawnRows_;  // per row of lastImage_: the columns drawn
    std::vector<std::pair<int, int>> changedRows_;
    int width_ = 1, height_ = 1;
    float xScale_ = 1, yScale_ = 1;  // the projection's diagonal
    std::vector<TexelSpan> columns_, rows_;
};

}  // namespace tamaruka

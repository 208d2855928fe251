#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "dib/dib_image.h"

namespace tamaruka {

// The sprite's mipmap levels in memory, as gluBuild2DMipmaps makes them for
// the GL texture: each level halves the one before with a 2 x 2 box filter
// rounded to nearest ((a + b + c + d + 2) / 4). Texels are 32-bit BGRX, rows
// bottom first. Only square sprites with a power-of-two side are taken (GLU
// would rescale any other first); without an image the chain is one white
// texel, which draws plain coloured squares as the GL texture without an image does.
class SpriteMipChain {
public:
    struct Level {
        int side = 0;
        std::vector<std::uint32_t> texels;
    };

    // Null for an image the chain cannot hold exactly.
    static std::optional<SpriteMipChain> build(const std::optional<DibImage>& image);

    const std::vector<Level>& levels() const { return levels_; }

private:
    std::vector<Level> levels_;
};

}  // namespace tamaruka

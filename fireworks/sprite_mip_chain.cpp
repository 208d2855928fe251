#include "fireworks/sprite_mip_chain.h"

namespace tamaruka {

namespace {

bool isPowerOfTwo(std::int32_t n) { return n > 0 && (n & (n - 1)) == 0; }

SpriteMipChain::Level halve(const SpriteMipChain::Level& level) {
    SpriteMipChain::Level half;
    half.side = level.side / 2;
    half.texels.resize(static_cast<std::size_t>(half.side) * half.side);
    const int side = level.side;
    for (int y = 0; y < half.side; ++y) {
        for (int x = 0; x < half.side; ++x) {
            const std::uint32_t* row = &level.texels[static_cast<std::size_t>(2 * y) * side + 2 * x];
            std::uint32_t texel = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const auto channel = [shift](std::uint32_t t) { return (t >> shift) & 0xFFu; };
                const std::uint32_t sum = channel(row[0]) + channel(row[1]) + channel(row[side]) +
                                          channel(row[side + 1]);
                texel |= ((sum + 2) / 4) << shift;
            }
            half.texels[static_cast<std::size_t>(y) * half.side + x] = texel;
        }
    }
    return half;
}

}  // namespace

std::optional<SpriteMipChain> SpriteMipChain::build(const std::optional<DibImage>& image) {
    SpriteMipChain chain;
    if (!image || !image->hasRows()) {
        chain.levels_.push_back({1, {0x00FFFFFFu}});
        return chain;
    }
    if (image->width != image->height || !isPowerOfTwo(image->width)) return std::nullopt;
    const std::size_t count = static_cast<std::size_t>(image->width) * image->height;
    if (image->pixels.size() < count * 3) return std::nullopt;
    Level base{image->width, std::vector<std::uint32_t>(count)};
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* rgb = &image->pixels[i * 3];
        base.texels[i] = std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
    }
    chain.levels_.push_back(std::move(base));
    while (chain.levels_.back().side > 1) chain.levels_.push_back(halve(chain.levels_.back()));
    return chain;
}

}  // namespace tamaruka

// The CPU frame composer without a display: its sprite levels as GLU builds
// them, and frames composed one after another into the same image.
#include "fireworks/frame_composer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <variant>
#include <vector>

#include "dib/dib_decoder.h"
#include "fireworks/sprite_bitmap.h"
#include "tests/fireworks/scene_test_host.h"

namespace tamaruka {
namespace {

DibImage greyImage(int side, const std::vector<std::uint8_t>& greys) {
    DibImage image{side, side, {}};
    for (std::uint8_t grey : greys) image.pixels.insert(image.pixels.end(), {grey, grey, grey});
    return image;
}

TEST(SpriteMipChainTest, LevelsHalveWithTheRoundedBoxFilter) {
    // (10 + 11 + 12 + 14 + 2) / 4 = 12: rounded to nearest, as GLU does.
    const auto chain = SpriteMipChain::build(greyImage(2, {10, 11, 12, 14}));
    ASSERT_TRUE(chain);
    ASSERT_EQ(chain->levels().size(), 2u);
    EXPECT_EQ(chain->levels()[1].side, 1);
    EXPECT_EQ(chain->levels()[1].texels[0], 0x0C0C0Cu);

    const auto sprite = SpriteMipChain::build(std::get<DibImage>(decodeDib(spriteBitmap())));
    ASSERT_TRUE(sprite);
    ASSERT_EQ(sprite->levels().size(), 6u);  // 32, 16, 8, 4, 2, 1
    EXPECT_EQ(sprite->levels()[5].side, 1);

    // No image: one white texel, so the squares draw in plain colour.
    const auto none = SpriteMipChain::build(std::nullopt);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->levels().front().texels, std::vector<std::uint32_t>{0xFFFFFFu});
    // GLU would rescale these first; the composer does not take them.
    EXPECT_FALSE(SpriteMipChain::build(greyImage(3, std::vector<std::uint8_t>(9, 50))));
    EXPECT_FALSE(SpriteMipChain::build(DibImage{4, 2, std::vector<std::uint8_t>(24, 50)}));
}

// A burst's frames composed one after another into one image (cleared only
// where the last frame drew) equal the last frame composed into a new image
// full of leftovers, and each differs from the one before only in the columns
// it reports as changed.
TEST(FrameComposerTest, FramesIntoTheSameImageEqualOneIntoAFreshImage) {
    constexpr int Width = 640, Height = 400;
    test::SceneTestHost host;
    host.seed = 5;
    Scene scene(host);
    scene.initScene();
    FrameComposer reused(*SpriteMipChain::build(std::get<DibImage>(decodeDib(spriteBitmap()))));
    reused.resize(Width, Height, 45.0);
    std::vector<std::uint8_t> pixels(Width * Height * 4);
    const FrameImage image{pixels.data(), Width, Height, Width * 4};
    std::size_t lit = 0;
    for (std::uint32_t frame = 1; frame <= 320; ++frame) {
        host.tick = frame * 1000 / 60;
        scene.stepFrame();
        if (frame < 280) continue;
        const std::vector<std::uint8_t> before = pixels;
        reused.compose(scene.particles, image);
        const auto& changed = reused.changedColumns();
        ASSERT_EQ(changed.size(), std::size_t{Height});
        std::size_t unchangedDiffer = 0;
        for (int y = 0; y < Height && frame > 280; ++y)
            for (int x = 0; x < Width; ++x)
                if ((x < changed[y].first || x >= changed[y].second) &&
                    std::memcmp(&before[(y * Width + x) * 4], &pixels[(y * Width + x) * 4], 4) != 0)
                    ++unchangedDiffer;
        EXPECT_EQ(unchangedDiffer, 0u) << "frame " << frame;
    }
    FrameComposer fresh(*SpriteMipChain::build(std::get<DibImage>(decodeDib(spriteBitmap()))));
    fresh.resize(Width, Height, 45.0);
    std::vector<std::uint8_t> leftovers(Width * Height * 4, 0xAB);
    fresh.compose(scene.particles, {leftovers.data(), Width, Height, Width * 4});
    for (std::size_t i = 0; i < pixels.size(); i += 4) lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
    EXPECT_GT(lit, 1000u);
    EXPECT_EQ(pixels, leftovers);

    // A 32-bit window's alpha byte: opaque everywhere, the colours as before.
    std::vector<std::uint8_t> withAlpha(Width * Height * 4, 0x5A);
    fresh.compose(scene.particles, {withAlpha.data(), Width, Height, Width * 4, true});
    std::size_t opaque = 0, sameColour = 0;
    for (std::size_t i = 0; i < withAlpha.size(); i += 4) {
        opaque += withAlpha[i + 3] == 0xFF;
        sameColour += std::memcmp(&withAlpha[i], &pixels[i], 3) == 0;
    }
    EXPECT_EQ(opaque, std::size_t{Width * Height});
    EXPECT_EQ(sameColour, std::size_t{Width * Height});
}

}  // namespace
}  // namespace tamaruka

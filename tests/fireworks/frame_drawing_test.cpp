// The frame drawing on a real OpenGL context (Mesa on the private Xvfb),
// read back from the back buffer before it is presented.
#include "fireworks/frame_drawing.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dib/dib_decoder.h"
#include "fireworks/sprite_bitmap.h"
#include "fireworks/sprite_texture_image.h"
#include "tests/support/gl_test_context.h"

namespace tamaruka {
namespace {

class FrameDrawingTest : public ::testing::Test {
protected:
    static inline test::HiddenGlContext* gl = nullptr;

    static void SetUpTestSuite() {
        gl = new test::HiddenGlContext("frame drawing", 1024, 768);
        ASSERT_TRUE(gl->ready()) << gl->error();
    }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(gl && gl->ready());
        resizeScene(1024, 768);
    }

    static Particle at(float x, float y, float r, float g, float b, float a, float halfSize = 1) {
        Particle p;
        p.x = x;
        p.y = y;
        p.red = r;
        p.green = g;
        p.blue = b;
        p.alpha = a;
        p.halfSize = halfSize;
        return p;
    }

    // Draws the particles, given oldest first, with no texture image (plain
    // squares) and reads the frame back.
    std::vector<unsigned char> draw(const std::vector<Particle>& particles) {
        ParticleList list;
        for (const Particle& p : particles) list.spawn(p);
        drawFrame(list, 0);
        std::vector<unsigned char> rgb(1024 * 768 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }
    static unsigned char red(const std::vector<unsigned char>& rgb, int x, int y) {
        return rgb[(y * 1024 + x) * 3];
    }
};


TEST_F(FrameDrawingTest, ResizeSetsBlendingTextureViewportAndPerspective) {
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 1024);
    EXPECT_EQ(viewport[3], 768);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[5], f, 1e-5);
    EXPECT_NEAR(projection[0], f / (1024.0 / 768.0), 1e-5);
    EXPECT_NEAR(projection[10], -(250.0 + 1.0) / (250.0 - 1.0), 1e-5);
}

TEST_F(FrameDrawingTest, HeightZeroCountsAsOne) {
    resizeScene(1024, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], f / 1024.0, 1e-7);  // aspect ratio 1024 / 1
}

TEST_F(FrameDrawingTest, EmptyListGivesPlainBlack) {
    draw({at(0, 0, 1, 1, 1, 1, 5)});
    const auto rgb = draw({});
    for (unsigned char c : rgb) ASSERT_EQ(c, 0);
}

// A square of edge 2 x halfSize at distance 60: 768 / (2 x 60 x tan 22.5)
// pixels per unit, about 15.45, so halfSize 1 covers about 31 pixels.
TEST_F(FrameDrawingTest, ParticleIsASquareOfTwiceItsHalfSizeCentredOnIt) {
    const auto rgb = draw({at(0, 0, 1, 0, 0, 1)});
    int left = 1024, right = -1, bottom = 768, top = -1;
    for (int y = 0; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            if (red(rgb, x, y) == 0) continue;
            left = std::min(left, x), right = std::max(right, x);
            bottom = std::min(bottom, y), top = std::max(top, y);
        }
    }
    EXPECT_NEAR(right - left + 1, 31, 1);
    EXPECT_NEAR(top - bottom + 1, 31, 1);
    EXPECT_NEAR((left + right) / 2.0, 511.5, 1);
    EXPECT_NEAR((bottom + top) / 2.0, 383.5, 1);
}

TEST_F(FrameDrawingTest, OverbrightColourAndAlphaDrawAsFullIntensity) {
    const auto overbright = draw({at(0, 0, 1.65f, 0, 0, 1.5f)});
    const auto full = draw({at(0, 0, 1, 0, 0, 1)});
    EXPECT_EQ(red(full, 512, 384), 255);
    EXPECT_EQ(overbright, full);
}

TEST_F(FrameDrawingTest, OverlappingSparksAddUpToSaturation) {
    const auto single = draw({at(0, 0, 0.6f, 0.6f, 0.6f, 1)});
    const auto pair = draw({at(0, 0, 0.6f, 0.6f, 0.6f, 1), at(0, 0, 0.6f, 0.6f, 0.6f, 1)});
    EXPECT_NEAR(red(single, 512, 384), 153, 1);
    EXPECT_EQ(red(pair, 512, 384), 255);
}

TEST_F(FrameDrawingTest, SwappingTwoParticlesLeavesTheFrameUnchanged) {
    const Particle a = at(0, 0, 0.3f, 0.9f, 0.1f, 0.7f, 1.5f);
    const Particle b = at(0.8f, 0.5f, 0.8f, 0.2f, 0.6f, 0.9f);
    EXPECT_EQ(draw({a, b}), draw({b, a}));
}

// The display mode draws its squares as fans. With and without a depth buffer
// (llvmpipe fills the fans as rectangles only without one) the sprite must
// land the same way up and on the same pixels as with strips.
class SquarePrimitiveTest : public ::testing::TestWithParam<int> {};

TEST_P(SquarePrimitiveTest, FanDrawsTheFrameOfTheStrip) {
    test::HiddenGlContext context("square primitive", 640, 480, GetParam());
    ASSERT_TRUE(context.ready()) << context.error();
    resizeScene(640, 480);
    auto decoded = decodeDib(spriteBitmap());
    ASSERT_TRUE(std::holds_alternative<DibImage>(decoded));
    const unsigned int sprite = createSpriteTexture(std::get<DibImage>(decoded));

    // Sizes from 1.5 to 60 pixels across, depths, overlaps and the screen edge.
    ParticleList list;
    for (int i = 0; i < 60; ++i) {
        Particle p;
        p.x = -26.0f + 0.9f * float(i);
        p.y = 12.0f * std::sin(0.7f * float(i));
        p.z = -40.0f + float(i % 7) * 9.0f;
        p.red = 0.4f + 0.01f * float(i), p.green = 0.9f, p.blue = 0.2f + 0.012f * float(i);
        p.alpha = 0.3f + 0.01f * float(i);
        p.halfSize = 0.05f + 0.03f * float(i);
        list.spawn(p);
    }
    auto frame = [&](SquarePrimitive primitive) {
        drawFrame(list, sprite, primitive);
        std::vector<unsigned char> rgb(640 * 480 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    };
    const auto strip = frame(SquarePrimitive::TriangleStrip);
    const auto fan = frame(SquarePrimitive::TriangleFan);
    deleteSpriteTexture(sprite);

    long lit = 0, apart = 0;
    for (std::size_t i = 0; i < strip.size(); ++i) {
        lit += strip[i] != 0;
        apart += std::abs(int(strip[i]) - int(fan[i])) > 1;  // interpolation may round one step apart
    }
    EXPECT_GT(lit, 20000);
    EXPECT_EQ(apart, 0);
}

INSTANTIATE_TEST_SUITE_P(DepthBits, SquarePrimitiveTest, ::testing::Values(0, 24),
                         [](const auto& info) { return "depth" + std::to_string(info.param); });

}  // namespace
}  // namespace tamaruka

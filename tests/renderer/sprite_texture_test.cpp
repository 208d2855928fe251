// The sprite texture on a real OpenGL context (Mesa on the private Xvfb):
// which file it reads, its filters, its mipmap levels and the uploaded texels.
#include "renderer/sprite_texture.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "fireworks/sprite_bitmap.h"
#include "dib/dib_decoder.h"
#include "tests/dib/bitmap_builder.h"
#include "tests/support/gl_test_context.h"
#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

class SpriteTextureTest : public ::testing::Test {
protected:
    static inline HiddenGlContext* gl = nullptr;

    static void SetUpTestSuite() {
        gl = new HiddenGlContext("sprite texture", 64, 64);
        ASSERT_TRUE(gl->ready()) << gl->error();
    }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(gl && gl->ready());
        cache_ = makeTempDir("tamaruka-texture");
        ::setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
        spritePath_ = cache_ + "/tamaruka/Fireworks.bmp";
    }
    void TearDown() override {
        if (texture_) deleteSpriteTexture(texture_);
        std::filesystem::remove_all(cache_);
    }

    void writeSprite(const std::vector<std::uint8_t>& bytes) {
        std::filesystem::create_directories(cache_ + "/tamaruka");
        ASSERT_TRUE(writeFile(spritePath_, bytes));
    }
    void load() {
        texture_ = loadSpriteTexture([this](const std::string& text) { messages_.push_back(text); });
    }

    static GLint levelWidth(int level) {
        GLint width = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        return width;
    }
    static std::vector<std::uint8_t> levelZero(int width, int height) {
        std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }

    std::string cache_, spritePath_;
    std::vector<std::string> messages_;
    unsigned texture_ = 0;
};

TEST_F(SpriteTextureTest, MissingFileLeavesTheTextureWithoutAnImage) {
    load();
    EXPECT_EQ(messages_, std::vector<std::string>{"Failed to open DIB file " + spritePath_ + ".\n"});
    ASSERT_NE(texture_, 0u);
    EXPECT_TRUE(glIsTexture(texture_));
    EXPECT_EQ(levelWidth(0), 0);
    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    EXPECT_EQ(filter, GL_LINEAR_MIPMAP_NEAREST);

    deleteSpriteTexture(texture_);
    EXPECT_FALSE(glIsTexture(texture_));
    texture_ = 0;
}

TEST_F(SpriteTextureTest, FrontEndSpriteBuildsEveryMipmapLevel) {
    const auto sprite = spriteBitmap();
    writeSprite({sprite.begin(), sprite.end()});
    load();
    EXPECT_TRUE(messages_.empty());
    for (int level = 0, side = 32; level <= 5; ++level, side /= 2) {
        EXPECT_EQ(levelWidth(level), side) << "level " << level;
    }
    const DibDecodeResult decoded = decodeDib(sprite);
    ASSERT_TRUE(std::holds_alternative<DibImage>(decoded));
    EXPECT_EQ(levelZero(32, 32), std::get<DibImage>(decoded).pixels);
}

TEST_F(SpriteTextureTest, RowsOfAnyWidthUploadUnshifted) {
    // 2 pixels make 6-byte rows, which the default 4-byte alignment would shift.
    BitmapSpec spec;
    spec.width = 2;
    spec.height = 2;
    spec.rows = {bgrRow({{10, 20, 30}, {40, 50, 60}}), bgrRow({{70, 80, 90}, {100, 110, 120}})};
    writeSprite(buildBitmap(spec));
    load();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(levelZero(2, 2),
              (std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}));
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);  // left as it was found
}

TEST_F(SpriteTextureTest, BadFilesGiveOneMessageAndNoImage) {
    BitmapSpec topDown;
    topDown.width = 2;
    topDown.height = -2;
    topDown.rows.assign(2, bgrRow({{255, 255, 255}, {255, 255, 255}}));
    writeSprite(buildBitmap(topDown));
    load();
    EXPECT_TRUE(messages_.empty());
    EXPECT_EQ(levelWidth(0), 0);
    deleteSpriteTexture(texture_);

    BitmapSpec v4;
    v4.headerSize = 108;
    writeSprite(buildBitmap(v4));
    load();
    EXPECT_EQ(messages_, std::vector<std::string>{"Unknown DIB file format."});
    EXPECT_EQ(levelWidth(0), 0);
}

}  // namespace
}  // namespace tamaruka::test

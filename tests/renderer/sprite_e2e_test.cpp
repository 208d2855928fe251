// The real Tamaruka.data on a private Xvfb: with the front-end's sprite file
// its particles are soft round glows; without it the loader's box appears,
// is dismissed as a user would, and the particles are plain squares.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

#include "fireworks/sprite_bitmap.h"
#include "tests/dib/bitmap_builder.h"
#include "tests/support/test_support.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

int brightness(const Screenshot& shot, int x, int y) {
    const Screenshot::Pixel p = shot.at(x, y);
    return std::max({p.r, p.g, p.b});
}

// Share of the lit pixels (not saturated) whose four neighbours have exactly
// their colour. A particle drawn as a plain square is flat inside, so most of
// its pixels count; a glow, magnified and filtered from the sprite, changes
// brightness from pixel to pixel, so almost none do.
double flatShare(const Screenshot& shot, std::size_t* litPixels) {
    auto same = [&](int x, int y, int nx, int ny) {
        const Screenshot::Pixel a = shot.at(x, y), b = shot.at(nx, ny);
        return a.r == b.r && a.g == b.g && a.b == b.b;
    };
    std::size_t lit = 0, flat = 0;
    for (int y = 1; y + 1 < shot.height; ++y) {
        for (int x = 1; x + 1 < shot.width; ++x) {
            const int level = brightness(shot, x, y);
            if (level <= 16 || level >= 250) continue;
            ++lit;
            if (same(x, y, x + 1, y) && same(x, y, x - 1, y) && same(x, y, x, y + 1) &&
                same(x, y, x, y - 1)) {
                ++flat;
            }
        }
    }
    *litPixels = lit;
    return lit ? static_cast<double>(flat) / static_cast<double>(lit) : 0.0;
}

// The OK button of the message box: the one shape on the box's middle
// column, looking up from its bottom edge, that differs from the box's face.
std::pair<int, int> okButtonCentre(const Screenshot& box) {
    const int column = box.width / 2;
    auto differs = [&](int y) {
        const Screenshot::Pixel face = box.at(column, box.height - 2);
        const Screenshot::Pixel p = box.at(column, y);
        return p.r != face.r || p.g != face.g || p.b != face.b;
    };
    int bottom = box.height - 2;
    while (bottom > box.height / 2 && !differs(bottom)) --bottom;
    int top = bottom;
    while (top > box.height / 2 && differs(top)) --top;
    // Inside the button the face is plain again: find its upper border.
    int upper = top;
    while (upper > box.height / 2 && !differs(upper)) --upper;
    return {column, (upper + bottom) / 2};
}

// True once the process holds the file open or mapped.
bool holdsFile(int pid, const std::string& path) {
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        if (std::filesystem::read_symlink(fd.path(), error) == path) return true;
    }
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.size() >= path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0) {
            return true;
        }
    }
    return false;
}

class SpriteE2E : public ::testing::Test {
protected:
    XClient x;
    std::string cache = makeTempDir("tamaruka-sprite");
    std::string spritePath = cache + "/tamaruka/Fireworks.bmp";
    std::unique_ptr<ChildProcess> renderer;

    void start() {
        renderer = std::make_unique<ChildProcess>(
            binDir() + "/Tamaruka.data", std::vector<std::string>{},
            std::map<std::string, std::string>{{"XDG_CACHE_HOME", cache}});
    }

    void writeSprite(const BitmapSpec& spec) {
        std::filesystem::create_directories(cache + "/tamaruka");
        ASSERT_TRUE(writeFile(spritePath, buildBitmap(spec)));
    }

    // The renderer ends on SIGTERM with 0, whatever box is up.
    void expectEndsOnSigterm() {
        ASSERT_TRUE(renderer->running()) << renderer->outputText();
        renderer->sendSignal(SIGTERM);
        const auto code = renderer->waitExit(5s);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(*code, 0) << renderer->outputText();
    }

    void TearDown() override {
        if (renderer && renderer->running()) {
            renderer->sendSignal(SIGTERM);
            renderer->waitExit(15s);
        }
        std::filesystem::remove_all(cache);
    }

    // A few seconds of fireworks: rockets up and the first bursts out.
    Screenshot fireworks() {
        std::this_thread::sleep_for(3500ms);
        EXPECT_TRUE(renderer->running()) << renderer->outputText();
        Screenshot shot = x.capture();
        std::size_t lit = 0;
        const double flat = flatShare(shot, &lit);
        std::printf("flat share %.3f of %zu lit pixels\n", flat, lit);
        if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR")) {
            shot.savePng(std::string(dir) + "/" +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
        }
        return shot;
    }
};

TEST_F(SpriteE2E, FrontEndSpriteDrawsSoftRoundGlows) {
    std::filesystem::create_directories(cache + "/tamaruka");
    const auto sprite = spriteBitmap();
    ASSERT_TRUE(writeFile(spritePath, {sprite.begin(), sprite.end()}));
    start();
    ASSERT_TRUE(x.waitForWindow("--Fireworks--", 20s)) << renderer->outputText();
    const Screenshot shot = fireworks();
    EXPECT_FALSE(x.findWindow("Error")) << "no loader message expected";
    std::size_t lit = 0;
    const double flat = flatShare(shot, &lit);
    ASSERT_GE(lit, 100u) << "too few particles to judge";
    EXPECT_LT(flat, 0.2) << "particles should fade from their centre (" << lit << " lit pixels)";
}

TEST_F(SpriteE2E, MissingSpriteShowsTheBoxThenPlainSquares) {
    start();
    const auto box = x.waitForWindow("Error", 20s);
    ASSERT_TRUE(box) << "no loader message box; " << renderer->outputText();
    // The box waits for the user: the renderer has not started its frames.
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(x.findWindow("Error"));
    // Without a window manager the box never gets the keyboard focus, so
    // the user's way here is a click on its OK button.
    const auto [buttonX, buttonY] = okButtonCentre(x.capture(x.geometry(*box)));
    const Rect where = x.geometry(*box);
    x.movePointer(where.x + buttonX, where.y + buttonY);
    x.click();
    ASSERT_TRUE(x.waitForWindowGone("Error", 10s)) << "clicking OK did not dismiss the box";

    const Screenshot shot = fireworks();
    std::size_t lit = 0;
    const double flat = flatShare(shot, &lit);
    ASSERT_GE(lit, 100u) << "too few particles to judge";
    EXPECT_GT(flat, 0.5) << "untextured particles should be flat squares (" << lit
                         << " lit pixels)";
}

// A 964-byte RLE8 sprite claiming 16000 x 16000 pixels is refused with the
// conversion message, without the memory its header asks for.
TEST_F(SpriteE2E, TinyRunLengthSpriteClaimingAHugePictureCostsLittle) {
    std::filesystem::create_directories(cache + "/tamaruka");
    ASSERT_TRUE(writeFile(spritePath, tinyRunLengthBitmap(16000, 16000, 964)));
    start();
    ASSERT_TRUE(x.waitForWindow("Error", 20s)) << renderer->outputText();
    const long peak = processStatusKilobytes(renderer->pid(), "VmHWM");
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 160 * 1024);  // the renderer alone takes some 75 MB on llvmpipe
    expectEndsOnSigterm();
}

// Another program cuts the sprite file short while the renderer reads it:
// the renderer runs on (at worst with the loader's box), never killed by a
// bus error.
TEST_F(SpriteE2E, SpriteCutShortWhileReadDoesNotKillTheRenderer) {
    BitmapSpec spec;
    spec.width = 2048;
    spec.height = 2048;
    spec.rows.assign(2048, std::vector<std::uint8_t>(2048 * 3, 0x40));
    writeSprite(spec);
    start();
    ASSERT_TRUE(waitUntil([&] { return holdsFile(renderer->pid(), spritePath) || !renderer->running(); },
                          20s));
    std::filesystem::resize_file(spritePath, 100);
    std::this_thread::sleep_for(2s);
    expectEndsOnSigterm();
}

}  // namespace
}  // namespace tamaruka::test

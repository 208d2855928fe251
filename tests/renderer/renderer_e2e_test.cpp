// The real Tamaruka.data on a private Xvfb, driven as a user would.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "tests/renderer/glow_sprite.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::XClient;

class RendererE2E : public ::testing::Test {
protected:
    XClient x;
    std::unique_ptr<ChildProcess> renderer;
    test::WindowId window = 0;
    std::vector<std::string> folders;

    void SetUp() override {
        const std::string cache = test::makeTempDir("tamaruka-renderer");
        folders.push_back(cache);
        test::writeGlowSprite(std::filesystem::path(cache) / "tamaruka" / "Fireworks.bmp");
        renderer = std::make_unique<ChildProcess>(test::binDir() + "/Tamaruka.data",
                                                  std::vector<std::string>{},
                                                  std::map<std::string, std::string>{{"XDG_CACHE_HOME", cache}});
        auto found = x.waitForWindow("--Fireworks--", 20s);
        ASSERT_TRUE(found) << renderer->outputText();
        window = *found;
        // Let the first frames be drawn and the start-up events be taken.
        std::this_thread::sleep_for(1500ms);
        ASSERT_TRUE(renderer->running()) << renderer->outputText();
    }

    void TearDown() override {
        if (renderer && renderer->running()) {
            renderer->sendSignal(SIGTERM);
            renderer->waitExit(15s);
        }
        for (const std::string& folder : folders) std::filesystem::remove_all(folder);
    }

    // Still running after the renderer had ample time to take its messages.
    bool stillRunningAfterAWhile() {
        std::this_thread::sleep_for(1000ms);
        return renderer->running();
    }

    void expectEndsWithZero() {
        const auto code = renderer->waitExit(15s);
        ASSERT_TRUE(code.has_value()) << "renderer did not end";
        EXPECT_EQ(*code, 0) << renderer->outputText();
    }
};

TEST_F(RendererE2E, FullScreenWindowShowsColouredParticlesOnBlack) {
    const test::Rect g = x.geometry(window);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, 0);
    EXPECT_EQ(g.width, 1024);
    EXPECT_EQ(g.height, 768);
    EXPECT_TRUE(x.isMapped(window));
    std::this_thread::sleep_for(3s);  // five rockets up, the first bursts under way
    const test::Screenshot shot = x.capture();
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR")) shot.savePng(std::string(dir) + "/fireworks.png");
    ASSERT_EQ(shot.width, 1024);
    const std::size_t pixels = std::size_t(shot.width) * shot.height;
    const std::size_t lit = shot.countBrighterThan(24);
    EXPECT_GT(lit, 200u);            // particles are there
    EXPECT_LT(lit, pixels / 4);      // on a black sky
    EXPECT_GT(shot.distinctColours(), 30u);  // in many colours
    EXPECT_LT(shot.meanBrightness(), 40.0);
    renderer->sendSignal(SIGTERM);
    expectEndsWithZero();
}

// The window's appearance under the pointer is the first mouse-move message,
// so nine moves of the pointer make ten messages and the next one ends it.
TEST_F(RendererE2E, TenMouseMoveMessagesAreToleratedTheEleventhEnds) {
    for (int i = 1; i <= 9; ++i) {
        x.movePointer(100 + 40 * i, 100 + 30 * i);
        std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(stillRunningAfterAWhile()) << "ended before the eleventh mouse-move message";
    x.movePointer(700, 600);
    expectEndsWithZero();
    EXPECT_TRUE(x.waitForWindowGone("--Fireworks--", 10s));
}

TEST_F(RendererE2E, OtherKeysAndClicksDoNothingEscapeEnds) {
    for (unsigned long key : {XK_a, XK_space, XK_Return, XK_F1, XK_Shift_L, XK_Tab}) x.pressKey(key);
    x.click(1);
    x.click(3);
    x.buttonDown(2);
    x.buttonUp(2);
    ASSERT_TRUE(stillRunningAfterAWhile()) << renderer->outputText();
    x.pressKey(XK_Escape);
    expectEndsWithZero();
}

TEST_F(RendererE2E, ClosingTheWindowEndsWithZero) {
    x.closeWindow(window);
    expectEndsWithZero();
}

TEST_F(RendererE2E, SigtermAndSigintEndWithZero) {
    renderer->sendSignal(SIGTERM);
    expectEndsWithZero();
    SetUp();
    renderer->sendSignal(SIGINT);
    expectEndsWithZero();
}

TEST(RendererWithoutDisplay, NoWindowCanBeCreatedExitCodeOne) {
    const std::string cache = test::makeTempDir("tamaruka-renderer");
    ChildProcess renderer(test::binDir() + "/Tamaruka.data", {},
                          {{"DISPLAY", ":65000"}, {"XDG_CACHE_HOME", cache}});
    const auto code = renderer.waitExit(20s);
    std::filesystem::remove_all(cache);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 1) << renderer.outputText();
}

}  // namespace
}  // namespace tamaruka

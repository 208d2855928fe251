// The real Tamaruka.data on a private Xvfb, driven as a user would.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "harness/glow_sprite.h"
#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::XClient;

// A raw Xlib connection of the test's own, for what another client does.
struct OtherClient {
    explicit OtherClient(const char* name = nullptr) : display(XOpenDisplay(name)) {}
    Display* display;
    ~OtherClient() {
        if (display) XCloseDisplay(display);
    }
};

// The processes the renderer has started (SDL's message box runs in one).
std::vector<int> childrenOf(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    std::vector<int> children;
    for (int child; file >> child;) children.push_back(child);
    return children;
}

bool processGone(int pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Gone, or a zombie waiting for its parent.
    return text.empty() || text.find(") Z ") != std::string::npos;
}

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
    // Class and instance are the title.
    OtherClient other;
    ASSERT_TRUE(other.display);
    XClassHint hint{};
    ASSERT_TRUE(XGetClassHint(other.display, window, &hint));
    EXPECT_STREQ(hint.res_name, "--Fireworks--");
    EXPECT_STREQ(hint.res_class, "--Fireworks--");
    XFree(hint.res_name);
    XFree(hint.res_class);
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

TEST_F(RendererE2E, SigtermSigintAndSighupEndWithZero) {
    renderer->sendSignal(SIGTERM);
    expectEndsWithZero();
    for (const int signal : {SIGINT, SIGHUP}) {
        SetUp();
        renderer->sendSignal(signal);
        expectEndsWithZero();
    }
}

// The X server's own screen saver stays the server's: with a one-second
// timeout it comes on while the renderer runs (nothing resets or suspends it).
TEST_F(RendererE2E, TheXScreenSaverStillComesOn) {
    OtherClient other;
    ASSERT_TRUE(other.display);
    int timeout = 0, interval = 0, blanking = 0, exposures = 0;
    XGetScreenSaver(other.display, &timeout, &interval, &blanking, &exposures);
    XSetScreenSaver(other.display, 1, 0, DontPreferBlanking, AllowExposures);
    XSync(other.display, False);
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    const bool cameOn = test::waitUntil(
        [&] {
            XScreenSaverQueryInfo(other.display, DefaultRootWindow(other.display), info);
            return info->state == ScreenSaverOn;
        },
        5s);
    const int state = info->state;
    XFree(info);
    XSetScreenSaver(other.display, timeout, interval, blanking, exposures);
    XForceScreenSaver(other.display, ScreenSaverReset);
    XSync(other.display, False);
    EXPECT_TRUE(cameOn) << "screen saver state " << state << " (0 off, 1 on, 3 disabled)";
    EXPECT_TRUE(renderer->running());
}

// A window manager's "kill window" destroys the window or kills the client
// that made it: either way the renderer ends with 0. A session that hangs up
// ends it through the same shutdown.
enum class Destruction { DestroyWindow, KillClient, HangUp };

std::string destructionName(const ::testing::TestParamInfo<Destruction>& info) {
    switch (info.param) {
    case Destruction::DestroyWindow: return "DestroyWindow";
    case Destruction::KillClient: return "KillClient";
    case Destruction::HangUp: return "HangUp";
    }
    return "";
}

class RendererDestroyedE2E : public RendererE2E,
                             public ::testing::WithParamInterface<Destruction> {};

TEST_P(RendererDestroyedE2E, EndsWithZero) {
    OtherClient other;
    ASSERT_TRUE(other.display);
    if (GetParam() == Destruction::DestroyWindow) {
        XDestroyWindow(other.display, window);
    } else {
        XKillClient(other.display, window);
    }
    XSync(other.display, False);
    const auto code = renderer->waitExit(5s);
    ASSERT_TRUE(code.has_value()) << "renderer hung";
    EXPECT_EQ(*code, 0) << renderer->outputText();
}

INSTANTIATE_TEST_SUITE_P(ByAnotherClient, RendererDestroyedE2E,
                         ::testing::Values(Destruction::DestroyWindow, Destruction::KillClient),
                         destructionName);

int rootWidth(Display* display) {
    Window root = 0;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, depth = 0;
    XGetGeometry(display, DefaultRootWindow(display), &root, &x, &y, &width, &height, &border, &depth);
    return static_cast<int>(width);
}

// Destroyed, killed or hung up (SIGHUP) while its 1024 x 768 mode is on a
// 1600 x 1200 desktop: the desktop's mode comes back. The server keeps a mode after its client has
// gone, so a killed renderer puts it back through a new connection.
class RendererDestroyedInItsModeE2E : public ::testing::TestWithParam<Destruction> {};

TEST_P(RendererDestroyedInItsModeE2E, PutsTheDesktopModeBack) {
    test::XvfbDisplay screen(1600, 1200);
    OtherClient other(screen.name().c_str());
    ASSERT_TRUE(other.display);
    Window root = DefaultRootWindow(other.display);
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(other.display, root);
    ASSERT_TRUE(resources && resources->noutput > 0);
    char name[] = "1024x768";
    XRRModeInfo mode{};
    mode.width = 1024, mode.height = 768, mode.dotClock = 65000000;
    mode.hSyncStart = 1048, mode.hSyncEnd = 1184, mode.hTotal = 1344;
    mode.vSyncStart = 771, mode.vSyncEnd = 777, mode.vTotal = 806;
    mode.name = name, mode.nameLength = sizeof name - 1;
    XRRAddOutputMode(other.display, resources->outputs[0], XRRCreateMode(other.display, root, &mode));
    XRRFreeScreenResources(resources);
    XSync(other.display, False);

    XClient x(screen.name());
    const std::string cache = test::makeTempDir("tamaruka-renderer");
    test::writeGlowSprite(std::filesystem::path(cache) / "tamaruka" / "Fireworks.bmp");
    ChildProcess renderer(test::binDir() + "/Tamaruka.data", {},
                          {{"DISPLAY", screen.name()}, {"XDG_CACHE_HOME", cache}});
    const auto window = x.waitForWindow("--Fireworks--", 20s);
    ASSERT_TRUE(window) << renderer.outputText();
    ASSERT_TRUE(test::waitUntil([&] { return rootWidth(other.display) == 1024; }, 5s));
    if (GetParam() == Destruction::DestroyWindow) {
        XDestroyWindow(other.display, *window);
    } else if (GetParam() == Destruction::KillClient) {
        XKillClient(other.display, *window);
    } else {
        renderer.sendSignal(SIGHUP);
    }
    XSync(other.display, False);
    const auto code = renderer.waitExit(5s);
    ASSERT_TRUE(code.has_value()) << "renderer hung";
    EXPECT_EQ(*code, 0) << renderer.outputText();
    EXPECT_TRUE(test::waitUntil([&] { return rootWidth(other.display) == 1600; }, 2s))
        << "the display stayed at " << rootWidth(other.display) << " pixels wide";
}

INSTANTIATE_TEST_SUITE_P(ByAnotherClient, RendererDestroyedInItsModeE2E,
                         ::testing::Values(Destruction::DestroyWindow, Destruction::KillClient,
                                           Destruction::HangUp),
                         destructionName);

// A host that cannot see the loader's "Error" box must still end the
// renderer: SIGTERM, SIGINT or SIGHUP take the box down with it.
class RendererBoxSignalE2E : public ::testing::TestWithParam<int> {};

TEST_P(RendererBoxSignalE2E, SignalEndsTheRendererAndItsBox) {
    XClient x;
    const std::string cache = test::makeTempDir("tamaruka-renderer");  // no sprite file
    ChildProcess renderer(test::binDir() + "/Tamaruka.data", {}, {{"XDG_CACHE_HOME", cache}});
    ASSERT_TRUE(x.waitForWindow("Error", 20s)) << renderer.outputText();
    const std::vector<int> box = childrenOf(renderer.pid());
    ASSERT_EQ(box.size(), 1u) << "the box's process";
    renderer.sendSignal(GetParam());
    const auto code = renderer.waitExit(5s);
    ASSERT_TRUE(code.has_value()) << "renderer still waits for its box";
    EXPECT_EQ(*code, 0) << renderer.outputText();
    EXPECT_TRUE(processGone(box[0]));
    EXPECT_TRUE(x.waitForWindowGone("Error", 5s));
    EXPECT_FALSE(x.findWindow("--Fireworks--"));
}

INSTANTIATE_TEST_SUITE_P(Signals, RendererBoxSignalE2E, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string("SIG") + sigabbrev_np(info.param); });

TEST(RendererWithoutDisplay, NoWindowCanBeCreatedExitCodeOneAndOneLineOnStderr) {
    const std::string cache = test::makeTempDir("tamaruka-renderer");
    ChildProcess renderer(test::binDir() + "/Tamaruka.data", {},
                          {{"DISPLAY", ":65000"}, {"XDG_CACHE_HOME", cache}});
    const auto code = renderer.waitExit(20s);
    std::filesystem::remove_all(cache);
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(*code, 1) << renderer.outputText();
    const std::string text = renderer.outputText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_EQ(text.rfind("Tamaruka.data: cannot open the X display \":65000\"", 0), 0u) << text;
}

}  // namespace
}  // namespace tamaruka

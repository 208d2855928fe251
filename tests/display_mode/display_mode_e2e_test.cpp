// The real tamaruka on private Xvfb displays: in host windows handed over as
// the screen-saver hosts hand them, covering monitors for --fullscreen, and
// in a window of its own.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>
#include <tuple>

#include "tests/support/test_support.h"

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::frameSteps;
using test::Rect;
using test::Screenshot;
using test::WindowId;
using test::XClient;
using Env = std::map<std::string, std::string>;
using SteadyClock = std::chrono::steady_clock;

constexpr int LitLevel = 24;  // a pixel brighter than this in any channel shows a particle

std::string tamaruka() { return test::binDir() + "/tamaruka"; }

std::string hex(WindowId window) {
    char text[20];
    std::snprintf(text, sizeof text, "0x%x", window);
    return text;
}

// Pixels that differ between two screenshots of the same area, outside `inside`.
std::size_t changedOutside(const Screenshot& before, const Screenshot& after, const Rect& inside) {
    std::size_t changed = 0;
    for (int y = 0; y < before.height; ++y)
        for (int x = 0; x < before.width; ++x) {
            if (x >= inside.x && x < inside.x + inside.width && y >= inside.y && y < inside.y + inside.height)
                continue;
            const auto a = before.at(x, y), b = after.at(x, y);
            if (a.r != b.r || a.g != b.g || a.b != b.b) ++changed;
        }
    return changed;
}

// Where particles showed in an area over a while, from a screenshot every 100 ms.
struct LitExtent {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
};
LitExtent litExtentOver(XClient& x, const Rect& area, std::chrono::milliseconds during) {
    LitExtent extent;
    for (auto end = SteadyClock::now() + during; SteadyClock::now() < end; std::this_thread::sleep_for(100ms)) {
        const Screenshot shot = x.capture(area);
        for (int py = 0; py < shot.height; ++py)
            for (int px = 0; px < shot.width; ++px) {
                const auto p = shot.at(px, py);
                if (std::max({p.r, p.g, p.b}) <= LitLevel) continue;
                extent.minX = std::min(extent.minX, px);
                extent.maxX = std::max(extent.maxX, px);
                extent.minY = std::min(extent.minY, py);
                extent.maxY = std::max(extent.maxY, py);
            }
    }
    return extent;
}

std::tuple<int, int, int, int> box(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

bool waitForFireworks(XClient& x, const Rect& area) {
    return test::waitUntil([&] { return x.capture(area).countBrighterThan(LitLevel) > 20; }, 20s);
}

// Particles in many colours on a black sky in the area, caught in `shot`.
bool fireworksShow(XClient& x, const Rect& area, Screenshot& shot) {
    shot = x.capture(area);
    return shot.countBrighterThan(LitLevel) > 150 && shot.distinctColours() > 20 && shot.meanBrightness() < 40.0;
}

// The exit code once `stop` was done; none when it did not end within 5 s.
std::optional<int> endAfter(ChildProcess& program, const std::function<void()>& stop) {
    stop();
    return program.waitExit(5s);
}

// A host window on the shared display with tamaruka drawing into it.
class HostWindowTest : public ::testing::Test {
protected:
    XClient x;
    WindowId host = 0;
    Rect area;
    std::unique_ptr<ChildProcess> program;

    // Makes the host window and starts tamaruka: "-root" gets the window in
    // $XSCREENSAVER_WINDOW in decimal (as XSecureLock passes it), "{host}" in
    // the arguments becomes the window in hex.
    void startInHost(const Rect& where, std::vector<std::string> args, Env env = {}) {
        area = where;
        host = x.createWindow("host", where.width, where.height, true);
        x.moveResizeWindow(host, where);
        if (args.front() == "-root") env["XSCREENSAVER_WINDOW"] = std::to_string(host);
        std::replace(args.begin(), args.end(), std::string("{host}"), hex(host));
        program = std::make_unique<ChildProcess>(tamaruka(), args, env);
    }
    void TearDown() override {
        if (program && program->running()) program->sendSignal(SIGKILL);
        if (host) x.destroyWindow(host);
    }
};

// --- Host windows -----------------------------------------------------------

struct HostCase {
    const char* name;
    Rect area;
    bool windowIdOption;  // --window-id in hex, else -root with a decimal $XSCREENSAVER_WINDOW
    friend void PrintTo(const HostCase& c, std::ostream* os) { *os << c.name; }
};

class DrawsInsideTheHostWindow : public HostWindowTest, public ::testing::WithParamInterface<HostCase> {};

TEST_P(DrawsInsideTheHostWindow, FireworksInsideNothingOutsideNoWindowOfItsOwn) {
    const HostCase& c = GetParam();
    const Screenshot before = x.capture();
    const std::vector<WindowId> topLevelsBefore = x.topLevelWindows();
    startInHost(c.area, c.windowIdOption ? std::vector<std::string>{"--window-id", "{host}"}
                                         : std::vector<std::string>{"-root"});
    Screenshot inside;
    EXPECT_TRUE(test::waitUntil([&] { return fireworksShow(x, area, inside); }, 15s)) << program->outputText();
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR"))
        x.capture().savePng(std::string(dir) + "/display_mode_" + c.name + ".png");
    std::this_thread::sleep_for(1s);  // a while of drawing before the outside is compared
    std::vector<WindowId> topLevelsNow = x.topLevelWindows();
    std::erase(topLevelsNow, host);
    EXPECT_EQ(topLevelsNow, topLevelsBefore) << "a window of its own appeared";
    EXPECT_EQ(changedOutside(before, x.capture(), area), 0u) << "drew outside the host window";
    EXPECT_EQ(endAfter(*program, [&] { program->sendSignal(SIGTERM); }), 0) << program->outputText();
}

INSTANTIATE_TEST_SUITE_P(Hosts, DrawsInsideTheHostWindow,
                         ::testing::Values(HostCase{"root_decimal_wide", {60, 200, 900, 320}, false},
                                           HostCase{"window_id_hex_tall", {620, 24, 300, 720}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

class StopSignal : public HostWindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignal, EndsWithZeroAtOnce) {
    startInHost({100, 100, 640, 480}, {"-root"});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    // Timed in bench/display_mode_response_benchmark.
    EXPECT_EQ(endAfter(*program, [&] { program->sendSignal(GetParam()); }), 0) << program->outputText();
}

INSTANTIATE_TEST_SUITE_P(HostsStopWith, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

// A host may stop the saver the moment it has started it (the user moved as
// the saver came on): the signal still ends it through its handlers, with 0.
class StopSignalAtStart : public HostWindowTest, public ::testing::WithParamInterface<std::tuple<int, int>> {};

TEST_P(StopSignalAtStart, EndsWithZero) {
    const auto [signal, delayMs] = GetParam();
    startInHost({100, 100, 320, 240}, {"-root"});
    // The start is the program's own: once the child runs tamaruka (the
    // launcher, or already the drawing program), no longer the test's code.
    const std::string exe = "/proc/" + std::to_string(program->pid()) + "/exe";
    ASSERT_TRUE(test::waitUntil([&] {
        std::error_code error;
        const std::filesystem::path running = std::filesystem::read_symlink(exe, error);
        return (running == tamaruka() || running == test::binDir() + "/tamaruka-draw") &&
               test::runsOwnCode(program->pid());
    }, 5s));
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    program->sendSignal(signal);
    EXPECT_EQ(program->waitExit(5s), 0) << program->outputText();
}

INSTANTIATE_TEST_SUITE_P(Delays, StopSignalAtStart,
                         ::testing::Combine(::testing::Values(SIGTERM, SIGHUP), ::testing::Values(0, 2, 5, 10, 20)),
                         [](const auto& info) {
                             return std::string(sigabbrev_np(std::get<0>(info.param))) + "After" +
                                    std::to_string(std::get<1>(info.param)) + "ms";
                         });

// Settings that never end (a link to a device): tamaruka draws with the
// default settings, in bounded memory, says why on stderr, and SIGTERM ends it.
class EndlessSettings : public HostWindowTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EndlessSettings, FireworksWithTheDefaults) {
    const std::string config = test::makeTempDir("tamaruka-config");
    const std::string ini = config + "/tamaruka/Tamaruka.ini";
    std::filesystem::create_directories(config + "/tamaruka");
    std::filesystem::create_symlink(GetParam(), ini);
    startInHost({100, 100, 640, 480}, {"-root", "--music"}, {{"XDG_CONFIG_HOME", config}});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    const std::string said =
        "tamaruka: the settings file " + ini + " cannot be used (not a regular file); the default settings apply.\n";
    EXPECT_TRUE(test::waitUntil([&] { return program->outputText().find(said) != std::string::npos; }, 5s))
        << program->outputText();
    // Memory, unlike the file, stays bounded: a copy of /dev/zero would grow without end.
    EXPECT_LT(test::processStatusKilobytes(program->pid(), "VmHWM"), 300 * 1024);
    EXPECT_EQ(endAfter(*program, [&] { program->sendSignal(SIGTERM); }), 0) << program->outputText();
    std::filesystem::remove_all(config);
}

INSTANTIATE_TEST_SUITE_P(Devices, EndlessSettings, ::testing::Values("/dev/zero", "/dev/urandom"),
                         [](const auto& info) { return std::string(info.param + 5); });

TEST_F(HostWindowTest, DestroyedHostWindowEndsWithZero) {
    startInHost({100, 100, 640, 480}, {"-root"});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    EXPECT_EQ(endAfter(*program, [&] { x.destroyWindow(host); }), 0) << program->outputText();
    host = 0;
}

TEST_F(HostWindowTest, ThePictureFollowsAResizeOfTheHost) {
    startInHost({0, 0, 400, 300}, {"-root"});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    area = {0, 0, 960, 700};
    x.moveResizeWindow(host, area);
    const LitExtent lit = litExtentOver(x, area, 5s);
    // Drawn into the old 400 x 300 only, the particles would stay in the
    // bottom-left corner (x < 400, y >= 400).
    EXPECT_GT(lit.maxX, 450) << program->outputText();
    EXPECT_LT(lit.minY, 350) << program->outputText();
    EXPECT_TRUE(program->running());
}

TEST_F(HostWindowTest, StopAndContinueGiveNoStepAboveAHundredMilliseconds) {
    startInHost({100, 100, 640, 480}, {"-root"}, {{"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    std::this_thread::sleep_for(500ms);
    program->sendSignal(SIGSTOP);
    std::this_thread::sleep_for(3s);
    program->sendSignal(SIGCONT);
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(endAfter(*program, [&] { program->sendSignal(SIGTERM); }), 0);
    const std::vector<int> steps = frameSteps(program->outputText());
    ASSERT_GT(steps.size(), 30u) << program->outputText();
    const int largest = *std::max_element(steps.begin(), steps.end());
    // The 3 s pause shows as a clamped step, and no step is longer.
    EXPECT_EQ(largest, 100);
}

// Hosts start one process per monitor, all in the same second: each must
// still draw fireworks of its own.
TEST(OnePerMonitor, ProcessesStartedTogetherDrawDifferentFireworks) {
    XClient x;
    std::vector<WindowId> hosts;
    std::vector<std::unique_ptr<ChildProcess>> programs;
    for (int monitor = 0; monitor < 2; ++monitor) {
        hosts.push_back(x.createWindow("host", 400, 300, true));
        x.moveResizeWindow(hosts.back(), {monitor * 450, 0, 400, 300});
    }
    for (const WindowId host : hosts)
        programs.push_back(std::make_unique<ChildProcess>(
            tamaruka(), std::vector<std::string>{"-root"},
            Env{{"XSCREENSAVER_WINDOW", std::to_string(host)}, {"TAMARUKA_PRINT_FRAME_STEPS", "1"}}));
    const std::regex seedLine("random seed (\\d+)");
    std::vector<std::string> seeds;
    for (auto& program : programs) {
        std::smatch found;
        std::string output;
        EXPECT_TRUE(test::waitUntil([&] {
            output = program->outputText();
            return std::regex_search(output, found, seedLine);
        }, 10s)) << output;
        seeds.push_back(found.size() > 1 ? found[1].str() : "");
        program->sendSignal(SIGTERM);
        EXPECT_EQ(program->waitExit(5s), 0);
    }
    for (const WindowId host : hosts) x.destroyWindow(host);
    EXPECT_NE(seeds[0], seeds[1]);
}

TEST_F(HostWindowTest, FpsShowsInTheBottomLeftCorner) {
    startInHost({100, 100, 640, 480}, {"-root", "--fps"});
    ASSERT_TRUE(waitForFireworks(x, area)) << program->outputText();
    std::this_thread::sleep_for(1500ms);  // the first second measured
    // The text is plain white; the sparks' glow is never white all over such a spot.
    EXPECT_GT(x.capture({area.x, area.y + area.height - 40, 120, 40}).countWhite(), 40u);
}

// --- A display of its own: the X server's saver, monitors --------------------

// XScreenSaverQueryInfo's state (ScreenSaverOff, ScreenSaverOn, ScreenSaverDisabled).
int serverSaverState(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return -1;
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    int state = -1;
    if (XScreenSaverQueryInfo(connection, DefaultRootWindow(connection), info)) state = info->state;
    XFree(info);
    XCloseDisplay(connection);
    return state;
}

void runTool(const std::string& display, const std::string& tool, const std::vector<std::string>& args) {
    ChildProcess process(tool, args, {{"DISPLAY", display}});
    const auto code = process.waitExit(10s);
    ASSERT_EQ(code, 0) << tool << ": " << process.outputText();
}

struct ThreadsCase {
    const char* mode;
    int width, height;
    bool workers;
};

void PrintTo(const ThreadsCase& c, std::ostream* out) {
    *out << c.mode << " on " << c.width << " x " << c.height;
}

// In its own windows, without a depth buffer, up to about 1920 x 1200 one
// thread fills the frames for less CPU; larger screens need llvmpipe's
// workers to keep the pace, and a host's window keeps llvmpipe's default.
class SoftwareGlThreads : public ::testing::TestWithParam<ThreadsCase> {};

TEST_P(SoftwareGlThreads, OwnSmallWindowsFillOnTheDrawingThread) {
    const ThreadsCase c = GetParam();
    test::XvfbDisplay display(c.width, c.height);
    XClient x(display.name());
    ChildProcess program(tamaruka(), {c.mode}, {{"DISPLAY", display.name()}});
    ASSERT_TRUE(waitForFireworks(x, {0, 0, c.width, c.height})) << program.outputText();
    EXPECT_EQ(test::threadsNamed(program.pid(), "llvmpipe") > 0, c.workers);
}

INSTANTIATE_TEST_SUITE_P(Screens, SoftwareGlThreads,
                         ::testing::Values(ThreadsCase{"--fullscreen", 1024, 768, false},
                                           ThreadsCase{"--fullscreen", 3840, 2160, true},
                                           ThreadsCase{"--root", 1024, 768, true}),
                         [](const auto& info) {
                             return std::string(info.param.mode + 2) + "_" + std::to_string(info.param.width) +
                                    "x" + std::to_string(info.param.height);
                         });

class LeavesTheServerSaverAlone : public ::testing::TestWithParam<const char*> {};

// SDL suspends the server's saver and resets it now and then, which makes
// xss-lock end its locker. Here the saver comes on by its own timeout while
// tamaruka runs (a suspended one never would) and stays on (a reset would
// turn it off).
TEST_P(LeavesTheServerSaverAlone, TheSaverActivatesByItsTimeoutAndStaysActive) {
    test::XvfbDisplay display;
    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xset", {"s", "3", "3"}));
    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xset", {"s", "reset"}));
    XClient x(display.name());
    const WindowId host = x.createWindow("host", 640, 480, true);
    Env env{{"DISPLAY", display.name()}};
    const std::string mode = GetParam();
    if (mode == "-root") env["XSCREENSAVER_WINDOW"] = hex(host);
    ChildProcess program(tamaruka(), {mode}, env);
    ASSERT_TRUE(waitForFireworks(x, {0, 0, 640, 480})) << program.outputText();
    ASSERT_EQ(serverSaverState(display.name()), ScreenSaverOff) << "came on before tamaruka drew";
    EXPECT_TRUE(test::waitUntil([&] { return serverSaverState(display.name()) == ScreenSaverOn; }, 10s));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(program.running()) << program.outputText();
    EXPECT_EQ(serverSaverState(display.name()), ScreenSaverOn);
    program.sendSignal(SIGTERM);
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
    EXPECT_EQ(serverSaverState(display.name()), ScreenSaverOn);
}

INSTANTIATE_TEST_SUITE_P(Modes, LeavesTheServerSaverAlone, ::testing::Values("-root", "--fullscreen"),
                         [](const auto& info) { return std::string(info.param[1] == 'r' ? "root" : "fullscreen"); });

enum class UserInput { DiagonalMove, Key, Click };
void PrintTo(UserInput input, std::ostream* os) {
    *os << (input == UserInput::DiagonalMove ? "DiagonalMove" : input == UserInput::Key ? "Key" : "Click");
}

class FullScreenOnTwoMonitors : public ::testing::TestWithParam<UserInput> {};

TEST_P(FullScreenOnTwoMonitors, FireworksOnEachMonitorUntilTheUserActs) {
    test::XvfbDisplay display(1600, 600);
    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xrandr", {"--setmonitor", "left", "800/200x600/150+0+0", "none"}));
    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xrandr", {"--setmonitor", "right", "800/200x600/150+800+0", "none"}));
    XClient x(display.name());
    const auto [startX, startY] = x.pointerPosition();
    ChildProcess program(tamaruka(), {"--fullscreen"}, {{"DISPLAY", display.name()}});
    ASSERT_TRUE(test::waitUntil([&] { return x.findWindows("Tamaruka").size() == 2; }, 20s)) << program.outputText();
    std::vector<Rect> covered;
    for (WindowId w : x.findWindows("Tamaruka")) covered.push_back(x.geometry(w));
    std::sort(covered.begin(), covered.end(), [](const Rect& a, const Rect& b) { return a.x < b.x; });
    ASSERT_EQ(covered.size(), 2u);
    EXPECT_EQ(box(covered[0]), std::make_tuple(0, 0, 800, 600));
    EXPECT_EQ(box(covered[1]), std::make_tuple(800, 0, 800, 600));
    Screenshot left, right;
    EXPECT_TRUE(test::waitUntil([&] { return fireworksShow(x, covered[0], left); }, 15s)) << program.outputText();
    EXPECT_TRUE(test::waitUntil([&] { return fireworksShow(x, covered[1], right); }, 15s)) << program.outputText();
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR"))
        x.capture().savePng(std::string(dir) + "/display_mode_fullscreen.png");
    EXPECT_NE(left.rgb, right.rgb) << "both monitors show the same fireworks";
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(program.running()) << program.outputText();

    switch (GetParam()) {
    case UserInput::DiagonalMove:
        x.movePointer(startX + 300, startY);  // far, but along one axis only
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(program.running()) << "ended on a move along one axis";
        x.movePointer(startX + 31, startY + 31);
        break;
    case UserInput::Key:
        x.pressKey(XK_space);
        break;
    case UserInput::Click:
        x.click(1);
        break;
    }
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
    EXPECT_TRUE(x.waitForWindowGone("Tamaruka", 5s));
}

INSTANTIATE_TEST_SUITE_P(EndedBy, FullScreenOnTwoMonitors,
                         ::testing::Values(UserInput::DiagonalMove, UserInput::Key, UserInput::Click),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

// Whether a client holds the keyboard: another client's grab then fails.
bool keyboardHeldByAClient(const std::string& display) {
    Display* connection = XOpenDisplay(display.c_str());
    if (!connection) return false;
    const int result = XGrabKeyboard(connection, DefaultRootWindow(connection), False, GrabModeAsync,
                                     GrabModeAsync, CurrentTime);
    if (result == GrabSuccess) XUngrabKeyboard(connection, CurrentTime);
    XCloseDisplay(connection);
    return result == AlreadyGrabbed;
}

// The screen split into two monitors while --fullscreen runs over the whole,
// then one of them deleted: the windows follow within a few seconds, a new
// monitor gets fireworks of its own, the window of the monitor that stayed
// keeps its scene, and the keyboard stays taken until a key ends it.
TEST(FullScreenFollowsMonitors, SplitThenOneDeletedThenEndedByAKey) {
    test::XvfbDisplay display(1600, 600);
    XClient x(display.name());
    ChildProcess program(tamaruka(), {"--fullscreen"}, {{"DISPLAY", display.name()}});
    using Box = std::tuple<int, int, int, int>;
    auto covering = [&] {
        std::vector<std::pair<Box, WindowId>> windows;
        for (WindowId w : x.findWindows("Tamaruka")) windows.emplace_back(box(x.geometry(w)), w);
        std::sort(windows.begin(), windows.end());
        return windows;
    };
    auto areas = [&] {
        std::vector<Box> boxes;
        for (const auto& [area, window] : covering()) boxes.push_back(area);
        return boxes;
    };
    const Box whole{0, 0, 1600, 600}, left{0, 0, 800, 600}, right{800, 0, 800, 600};
    ASSERT_TRUE(test::waitUntil([&] { return areas() == std::vector{whole}; }, 20s)) << program.outputText();
    ASSERT_TRUE(test::waitUntil([&] { return keyboardHeldByAClient(display.name()); }, 5s));

    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xrandr", {"--setmonitor", "left", "800/200x600/150+0+0", "none"}));
    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xrandr", {"--setmonitor", "right", "800/200x600/150+800+0", "none"}));
    ASSERT_TRUE(test::waitUntil([&] { return areas() == (std::vector{left, right}); }, 5s))
        << "covering " << areas().size() << " areas; " << program.outputText();
    Screenshot leftShot, rightShot;
    EXPECT_TRUE(test::waitUntil([&] { return fireworksShow(x, {0, 0, 800, 600}, leftShot); }, 15s));
    EXPECT_TRUE(test::waitUntil([&] { return fireworksShow(x, {800, 0, 800, 600}, rightShot); }, 15s));
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR"))
        x.capture().savePng(std::string(dir) + "/display_mode_fullscreen_split.png");
    EXPECT_NE(leftShot.rgb, rightShot.rgb) << "both monitors show the same fireworks";
    EXPECT_TRUE(keyboardHeldByAClient(display.name())) << "the grab went with the whole-screen window";
    const WindowId leftWindow = covering().front().second;

    ASSERT_NO_FATAL_FAILURE(runTool(display.name(), "/usr/bin/xrandr", {"--delmonitor", "right"}));
    // The screen's own monitor holds "left" whole, so "left" alone is covered.
    ASSERT_TRUE(test::waitUntil([&] { return areas() == std::vector{left}; }, 5s))
        << "covering " << areas().size() << " areas; " << program.outputText();
    EXPECT_EQ(covering().front().second, leftWindow) << "the remaining monitor's window was replaced";
    EXPECT_TRUE(waitForFireworks(x, {0, 0, 800, 600}));
    ASSERT_TRUE(program.running()) << "ended on the change of monitors: " << program.outputText();
    EXPECT_TRUE(keyboardHeldByAClient(display.name()));

    x.pressKey(XK_space);
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
    EXPECT_TRUE(x.waitForWindowGone("Tamaruka", 5s));
}

// Another client holds the keyboard well past the first tries at the grab:
// once it lets go, --fullscreen takes the keyboard and a key ends it.
TEST(FullScreenAfterAHeldKeyboard, TakesTheKeyboardOnceFreeAndEndsOnAKey) {
    test::XvfbDisplay display;
    Display* holder = XOpenDisplay(display.name().c_str());
    ASSERT_NE(holder, nullptr);
    ASSERT_EQ(XGrabKeyboard(holder, DefaultRootWindow(holder), False, GrabModeAsync, GrabModeAsync, CurrentTime),
              GrabSuccess);
    XSync(holder, False);
    XClient x(display.name());
    ChildProcess program(tamaruka(), {"--fullscreen"},
                         {{"DISPLAY", display.name()}, {"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
    // Its tries of the first frames (one a frame, 120 of them) have all failed.
    ASSERT_TRUE(test::waitUntil([&] { return frameSteps(program.outputText()).size() > 150; }, 60s))
        << program.outputText();
    XUngrabKeyboard(holder, CurrentTime);
    XCloseDisplay(holder);
    ASSERT_TRUE(test::waitUntil([&] { return keyboardHeldByAClient(display.name()); }, 5s))
        << "the keyboard was never taken";
    x.pressKey(XK_space);
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
}

TEST(LostDisplay, EndsWithoutHanging) {
    auto display = std::make_unique<test::XvfbDisplay>();
    ChildProcess program(tamaruka(), {"--window"},
                         {{"DISPLAY", display->name()}, {"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
    ASSERT_TRUE(test::waitUntil([&] { return frameSteps(program.outputText()).size() > 5; }, 20s))
        << program.outputText();
    display.reset();  // the X server goes away
    EXPECT_EQ(program.waitExit(5s), 1);
    EXPECT_NE(program.outputText().find("tamaruka: lost the connection to the X display\n"), std::string::npos)
        << program.outputText();
}

// A stopped X server (SIGSTOP, a hung server) leaves the program blocked in
// Xlib: a stop signal ends it all the same, without waiting for the server.
TEST(StoppedDisplay, AStopSignalStillEndsItWithZero) {
    test::XvfbDisplay display;
    ChildProcess program(tamaruka(), {"--window"},
                         {{"DISPLAY", display.name()}, {"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
    ASSERT_TRUE(test::waitUntil([&] { return frameSteps(program.outputText()).size() > 5; }, 20s))
        << program.outputText();
    ::kill(display.pid(), SIGSTOP);
    std::this_thread::sleep_for(300ms);  // its next frame waits on the server
    const std::optional<int> code = endAfter(program, [&] { program.sendSignal(SIGTERM); });
    ::kill(display.pid(), SIGCONT);
    EXPECT_EQ(code, 0) << program.outputText();
}

// --- Its own window, and failures ---------------------------------------------

class OwnWindow : public ::testing::TestWithParam<bool> {};

TEST_P(OwnWindow, TitledTamarukaEndedByEscapeOrClosing) {
    const bool byEscape = GetParam();
    XClient x;
    ChildProcess program(tamaruka(), {"--window"});
    const auto window = x.waitForWindow("Tamaruka", 20s);
    ASSERT_TRUE(window) << program.outputText();
    EXPECT_EQ(x.title(*window), "Tamaruka");
    const Rect g = x.geometry(*window);
    EXPECT_EQ(std::make_pair(g.width, g.height), std::make_pair(1024, 768));
    EXPECT_TRUE(waitForFireworks(x, g)) << program.outputText();
    x.movePointer(g.x + 500, g.y + 400);  // the focus follows the pointer without a window manager
    x.pressKey(XK_a);
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(program.running()) << "another key ended it";
    if (byEscape) x.pressKey(XK_Escape);
    else x.closeWindow(*window);
    EXPECT_EQ(program.waitExit(5s), 0) << program.outputText();
}

INSTANTIATE_TEST_SUITE_P(EndedBy, OwnWindow, ::testing::Values(true, false),
                         [](const auto& info) { return std::string(info.param ? "Escape" : "CloseButton"); });

struct FailureCase {
    const char* name;
    std::vector<std::string> args;
    Env env;
    std::string firstLine;
    bool usageFollows;
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class StartupFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StartupFailure, OneLineOnStderrAndExitCodeOne) {
    const FailureCase& c = GetParam();
    XClient x;
    const std::size_t windowsBefore = x.topLevelWindows().size();
    ChildProcess program(tamaruka(), c.args, c.env);
    EXPECT_EQ(program.waitExit(10s), 1);
    const std::string output = program.outputText();
    EXPECT_EQ(output.substr(0, output.find('\n') + 1), c.firstLine + "\n");
    if (c.usageFollows) EXPECT_NE(output.find("\nusage: tamaruka [options]\n"), std::string::npos) << output;
    else EXPECT_EQ(output, c.firstLine + "\n");
    EXPECT_EQ(x.topLevelWindows().size(), windowsBefore);  // and never a message box
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupFailure,
    ::testing::Values(
        FailureCase{"UnknownOption", {"--root", "--sparkle"}, {}, "tamaruka: unknown option '--sparkle'", true},
        FailureCase{"NoDisplay", {"--root"}, {{"DISPLAY", ":65000"}}, "tamaruka: cannot open the X display ':65000'", false},
        FailureCase{"NoSuchWindow", {"--window-id", "0x7ffff0"}, {}, "tamaruka: no window 0x7ffff0 on the display", false},
        FailureCase{"BadHostWindow", {"-root"}, {{"XSCREENSAVER_WINDOW", "none"}},
                    "tamaruka: $XSCREENSAVER_WINDOW is not a window id: 'none'", false}),
    [](const auto& info) { return std::string(info.param.name); });

// Host windows it cannot draw in: an InputOnly window, and one larger than
// OpenGL draws (from the start, or resized to it). One line and status 1,
// never X errors over and over or a crash.
enum class Undrawable { InputOnlyWindow, TooLarge, ResizedTooLarge };
void PrintTo(Undrawable c, std::ostream* os) {
    *os << (c == Undrawable::InputOnlyWindow ? "InputOnlyWindow" : c == Undrawable::TooLarge ? "TooLarge" : "ResizedTooLarge");
}
class UndrawableHostWindow : public ::testing::TestWithParam<Undrawable> {};

TEST_P(UndrawableHostWindow, OneLineAndExitCodeOne) {
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    XSetWindowAttributes attributes{};
    const bool inputOnly = GetParam() == Undrawable::InputOnlyWindow;
    const unsigned size = GetParam() == Undrawable::TooLarge ? 32767 : 400;
    const Window window = XCreateWindow(display, DefaultRootWindow(display), 0, 0, size, size, 0, CopyFromParent,
                                        inputOnly ? InputOnly : InputOutput, CopyFromParent, 0, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    ChildProcess program(tamaruka(), {"--window-id", hex(window)}, {{"TAMARUKA_PRINT_FRAME_STEPS", "1"}});
    if (GetParam() == Undrawable::ResizedTooLarge) {
        ASSERT_TRUE(test::waitUntil([&] { return frameSteps(program.outputText()).size() > 2; }, 20s))
            << program.outputText();
        XResizeWindow(display, window, 32767, 32767);
        XSync(display, False);
    }
    const std::optional<int> code = program.waitExit(10s);
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    EXPECT_EQ(code, 1);
    const std::regex withoutSteps("(frame step \\d+ ms|random seed \\d+|drawing [^\n]+)\n");  // the test aid's lines
    const std::string output = std::regex_replace(program.outputText(), withoutSteps, "");
    const std::string expected = inputOnly ? "tamaruka: window " + hex(window) +
                                                 " is an InputOnly window, which cannot be drawn in\n"
                                           : "tamaruka: window " + hex(window) +
                                                 " is 32767 x 32767, larger than OpenGL draws here \\(\\d+ x \\d+\\)\n";
    EXPECT_TRUE(inputOnly ? output == expected : std::regex_match(output, std::regex(expected))) << output;
}

INSTANTIATE_TEST_SUITE_P(Hosts, UndrawableHostWindow,
                         ::testing::Values(Undrawable::InputOnlyWindow, Undrawable::TooLarge, Undrawable::ResizedTooLarge));

}  // namespace
}  // namespace tamaruka

// tamaruka as a Wayland client, end to end on a private headless sway with no
// X display: fireworks on every output, the window, and the ways it ends.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>

#include <gtest/gtest.h>

#include "harness/headless_sway.h"
#include "harness/harness.h"

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

constexpr int LitLevel = 60;

// Particles in many colours on a black sky, caught in `shot`.
bool fireworksShow(HeadlessSway& sway, const std::string& output, Screenshot& shot) {
    shot = sway.capture(output);
    return shot.countBrighterThan(LitLevel) > 150 && shot.distinctColours() > 20 && shot.meanBrightness() < 40.0;
}

// The share of pixels that differ between two pictures' common top-left part.
double differingShare(const Screenshot& a, const Screenshot& b) {
    const Rect common{0, 0, std::min(a.width, b.width), std::min(a.height, b.height)};
    const Screenshot ca = a.crop(common), cb = b.crop(common);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < ca.rgb.size(); i += 3)
        if (ca.rgb[i] != cb.rgb[i] || ca.rgb[i + 1] != cb.rgb[i + 1] || ca.rgb[i + 2] != cb.rgb[i + 2]) ++differing;
    return ca.rgb.empty() ? 0 : static_cast<double>(differing) / (ca.rgb.size() / 3);
}

class WaylandDisplayMode : public ::testing::Test {
protected:
    // tamaruka with no X display, as a client of the headless sway.
    std::unique_ptr<ChildProcess> start(std::vector<std::string> args, std::vector<std::string> env = {}) {
        std::vector<std::string> command = {"-u", "DISPLAY"};
        for (const auto& [name, value] : sway.clientEnv()) command.push_back(name + "=" + value);
        command.insert(command.end(), env.begin(), env.end());
        command.push_back(binDir() + "/tamaruka");
        command.insert(command.end(), args.begin(), args.end());
        command.push_back("--no-music");
        return std::make_unique<ChildProcess>("/usr/bin/env", command);
    }

    // How many windows of tamaruka the compositor lists with the title "Tamaruka".
    int windowsInTree() {
        const std::string tree = sway.swaymsg({"-t", "get_tree"}).value_or("");
        int count = 0;
        for (std::size_t at = tree.find("\"app_id\": \"tamaruka\""); at != std::string::npos;
             at = tree.find("\"app_id\": \"tamaruka\"", at + 1))
            ++count;
        return tree.find("\"name\": \"Tamaruka\"") == std::string::npos ? 0 : count;
    }

    HeadlessSway sway;
};

TEST_F(WaylandDisplayMode, FullScreenDrawsItsOwnFireworksOnEachOutputAndOnAnAddedOne) {
    const std::string second = sway.addOutput(1280, 720, 1024, 0);
    auto program = start({"--fullscreen"});
    Screenshot first, other;
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", first); }, 20s)) << program->outputText();
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, second, other); }, 20s)) << program->outputText();
    EXPECT_EQ(first.width, 1024);
    EXPECT_EQ(other.width, 1280);
    EXPECT_GT(differingShare(first, other), 0.001) << "both outputs show the same fireworks";
    if (const char* dir = std::getenv("TAMARUKA_SCREENSHOT_DIR")) {
        first.savePng(std::string(dir) + "/wayland_HEADLESS-1.png");
        other.savePng(std::string(dir) + "/wayland_" + second + ".png");
    }

    const std::string added = sway.addOutput(800, 600, 2304, 0);
    Screenshot third;
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, added, third); }, 20s)) << program->outputText();
    EXPECT_EQ(windowsInTree(), 3);
    ASSERT_TRUE(program->running()) << program->outputText();
}

TEST_F(WaylandDisplayMode, FpsShowsInTheBottomLeftCorner) {
    auto program = start({"--fullscreen", "--fps"});
    Screenshot shot;
    ASSERT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    std::this_thread::sleep_for(1500ms);  // the first second measured
    // The text is plain white; the sparks' glow is never white all over such a spot.
    EXPECT_GT(sway.capture("HEADLESS-1").crop({0, 768 - 40, 120, 40}).countWhite(), 40u);
}

// Composed on the CPU into wl_shm buffers or drawn with OpenGL, as
// TAMARUKA_DRAWING asks (the CPU by default on llvmpipe, which the headless
// sway's clients get): fireworks on every output, the --fps text in the
// corner, and the drawing named as --fps names it.
struct DrawingCase {
    const char* label;
    const char* setting;  // empty: no choice made
    const char* name;
};

class WaylandDrawing : public WaylandDisplayMode, public ::testing::WithParamInterface<DrawingCase> {};

TEST_P(WaylandDrawing, FullScreenDrawsFireworksOnEachOutput) {
    const std::string second = sway.addOutput(800, 600, 1024, 0);
    auto program = start({"--fullscreen", "--fps"},
                         {std::string("TAMARUKA_DRAWING=") + GetParam().setting, "TAMARUKA_PRINT_FRAME_STEPS=1"});
    Screenshot first, other;
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", first); }, 20s)) << program->outputText();
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, second, other); }, 20s)) << program->outputText();
    std::this_thread::sleep_for(1500ms);  // the first second measured
    EXPECT_GT(sway.capture("HEADLESS-1").crop({0, 768 - 40, 120, 40}).countWhite(), 40u);
    EXPECT_GT(sway.capture(second).crop({0, 600 - 40, 120, 40}).countWhite(), 40u);
    const std::string output = program->outputText(), line = std::string("drawing ") + GetParam().name + "\n";
    std::size_t surfaces = 0;
    for (std::size_t at = output.find(line); at != std::string::npos; at = output.find(line, at + 1)) ++surfaces;
    EXPECT_EQ(surfaces, 2u) << output;
}

INSTANTIATE_TEST_SUITE_P(Settings, WaylandDrawing,
                         ::testing::Values(DrawingCase{"Cpu", "cpu", "CPU, wl_shm"}, DrawingCase{"Gl", "gl", "GL"},
                                           DrawingCase{"SoftwareGlDefault", "", "CPU, wl_shm"}),
                         [](const auto& info) { return std::string(info.param.label); });

// A window on a workspace that is not shown gets no frame callbacks: it draws
// nothing until it is shown again, and then moves on by one clamped step.
TEST_F(WaylandDisplayMode, AHiddenWindowDrawsNothing) {
    auto program = start({"--window"}, {"TAMARUKA_PRINT_FRAME_STEPS=1"});
    Screenshot shot;
    ASSERT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    ASSERT_TRUE(sway.swaymsg({"workspace", "9"}));
    std::this_thread::sleep_for(500ms);  // a frame under way when it was hidden
    const std::size_t hidden = frameSteps(program->outputText()).size();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(frameSteps(program->outputText()).size(), hidden) << "frames while hidden";
    ASSERT_TRUE(sway.swaymsg({"workspace", "1"}));
    ASSERT_TRUE(waitUntil([&] { return frameSteps(program->outputText()).size() > hidden; }, 20s));
    EXPECT_LE(frameSteps(program->outputText())[hidden], 100);
}

struct PacingCase {
    const char* name;
    std::vector<std::string> extraArgs;
    int leastMedianStep;  // milliseconds
    friend void PrintTo(const PacingCase& c, std::ostream* os) { *os << c.name; }
};

class FramePacing : public WaylandDisplayMode, public ::testing::WithParamInterface<PacingCase> {};

// The headless outputs refresh at 60 Hz: frames come no faster than their
// callbacks, nor faster than --delay asks.
TEST_P(FramePacing, NoMoreFramesThanTheOutputShows) {
    std::vector<std::string> args{"--fullscreen"};
    args.insert(args.end(), GetParam().extraArgs.begin(), GetParam().extraArgs.end());
    auto program = start(args, {"TAMARUKA_PRINT_FRAME_STEPS=1"});
    Screenshot shot;
    ASSERT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    const std::size_t before = frameSteps(program->outputText()).size();
    std::this_thread::sleep_for(2s);
    std::vector<int> steps = frameSteps(program->outputText());
    steps.erase(steps.begin(), steps.begin() + static_cast<long>(before));
    ASSERT_GT(steps.size(), 5u) << program->outputText();
    std::sort(steps.begin(), steps.end());
    EXPECT_GE(steps[steps.size() / 2], GetParam().leastMedianStep);
}

INSTANTIATE_TEST_SUITE_P(Rates, FramePacing,
                         ::testing::Values(PacingCase{"FrameCallbacks", {}, 16},
                                           PacingCase{"Delay50ms", {"--delay", "50000"}, 50}),
                         [](const auto& info) { return std::string(info.param.name); });

class StopSignal : public WaylandDisplayMode, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignal, EndsWithZero) {
    auto program = start({"--fullscreen"});
    Screenshot shot;
    ASSERT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    program->sendSignal(GetParam());
    EXPECT_EQ(program->waitExit(5s), 0) << program->outputText();
    EXPECT_TRUE(waitUntil([&] { return windowsInTree() == 0; }, 5s));
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

TEST_F(WaylandDisplayMode, WindowIsATamarukaToplevelThatClosingEnds) {
    auto program = start({"--window"});
    ASSERT_TRUE(waitUntil([&] { return windowsInTree() == 1; }, 20s)) << program->outputText();
    Screenshot shot;
    EXPECT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    ASSERT_TRUE(sway.swaymsg({"[app_id=\"tamaruka\"]", "kill"}));
    EXPECT_EQ(program->waitExit(5s), 0) << program->outputText();
}

TEST_F(WaylandDisplayMode, LosingTheCompositorIsOneLineAndExitCodeOne) {
    auto program = start({"--fullscreen"});
    ASSERT_TRUE(waitUntil([&] { return windowsInTree() == 1; }, 20s)) << program->outputText();
    sway.kill();
    EXPECT_EQ(program->waitExit(5s), 1);
    EXPECT_EQ(program->outputText(), "tamaruka: lost the connection to the Wayland compositor\n");
}

// The user's input through virtual devices that exist before tamaruka starts.
enum class UserInput { DiagonalMove, DiagonalMoveOntoAnotherOutput, Key, Click, EscapeInWindow };

std::string inputName(UserInput input) {
    switch (input) {
    case UserInput::DiagonalMove: return "DiagonalMove";
    case UserInput::DiagonalMoveOntoAnotherOutput: return "DiagonalMoveOntoAnotherOutput";
    case UserInput::Key: return "Key";
    case UserInput::Click: return "Click";
    case UserInput::EscapeInWindow: return "EscapeInWindow";
    }
    return "";
}
void PrintTo(UserInput input, std::ostream* os) { *os << inputName(input); }

class EndedBy : public WaylandDisplayMode, public ::testing::WithParamInterface<UserInput> {
protected:
    void SetUp() override {
        fifo = makeTempDir("tamaruka-input") + "/commands";
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        input = std::make_unique<ChildProcess>(binDir() + "/wayland_virtual_input", std::vector<std::string>{fifo},
                                               sway.clientEnv());
        ASSERT_TRUE(waitUntil([&] { return input->outputText().find("ready") != std::string::npos; }, 10s))
            << input->outputText();
        commands.open(fifo);
    }

    void send(const std::string& command) { commands << command << std::endl; }

    std::string fifo;
    std::unique_ptr<ChildProcess> input;
    std::ofstream commands;
};

TEST_P(EndedBy, TheUsersInput) {
    const bool window = GetParam() == UserInput::EscapeInWindow;
    if (GetParam() == UserInput::DiagonalMoveOntoAnotherOutput) sway.addOutput(800, 600, 1024, 0);
    auto program = start({window ? "--window" : "--fullscreen"});
    Screenshot shot;
    ASSERT_TRUE(waitUntil([&] { return fireworksShow(sway, "HEADLESS-1", shot); }, 20s)) << program->outputText();
    send("move 5 5");  // the pointer shows up over the fireworks
    switch (GetParam()) {
    case UserInput::DiagonalMove:
        send("move 300 0");  // far, but along one axis only
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(program->running()) << "ended on a move along one axis";
        send("move -269 31");  // 31 px right of and below where it came in
        break;
    case UserInput::DiagonalMoveOntoAnotherOutput:
        // Onto the output to the right, along one axis: the place counts in
        // the compositor's space, not on the surface under the pointer.
        send("move 1025 0");
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(program->running()) << "ended on a move along one axis";
        send("move 0 31");
        break;
    case UserInput::Key:
        send("key space");
        break;
    case UserInput::Click:
        send("click");
        break;
    case UserInput::EscapeInWindow:
        send("key space");
        send("click");
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(program->running()) << "the window ended on another key than Escape";
        send("key escape");
        break;
    }
    EXPECT_EQ(program->waitExit(5s), 0) << program->outputText() << input->outputText();
}

INSTANTIATE_TEST_SUITE_P(Input, EndedBy,
                         ::testing::Values(UserInput::DiagonalMove, UserInput::DiagonalMoveOntoAnotherOutput,
                                           UserInput::Key, UserInput::Click, UserInput::EscapeInWindow),
                         [](const auto& info) { return inputName(info.param); });

}  // namespace
}  // namespace tamaruka::test

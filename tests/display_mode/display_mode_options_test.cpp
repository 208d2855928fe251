// The command line of tamaruka and the choice of the window it draws into.
#include "display_mode/display_mode_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace tamaruka {
namespace {

using namespace std::chrono_literals;
using Kind = DrawTarget::Kind;

DisplayModeOptions parsed(std::vector<std::string> args) {
    auto result = parseDisplayModeOptions(args);
    const auto* error = std::get_if<OptionsError>(&result);
    EXPECT_EQ(error, nullptr) << (error ? error->message : "");
    return error ? DisplayModeOptions{} : std::get<DisplayModeOptions>(result);
}

std::string errorOf(std::vector<std::string> args) {
    auto result = parseDisplayModeOptions(args);
    const auto* error = std::get_if<OptionsError>(&result);
    return error ? error->message : "(accepted)";
}

DrawTarget target(std::vector<std::string> args, const char* hostWindow) {
    auto result = chooseDrawTarget(parsed(std::move(args)), hostWindow);
    const auto* error = std::get_if<OptionsError>(&result);
    EXPECT_EQ(error, nullptr) << (error ? error->message : "");
    return error ? DrawTarget{} : std::get<DrawTarget>(result);
}

TEST(DisplayModeOptionsTest, EveryOptionWithOneDashOrTwo) {
    for (const std::string dashes : {"-", "--"}) {
        const DisplayModeOptions o = parsed({dashes + "root", dashes + "window-id", "0x2a", dashes + "window",
                                             dashes + "fullscreen", dashes + "fps", dashes + "delay", "20000",
                                             dashes + "no-music"});
        EXPECT_TRUE(o.root);
        EXPECT_EQ(o.windowId, 42u);
        EXPECT_TRUE(o.ownWindow);
        EXPECT_TRUE(o.fullScreen);
        EXPECT_TRUE(o.showFps);
        EXPECT_EQ(o.delay, 20000us);
        EXPECT_EQ(o.music, false);
        EXPECT_EQ(parsed({dashes + "music"}).music, true);
    }
    const DisplayModeOptions none = parsed({});
    EXPECT_FALSE(none.root || none.ownWindow || none.fullScreen || none.showFps);
    EXPECT_FALSE(none.windowId || none.delay || none.music);
}

TEST(DisplayModeOptionsTest, VisualAndInstallAreAcceptedAndIgnored) {
    const DisplayModeOptions o = parsed({"-visual", "0x21", "-root", "--install", "--visual", "default"});
    EXPECT_TRUE(o.root);
    EXPECT_FALSE(o.ownWindow || o.fullScreen || o.windowId);
}

TEST(DisplayModeOptionsTest, WrongCommandLinesSayWhat) {
    EXPECT_EQ(errorOf({"--sparkle"}), "unknown option '--sparkle'");
    EXPECT_EQ(errorOf({"root"}), "unknown option 'root'");
    EXPECT_EQ(errorOf({"---root"}), "unknown option '---root'");
    EXPECT_EQ(errorOf({"-"}), "unknown option '-'");
    EXPECT_EQ(errorOf({"--window-id"}), "option '--window-id' needs a value");
    EXPECT_EQ(errorOf({"-delay"}), "option '-delay' needs a value");
    EXPECT_EQ(errorOf({"-visual"}), "option '-visual' needs a value");
    EXPECT_EQ(errorOf({"--window-id", "window"}), "not a window id: 'window'");
    EXPECT_EQ(errorOf({"--delay", "-5"}), "not a delay in microseconds: '-5'");
    EXPECT_EQ(errorOf({"--delay", "1e3"}), "not a delay in microseconds: '1e3'");
    EXPECT_EQ(errorOf({"--delay", "60000001"}), "not a delay in microseconds: '60000001'");
    EXPECT_EQ(parsed({"--delay", "0"}).delay, 0us);
    EXPECT_NE(displayModeUsage().find("usage: tamaruka [options]\n"), std::string::npos);
}

TEST(DisplayModeOptionsTest, WindowIdsInDecimalOrHex) {
    EXPECT_EQ(parseWindowId("4194305"), 4194305u);
    EXPECT_EQ(parseWindowId("0x400001"), 0x400001u);
    EXPECT_EQ(parseWindowId("0X4000ab"), 0x4000abu);
    EXPECT_EQ(parseWindowId("0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parseWindowId("010"), 10u);  // decimal, not octal
    for (const char* bad : {"", "0", "0x", "0x0", "x12", "12x", " 12", "-12", "+12", "0x-1", "0x+1",
                            "0x100000000", "4294967296", "0x12 "})
        EXPECT_EQ(parseWindowId(bad), std::nullopt) << bad;
}

struct ChoiceCase {
    std::vector<std::string> args;
    const char* hostWindow;  // $XSCREENSAVER_WINDOW, null when unset
    Kind kind;
    std::uint32_t window;
    bool music;
};

class DrawTargetChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(DrawTargetChoice, PicksTheWindowAndWhetherMusicPlays) {
    const ChoiceCase& c = GetParam();
    const DrawTarget t = target(c.args, c.hostWindow);
    EXPECT_EQ(t.kind, c.kind);
    EXPECT_EQ(t.window, c.window);
    EXPECT_EQ(t.musicWanted, c.music);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, DrawTargetChoice,
    ::testing::Values(
        // xscreensaver: hex in the environment; XSecureLock: decimal.
        ChoiceCase{{"--root"}, "0x1e00007", Kind::GivenWindow, 0x1e00007, true},
        ChoiceCase{{"-root"}, "31457287", Kind::GivenWindow, 31457287, true},
        ChoiceCase{{"-root"}, nullptr, Kind::RootWindow, 0, true},
        ChoiceCase{{"-root"}, "", Kind::RootWindow, 0, true},
        // The settings tool's preview: --window-id wins over --root and plays nothing.
        ChoiceCase{{"--root", "--window-id", "0x600003"}, "0x1e00007", Kind::GivenWindow, 0x600003, false},
        ChoiceCase{{"-window-id", "77", "--music"}, nullptr, Kind::GivenWindow, 77, true},
        // MATE and xfce pass only the variable.
        ChoiceCase{{}, "0x1e00007", Kind::GivenWindow, 0x1e00007, true},
        ChoiceCase{{}, nullptr, Kind::OwnWindow, 0, true},
        ChoiceCase{{"--window"}, "0x1e00007", Kind::OwnWindow, 0, true},
        ChoiceCase{{"--fullscreen", "--no-music"}, "0x1e00007", Kind::FullScreen, 0, false},
        ChoiceCase{{"--fullscreen", "--window"}, nullptr, Kind::FullScreen, 0, true},
        ChoiceCase{{"--root", "--fullscreen"}, nullptr, Kind::RootWindow, 0, true}));

TEST(DrawTargetChoiceTest, AWrongHostWindowIsAStartUpFailure) {
    for (std::vector<std::string> args : {std::vector<std::string>{"--root"}, std::vector<std::string>{}}) {
        auto result = chooseDrawTarget(parsed(args), "screen");
        ASSERT_TRUE(std::holds_alternative<OptionsError>(result));
        EXPECT_EQ(std::get<OptionsError>(result).message, "$XSCREENSAVER_WINDOW is not a window id: 'screen'");
    }
    // An explicit window needs no variable, good or bad.
    EXPECT_EQ(target({"--window-id", "5"}, "screen").window, 5u);
}

}  // namespace
}  // namespace tamaruka

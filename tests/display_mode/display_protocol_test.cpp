// Which display system tamaruka's windows are made on: Wayland or X11.
#include "display_mode/display_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tamaruka {
namespace {

struct ProtocolCase {
    std::string name;
    std::vector<std::string> args;
    const char* waylandDisplay;
    const char* sessionType;
    bool compositorAnswers;
    DisplayProtocol expected;
};

class ProtocolChoice : public ::testing::TestWithParam<ProtocolCase> {};

TEST_P(ProtocolChoice, FollowsTheOptionsAndTheSession) {
    const ProtocolCase& c = GetParam();
    const auto options = std::get<DisplayModeOptions>(parseDisplayModeOptions(c.args));
    const auto target = std::get<DrawTarget>(chooseDrawTarget(options, nullptr));
    const auto chosen = chooseDisplayProtocol(options, target, {c.waylandDisplay, c.sessionType},
                                              [&] { return c.compositorAnswers; });
    ASSERT_TRUE(std::holds_alternative<DisplayProtocol>(chosen)) << std::get<OptionsError>(chosen).message;
    EXPECT_EQ(std::get<DisplayProtocol>(chosen), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProtocolChoice,
    ::testing::Values(
        ProtocolCase{"FullScreenWithWaylandDisplay", {"--fullscreen"}, "wayland-1", nullptr, false, DisplayProtocol::Wayland},
        ProtocolCase{"WindowWithWaylandDisplay", {"--window"}, "wayland-0", "x11", false, DisplayProtocol::Wayland},
        ProtocolCase{"EmptyWaylandDisplayIsUnset", {"--fullscreen"}, "", nullptr, true, DisplayProtocol::X11},
        ProtocolCase{"WaylandSessionWithACompositor", {"--fullscreen"}, nullptr, "wayland", true, DisplayProtocol::Wayland},
        ProtocolCase{"WaylandSessionWithoutACompositor", {"--fullscreen"}, nullptr, "wayland", false, DisplayProtocol::X11},
        ProtocolCase{"X11Session", {"--window"}, nullptr, "x11", true, DisplayProtocol::X11},
        ProtocolCase{"X11OptionWins", {"--fullscreen", "--x11"}, "wayland-1", "wayland", true, DisplayProtocol::X11},
        ProtocolCase{"WaylandOptionWins", {"--window", "--wayland"}, nullptr, "x11", false, DisplayProtocol::Wayland},
        ProtocolCase{"RootStaysX11", {"--root"}, "wayland-1", "wayland", true, DisplayProtocol::X11},
        ProtocolCase{"WindowIdStaysX11", {"--window-id", "0x2a"}, "wayland-1", "wayland", true, DisplayProtocol::X11}),
    [](const auto& info) { return info.param.name; });

TEST(ProtocolChoiceTest, ConflictsAreStartUpFailures) {
    auto errorOf = [](std::vector<std::string> args, const char* hostWindow) {
        const auto options = std::get<DisplayModeOptions>(parseDisplayModeOptions(args));
        const auto target = std::get<DrawTarget>(chooseDrawTarget(options, hostWindow));
        const auto chosen = chooseDisplayProtocol(options, target, {"wayland-1", "wayland"}, [] { return true; });
        return std::holds_alternative<OptionsError>(chosen) ? std::get<OptionsError>(chosen).message : "(accepted)";
    };
    EXPECT_EQ(errorOf({"--fullscreen", "--x11", "--wayland"}, nullptr), "--x11 and --wayland exclude each other");
    const std::string hostWindow = "--wayland works only with --fullscreen and --window; a host's window is an X window";
    EXPECT_EQ(errorOf({"--root", "--wayland"}, nullptr), hostWindow);
    EXPECT_EQ(errorOf({"--wayland"}, "0x2a"), hostWindow);  // $XSCREENSAVER_WINDOW
}

TEST(ProtocolChoiceTest, TheCompositorIsAskedOnlyWhenTheRestLeavesItOpen) {
    int asked = 0;
    auto ask = [&] { ++asked; return true; };
    const auto window = std::get<DisplayModeOptions>(parseDisplayModeOptions(std::vector<std::string>{"--window"}));
    const auto target = std::get<DrawTarget>(chooseDrawTarget(window, nullptr));
    chooseDisplayProtocol(window, target, {"wayland-1", "wayland"}, ask);
    chooseDisplayProtocol(window, target, {nullptr, "x11"}, ask);
    EXPECT_EQ(asked, 0);
    chooseDisplayProtocol(window, target, {nullptr, "wayland"}, ask);
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace tamaruka

#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tamaruka {

// The command line of tamaruka as the screen-saver hosts pass it: every
// option with one dash or two.
struct DisplayModeOptions {
    std::optional<std::uint32_t> windowId;  // --window-id
    bool root = false;                      // --root
    bool ownWindow = false;                 // --window
    bool fullScreen = false;                // --fullscreen
    bool showFps = false;                   // --fps
    std::optional<std::chrono::microseconds> delay;  // --delay
    std::optional<bool> music;              // --music / --no-music
    bool x11 = false;                       // --x11
    bool wayland = false;                   // --wayland
};

// What went wrong on the command line, for one line on stderr before the usage.
struct OptionsError {
    std::string message;
};

std::variant<DisplayModeOptions, OptionsError> parseDisplayModeOptions(
    std::span<const std::string> args);

// The usage text printed on stderr after a wrong command line.
std::string displayModeUsage();

// A window id written in decimal or as 0x hex; none for anything else or 0.
std::optional<std::uint32_t> parseWindowId(std::string_view text);

// Where this instance draws.
struct DrawTarget {
    enum class Kind { GivenWindow, RootWindow, OwnWindow, FullScreen };
    Kind kind = Kind::OwnWindow;
    std::uint32_t window = 0;  // for GivenWindow
    bool musicWanted = true;
};

// Picks the window: --window-id first (a settings tool's preview: no music),
// then --root ($XSCREENSAVER_WINDOW, else the root window), --fullscreen,
// --window; with none of them $XSCREENSAVER_WINDOW when set, else a window of
// its own. `xscreensaverWindow` is the variable's value, null when unset.
std::variant<DrawTarget, OptionsError> chooseDrawTarget(const DisplayModeOptions& options,
                                                        const char* xscreensaverWindow);

}  // namespace tamaruka

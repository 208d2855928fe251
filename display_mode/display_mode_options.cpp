#include "display_mode/display_mode_options.h"

#include <charconv>

namespace tamaruka {

namespace {

// "--name" and "-name" both give "name"; anything else is no option.
std::optional<std::string_view> optionName(std::string_view arg) {
    if (arg.starts_with("--")) arg.remove_prefix(2);
    else if (arg.starts_with("-")) arg.remove_prefix(1);
    else return std::nullopt;
    if (arg.empty() || arg.starts_with("-")) return std::nullopt;
    return arg;
}

template <typename Number>
std::optional<Number> parseDigits(std::string_view text, int base) {
    Number value{};
    if (text.empty()) return std::nullopt;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// The least time between frames is at most a minute: more is a typing slip.
constexpr std::uint64_t MaxDelayMicroseconds = 60'000'000;

}  // namespace

std::optional<std::uint32_t> parseWindowId(std::string_view text) {
    std::optional<std::uint32_t> id;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        // from_chars would take a sign; a window id has none.
        if (!text.empty() && text.front() != '+' && text.front() != '-')
            id = parseDigits<std::uint32_t>(text, 16);
    } else if (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        id = parseDigits<std::uint32_t>(text, 10);
    }
    if (id == 0u) return std::nullopt;
    return id;
}

std::variant<DisplayModeOptions, OptionsError> parseDisplayModeOptions(
    std::span<const std::string> args) {
    DisplayModeOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto name = optionName(arg);
        if (!name) return OptionsError{"unknown option '" + arg + "'"};
        // Options that take the next argument as their value.
        const bool takesValue = *name == "window-id" || *name == "delay" || *name == "visual";
        if (takesValue && i + 1 >= args.size())
            return OptionsError{"option '" + arg + "' needs a value"};
        if (*name == "window-id") {
            const std::string& value = args[++i];
            options.windowId = parseWindowId(value);
            if (!options.windowId) return OptionsError{"not a window id: '" + value + "'"};
        } else if (*name == "delay") {
            const std::string& value = args[++i];
            const auto micros = parseDigits<std::uint64_t>(value, 10);
            if (!micros || *micros > MaxDelayMicroseconds)
                return OptionsError{"not a delay in microseconds: '" + value + "'"};
            options.delay = std::chrono::microseconds(*micros);
        } else if (*name == "visual") {
            ++i;  // xscreensaver may pass one; the window's own visual is used
        } else if (*name == "install") {
            // xscreensaver may ask for a private colormap; a true-colour GL visual needs none
        } else if (*name == "root") {
            options.root = true;
        } else if (*name == "window") {
            options.ownWindow = true;
        } else if (*name == "fullscreen") {
            options.fullScreen = true;
        } else if (*name == "fps") {
            options.showFps = true;
        } else if (*name == "music") {
            options.music = true;
        } else if (*name == "no-music") {
            options.music = false;
        } else if (*name == "x11") {
            options.x11 = true;
        } else if (*name == "wayland") {
            options.wayland = true;
        } else {
            return OptionsError{"unknown option '" + arg + "'"};
        }
    }
    return options;
}

std::string displayModeUsage() {
    return "usage: tamaruka [options]\n"
           "  --root            draw into the window in $XSCREENSAVER_WINDOW, else the root window\n"
           "  --window-id ID    draw into the window ID (decimal or 0x hex); plays no music\n"
           "  --window          a resizable window of its own; Escape or closing it ends it\n"
           "  --fullscreen      cover every monitor; a key, a click or a pointer move ends it\n"
           "  --fps             show the frames per second and the CPU share\n"
           "  --delay USEC      least time between frames in microseconds (default: the display's refresh)\n"
           "  --music           play the music of the user's settings\n"
           "  --no-music        play no music\n"
           "  --x11             --fullscreen and --window on the X server ($DISPLAY), also in a Wayland session\n"
           "  --wayland         --fullscreen and --window as a Wayland client ($WAYLAND_DISPLAY)\n"
           "Every option may be written with one dash or two. --window-id wins over --root,\n"
           "--root over --fullscreen, --fullscreen over --window; with none of them tamaruka\n"
           "draws into $XSCREENSAVER_WINDOW when it is set, else into a window of its own.\n";
}

std::variant<DrawTarget, OptionsError> chooseDrawTarget(const DisplayModeOptions& options,
                                                        const char* xscreensaverWindow) {
    DrawTarget target;
    // A window id in the environment; an empty variable counts as unset.
    const bool hostWindowSet = xscreensaverWindow && *xscreensaverWindow;
    auto hostWindow = [&]() -> std::variant<DrawTarget, OptionsError> {
        const auto id = parseWindowId(xscreensaverWindow);
        if (!id)
            return OptionsError{"$XSCREENSAVER_WINDOW is not a window id: '" +
                                std::string(xscreensaverWindow) + "'"};
        target.kind = DrawTarget::Kind::GivenWindow;
        target.window = *id;
        return target;
    };
    target.musicWanted = options.music.value_or(!options.windowId.has_value());
    if (options.windowId) {
        target.kind = DrawTarget::Kind::GivenWindow;
        target.window = *options.windowId;
        return target;
    }
    if (options.root) {
        if (hostWindowSet) return hostWindow();
        target.kind = DrawTarget::Kind::RootWindow;
        return target;
    }
    if (options.fullScreen) {
        target.kind = DrawTarget::Kind::FullScreen;
        return target;
    }
    if (options.ownWindow || !hostWindowSet) {
        target.kind = DrawTarget::Kind::OwnWindow;
        return target;
    }
    return hostWindow();
}

}  // namespace tamaruka

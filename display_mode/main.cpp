// tamaruka: the fireworks as a display mode for the Linux screen-saver hosts.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "display_mode/display_mode_options.h"
#include "display_mode/display_mode_run.h"
#include "display_mode/display_protocol.h"
#include "display_mode/stop_on_signal.h"
#include "display_mode/wayland_window_layer.h"

int main(int argc, char** argv) {
    using namespace tamaruka;
    // Before anything else, so that a host's stop at once after the start
    // still ends the program through its handlers, with status 0.
    StopOnSignal* stop = nullptr;
    try {
        stop = new StopOnSignal;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "tamaruka: %s\n", failure.what());
        return 1;
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    const auto parsed = parseDisplayModeOptions(args);
    if (const auto* error = std::get_if<OptionsError>(&parsed)) {
        std::fprintf(stderr, "tamaruka: %s\n%s", error->message.c_str(), displayModeUsage().c_str());
        return 1;
    }
    const auto& options = std::get<DisplayModeOptions>(parsed);
    const auto target = chooseDrawTarget(options, std::getenv("XSCREENSAVER_WINDOW"));
    if (const auto* error = std::get_if<OptionsError>(&target)) {
        std::fprintf(stderr, "tamaruka: %s\n", error->message.c_str());
        return 1;
    }
    const SessionEnvironment session{std::getenv("WAYLAND_DISPLAY"), std::getenv("XDG_SESSION_TYPE")};
    const auto protocol = chooseDisplayProtocol(options, std::get<DrawTarget>(target), session, waylandCompositorAnswers);
    if (const auto* error = std::get_if<OptionsError>(&protocol)) {
        std::fprintf(stderr, "tamaruka: %s\n", error->message.c_str());
        return 1;
    }
    try {
        return runDisplayMode(std::get<DrawTarget>(target), options, std::get<DisplayProtocol>(protocol), *stop);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "tamaruka: %s\n", failure.what());
        return 1;
    }
}

// libFuzzer target for tamaruka's command line and $XSCREENSAVER_WINDOW: the
// input is the arguments separated by NUL bytes, the first of them standing
// for the variable. A command line is taken or refused with a message, and a
// window that is chosen is never 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <variant>
#include <vector>

#include "display_mode/display_mode_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tamaruka;
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\0')
            parts.emplace_back();
        else
            parts.back().push_back(static_cast<char>(data[i]));
    }
    const std::string environment = parts.front();
    const std::vector<std::string> args(parts.begin() + 1, parts.end());

    const auto parsed = parseDisplayModeOptions(args);
    if (const auto* error = std::get_if<OptionsError>(&parsed)) {
        if (error->message.empty()) std::abort();
        return 0;
    }
    const auto& options = std::get<DisplayModeOptions>(parsed);
    if (options.windowId == 0u) std::abort();
    for (const char* variable : {environment.c_str(), static_cast<const char*>(nullptr)}) {
        const auto target = chooseDrawTarget(options, variable);
        if (const auto* chosen = std::get_if<DrawTarget>(&target)) {
            if (chosen->kind == DrawTarget::Kind::GivenWindow && chosen->window == 0) std::abort();
        } else if (std::get<OptionsError>(target).message.empty()) {
            std::abort();
        }
    }
    return 0;
}

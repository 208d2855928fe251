#include "display_mode/display_protocol.h"

#include <string_view>

namespace tamaruka {

std::variant<DisplayProtocol, OptionsError> chooseDisplayProtocol(const DisplayModeOptions& options,
                                                                  const DrawTarget& target,
                                                                  const SessionEnvironment& session,
                                                                  const std::function<bool()>& compositorAnswers) {
    if (options.x11 && options.wayland) return OptionsError{"--x11 and --wayland exclude each other"};
    const bool ownWindows = target.kind == DrawTarget::Kind::FullScreen || target.kind == DrawTarget::Kind::OwnWindow;
    if (!ownWindows) {
        if (options.wayland)
            return OptionsError{"--wayland works only with --fullscreen and --window; a host's window is an X window"};
        return DisplayProtocol::X11;
    }
    if (options.x11) return DisplayProtocol::X11;
    if (options.wayland) return DisplayProtocol::Wayland;
    if (session.waylandDisplay && *session.waylandDisplay) return DisplayProtocol::Wayland;
    if (session.sessionType && std::string_view(session.sessionType) == "wayland" && compositorAnswers())
        return DisplayProtocol::Wayland;
    return DisplayProtocol::X11;
}

}  // namespace tamaruka

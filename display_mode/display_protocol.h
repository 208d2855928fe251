#pragma once
#include <functional>
#include <variant>

#include "display_mode/display_mode_options.h"

namespace tamaruka {

// The display system that the windows are made on.
enum class DisplayProtocol { X11, Wayland };

// What the environment says of the session; null for an unset variable.
struct SessionEnvironment {
    const char* waylandDisplay = nullptr;  // $WAYLAND_DISPLAY
    const char* sessionType = nullptr;     // $XDG_SESSION_TYPE
};

// Windows of its own (--fullscreen, --window) are made on Wayland with
// --wayland, when $WAYLAND_DISPLAY is set, or in a session of the type
// "wayland" where `compositorAnswers` finds a compositor; --x11 and every
// other case take the X server. A host's window (--root, --window-id,
// $XSCREENSAVER_WINDOW) is always an X window. `compositorAnswers` is asked
// only when the rest leaves the choice open.
std::variant<DisplayProtocol, OptionsError> chooseDisplayProtocol(const DisplayModeOptions& options,
                                                                  const DrawTarget& target,
                                                                  const SessionEnvironment& session,
                                                                  const std::function<bool()>& compositorAnswers);

}  // namespace tamaruka

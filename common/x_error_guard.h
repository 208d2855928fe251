#pragma once
#include <functional>
#include <string>

struct _XDisplay;

namespace tamaruka {

// Xlib's error handlers fit for windows that other clients may destroy:
// - a window or drawable that vanished (BadWindow, BadDrawable and their GLX
//   counterparts) is noted, never fatal; the program learns of it through
//   xDrawableLost() or its own notifications;
// - other protocol errors are shown on stderr when asked, a few at most;
// - a lost connection leaves nothing to release: the program says so in one
//   line on stderr, runs its last action and ends at once with the given
//   exit code.
struct XErrorGuard {
    std::string connectionLostLine;  // without the line break
    int connectionLostExitCode = 1;
    std::function<void(_XDisplay* lost)> connectionLostAction;  // may be empty
    const char* reportOtherErrorsAs = nullptr;                  // program name; none: quiet
};

// glxErrorBase: GLX's first error number on the connection, -1 without GLX.
void installXErrorGuard(XErrorGuard guard, int glxErrorBase = -1);

// Whether the server reported a window or drawable as gone since the start.
bool xDrawableLost();

}  // namespace tamaruka

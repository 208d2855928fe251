#include "common/x_error_guard.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

namespace tamaruka {

namespace {

// GLX's own error numbers for a drawable that is gone (from the GLX protocol,
// whose header does not stand on its own).
constexpr int GLXBadDrawable = 2;
constexpr int GLXBadCurrentWindow = 5;
constexpr int GLXBadWindow = 12;

XErrorGuard installed;
int glxErrors = -1;
bool lostDrawable = false;
int otherErrorsShown = 0;

int onXError(Display* display, XErrorEvent* error) {
    const int code = error->error_code;
    const bool glxDrawable =
        glxErrors >= 0 && (code == glxErrors + GLXBadDrawable || code == glxErrors + GLXBadCurrentWindow ||
                           code == glxErrors + GLXBadWindow);
    if (code == BadWindow || code == BadDrawable || glxDrawable) {
        lostDrawable = true;
        return 0;
    }
    // Anything else is unexpected; say so a few times without stopping.
    if (installed.reportOtherErrorsAs && otherErrorsShown < 5) {
        ++otherErrorsShown;
        char text[256];
        XGetErrorText(display, code, text, sizeof text);
        std::fprintf(stderr, "%s: X error: %s (request %d.%d)\n", installed.reportOtherErrorsAs, text,
                     error->request_code, error->minor_code);
    }
    return 0;
}

int onConnectionLost(Display* lost) {
    const std::string line = installed.connectionLostLine + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    if (installed.connectionLostAction) installed.connectionLostAction(lost);
    // Xlib cannot go on, and the server has freed the connection's windows
    // and contexts already.
    ::_exit(installed.connectionLostExitCode);
}

}  // namespace

void installXErrorGuard(XErrorGuard guard, int glxErrorBase) {
    installed = std::move(guard);
    glxErrors = glxErrorBase;
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onConnectionLost);
}

bool xDrawableLost() { return lostDrawable; }

}  // namespace tamaruka

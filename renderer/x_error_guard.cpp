#include "renderer/x_error_guard.h"

#include <X11/Xlib.h>
#include <unistd.h>

namespace tamaruka {

namespace {

int ignoreError(Display*, XErrorEvent*) { return 0; }

int connectionLost(Display*) {
    static const char text[] = "Tamaruka.data: the connection to the X server was lost\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, sizeof text - 1);
    // Nothing of the connection, the window or the context can be released
    // any more; the server has freed them already.
    ::_exit(0);
}

}  // namespace

void installXErrorGuard() {
    XSetErrorHandler(ignoreError);
    XSetIOErrorHandler(connectionLost);
}

}  // namespace tamaruka

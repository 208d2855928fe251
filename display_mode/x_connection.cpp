#include "display_mode/x_connection.h"

#include <GL/glx.h>
#include <cstdio>
#include <unistd.h>

#include "display_mode/startup_error.h"

namespace tamaruka {

namespace {

// GLX's own error numbers for a drawable that is gone (from the GLX protocol,
// whose header does not stand on its own).
constexpr int GLXBadDrawable = 2;
constexpr int GLXBadCurrentWindow = 5;
constexpr int GLXBadWindow = 12;

bool lostDrawable = false;
int glxErrorBase = -1;
int otherErrorsShown = 0;
std::function<void()> connectionLostAction;

int onXError(Display* display, XErrorEvent* error) {
    const int code = error->error_code;
    const bool glxDrawable = glxErrorBase >= 0 && (code == glxErrorBase + GLXBadDrawable ||
                                                   code == glxErrorBase + GLXBadCurrentWindow ||
                                                   code == glxErrorBase + GLXBadWindow);
    if (code == BadWindow || code == BadDrawable || glxDrawable) {
        lostDrawable = true;
        return 0;
    }
    // Anything else is unexpected; say so a few times without stopping.
    if (otherErrorsShown < 5) {
        ++otherErrorsShown;
        char text[256];
        XGetErrorText(display, code, text, sizeof text);
        std::fprintf(stderr, "tamaruka: X error: %s (request %d.%d)\n", text, error->request_code,
                     error->minor_code);
    }
    return 0;
}

int onXConnectionLost(Display*) {
    std::fputs("tamaruka: lost the connection to the X display\n", stderr);
    if (connectionLostAction) connectionLostAction();
    _exit(1);  // Xlib cannot go on; nothing of it may run any more
}

}  // namespace

XConnection::XConnection() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        const char* name = XDisplayName(nullptr);
        throw StartupError(std::string("cannot open the X display '") + (name ? name : "") + "'");
    }
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXConnectionLost);
    int eventBase = 0;
    if (!glXQueryExtension(display_, &glxErrorBase, &eventBase)) glxErrorBase = -1;
}

XConnection::~XConnection() { XCloseDisplay(display_); }

bool XConnection::drawableLost() { return lostDrawable; }

void XConnection::setConnectionLostAction(std::function<void()> action) {
    connectionLostAction = std::move(action);
}

}  // namespace tamaruka

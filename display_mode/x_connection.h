#pragma once
#include <functional>
#include <string>

#include <X11/Xlib.h>

namespace tamaruka {

// The connection to the X server, with error handlers fit for drawing into
// windows that belong to other programs: a window (or drawable) that vanished
// is noted instead of ending the program, and a lost connection ends it at
// once instead of leaving it hanging.
class XConnection {
public:
    // Opens $DISPLAY; throws StartupError when it cannot.
    XConnection();
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    Display* display() const { return display_; }
    int fd() const { return ConnectionNumber(display_); }
    std::string name() const { return DisplayString(display_); }

    // Whether the server reported a window or drawable of ours as gone
    // (BadWindow, BadDrawable or their GLX counterparts) since the start.
    static bool drawableLost();

    // Run when the connection breaks, just before the program exits with 1.
    static void setConnectionLostAction(std::function<void()> action);

private:
    Display* display_ = nullptr;
};

}  // namespace tamaruka

#include "tests/support/window_text.h"

#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace tamaruka::test {
namespace {

struct Connection {
    Display* display = XOpenDisplay(nullptr);
    ~Connection()
    {
        if (display) XCloseDisplay(display);
    }
};

}  // namespace

void pressControlC()
{
    Connection x;
    if (!x.display) return;
    const KeyCode control = XKeysymToKeycode(x.display, XK_Control_L);
    const KeyCode c = XKeysymToKeycode(x.display, XK_c);
    XTestFakeKeyEvent(x.display, control, True, CurrentTime);
    XTestFakeKeyEvent(x.display, c, True, CurrentTime);
    XTestFakeKeyEvent(x.display, c, False, CurrentTime);
    XTestFakeKeyEvent(x.display, control, False, CurrentTime);
    XSync(x.display, False);
}

std::optional<std::string> copyWindowText(XClient& x, WindowId window)
{
    const Rect area = x.geometry(window);
    x.movePointer(area.x + area.width / 2, area.y + 5);
    std::optional<std::string> copied;
    waitUntil(
        [&] {
            pressControlC();
            copied = readClipboard(std::chrono::milliseconds(500));
            return copied.has_value();
        },
        std::chrono::seconds(10));
    return copied;
}

std::optional<std::string> readClipboard(std::chrono::milliseconds timeout)
{
    Connection x;
    if (!x.display) return std::nullopt;
    Display* d = x.display;
    const Window window = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom property = XInternAtom(d, "TAMARUKA_TEST_CLIPBOARD", False);
    XConvertSelection(d, clipboard, utf8, property, window, CurrentTime);
    XFlush(d);

    XEvent event;
    if (waitUntil([&] { return XCheckTypedWindowEvent(d, window, SelectionNotify, &event); }, timeout)) {
        if (event.xselection.property == None) return std::nullopt;  // nobody owns it
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(d, window, property, 0, 1 << 20, True, AnyPropertyType, &type, &format,
                           &count, &after, &data);
        std::string text = data ? std::string(reinterpret_cast<char*>(data), count) : "";
        if (data) XFree(data);
        return text;
    }
    return std::nullopt;
}

FramedWindow createFramedWindow(const std::string& caption, int frames)
{
    Connection x;
    if (!x.display) return {};
    Display* d = x.display;
    const Window frame = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 50, 50, 0, 0, 0);
    Window inner = frame;
    for (int level = 1; level < frames; ++level) inner = XCreateSimpleWindow(d, inner, 0, 0, 50, 50, 0, 0, 0);
    // Made elsewhere, then reparented into the innermost frame, as a window
    // manager does.
    const Window client = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 10, 50, 40, 0, 0, 0);
    XReparentWindow(d, client, inner, 0, 10);
    XStoreName(d, client, caption.c_str());
    // The windows outlive this connection.
    XSetCloseDownMode(d, RetainPermanent);
    XSync(d, False);
    return {static_cast<std::uint32_t>(frame), static_cast<std::uint32_t>(client)};
}

void destroyFramedWindow(const FramedWindow& window)
{
    Connection x;
    if (!x.display) return;
    XDestroyWindow(x.display, window.frame);
    XSync(x.display, False);
}

}  // namespace tamaruka::test

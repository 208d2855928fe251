#include "tests/ui/x_input.h"

#include <map>
#include <thread>

#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace tamaruka::test {
namespace {

using namespace std::chrono_literals;

struct Connection {
    Display* display = XOpenDisplay(nullptr);
    ~Connection()
    {
        if (display) XCloseDisplay(display);
    }
};

// Code points of the UTF-8 text.
std::vector<unsigned long> codePoints(const std::string& utf8)
{
    std::vector<unsigned long> points;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        unsigned long point = length == 1 ? lead : lead & (0x3F >> (length - 1));
        for (int k = 1; k < length && i + k < utf8.size(); ++k)
            point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        points.push_back(point);
        i += length;
    }
    return points;
}

// A key with no symbols on it, for characters the map lacks.
KeyCode spareKey(Display* d)
{
    int first = 0, last = 0, perKey = 0;
    XDisplayKeycodes(d, &first, &last);
    KeySym* map = XGetKeyboardMapping(d, static_cast<KeyCode>(first), last - first + 1, &perKey);
    KeyCode spare = 0;
    for (int code = last; code >= first && spare == 0; --code) {
        bool empty = true;
        for (int k = 0; k < perKey; ++k) empty = empty && map[(code - first) * perKey + k] == NoSymbol;
        if (empty) spare = static_cast<KeyCode>(code);
    }
    XFree(map);
    return spare;
}

}  // namespace

void typeText(const std::string& utf8)
{
    Connection x;
    if (!x.display) return;
    const KeyCode spare = spareKey(x.display);
    const KeyCode shift = XKeysymToKeycode(x.display, XK_Shift_L);
    for (const unsigned long point : codePoints(utf8)) {
        // Latin-1 keysyms are their code points; the others are 0x1000000 + code point.
        KeySym keysym = point < 0x100 ? point : 0x1000000 + point;
        KeyCode code = XKeysymToKeycode(x.display, keysym);
        bool shifted = false;
        if (code != 0 && XkbKeycodeToKeysym(x.display, code, 0, 0) != keysym) {
            shifted = XkbKeycodeToKeysym(x.display, code, 0, 1) == keysym;
            if (!shifted) code = 0;
        }
        if (code == 0) {
            // The same symbol on both levels, so no case rule applies.
            KeySym both[2] = {keysym, keysym};
            XChangeKeyboardMapping(x.display, spare, 2, both, 1);
            XSync(x.display, False);
            std::this_thread::sleep_for(100ms);  // clients reload the map first
            code = spare;
        }
        if (shifted) XTestFakeKeyEvent(x.display, shift, True, CurrentTime);
        XTestFakeKeyEvent(x.display, code, True, CurrentTime);
        XTestFakeKeyEvent(x.display, code, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(x.display, shift, False, CurrentTime);
        XSync(x.display, False);
        std::this_thread::sleep_for(10ms);
    }
}

void pressChord(const std::vector<unsigned long>& keysyms)
{
    Connection x;
    if (!x.display) return;
    for (const unsigned long keysym : keysyms)
        XTestFakeKeyEvent(x.display, XKeysymToKeycode(x.display, keysym), True, CurrentTime);
    for (auto k = keysyms.rbegin(); k != keysyms.rend(); ++k)
        XTestFakeKeyEvent(x.display, XKeysymToKeycode(x.display, *k), False, CurrentTime);
    XSync(x.display, False);
}

WindowId topLevelAncestor(WindowId window)
{
    Connection x;
    if (!x.display) return window;
    Window current = window;
    for (;;) {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(x.display, current, &root, &parent, &children, &count)) return window;
        if (children) XFree(children);
        if (parent == root || parent == 0) return static_cast<WindowId>(current);
        current = parent;
    }
}

bool windowManagerRunning()
{
    Connection x;
    if (!x.display) return false;
    // The root names the window manager's check window, which names itself;
    // a window manager that has gone leaves the root's property behind.
    const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    const auto checkWindow = [&](::Window on) -> ::Window {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        ::Window named = 0;
        XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        if (XGetWindowProperty(x.display, on, check, 0, 1, False, XA_WINDOW, &type, &format, &count,
                               &after, &data) == Success && count == 1)
            named = *reinterpret_cast<::Window*>(data);
        XSync(x.display, False);
        XSetErrorHandler(previous);
        if (data) XFree(data);
        return named;
    };
    const ::Window named = checkWindow(DefaultRootWindow(x.display));
    return named != 0 && checkWindow(named) == named;
}

struct OverrideRedirectWatcher::State {
    Connection x;
    struct Window {
        Rect place;
        bool mapped = false;
        std::vector<Rect> shown;
    };
    std::map<::Window, Window> windows;
};

OverrideRedirectWatcher::OverrideRedirectWatcher() : state_(std::make_unique<State>())
{
    if (state_->x.display)
        XSelectInput(state_->x.display, DefaultRootWindow(state_->x.display), SubstructureNotifyMask);
    if (state_->x.display) XSync(state_->x.display, False);
}

OverrideRedirectWatcher::~OverrideRedirectWatcher() = default;

std::vector<std::vector<Rect>> OverrideRedirectWatcher::shownAndGone()
{
    std::vector<std::vector<Rect>> gone;
    Display* d = state_->x.display;
    if (!d) return gone;
    XSync(d, False);
    auto& windows = state_->windows;
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type == CreateNotify && event.xcreatewindow.override_redirect) {
            const XCreateWindowEvent& e = event.xcreatewindow;
            windows[e.window].place = {e.x, e.y, e.width, e.height};
        } else if (event.type == ConfigureNotify && windows.count(event.xconfigure.window)) {
            const XConfigureEvent& e = event.xconfigure;
            auto& w = windows[e.window];
            w.place = {e.x, e.y, e.width, e.height};
            if (w.mapped) w.shown.push_back(w.place);
        } else if (event.type == MapNotify && windows.count(event.xmap.window)) {
            auto& w = windows[event.xmap.window];
            w.mapped = true;
            w.shown.push_back(w.place);
        } else if (event.type == UnmapNotify && windows.count(event.xunmap.window)) {
            auto& w = windows[event.xunmap.window];
            if (w.mapped) gone.push_back(w.shown);
            w.mapped = false;
            w.shown.clear();
        }
    }
    return gone;
}

}  // namespace tamaruka::test

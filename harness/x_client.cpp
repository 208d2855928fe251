#include "harness/harness.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdexcept>
#include <thread>

namespace tamaruka::test {

namespace {

// Windows come and go under the tests' feet; a vanished window must not abort
// the test binary through Xlib's default error handler.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

struct XClient::Impl {
    Display* display = nullptr;
    Window root = 0;
    Atom wmName = 0, netWmName = 0, utf8String = 0, wmProtocols = 0, wmDeleteWindow = 0;

    std::string textProperty(Window window, Atom property) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        std::string text;
        if (XGetWindowProperty(display, window, property, 0, 1024, False, AnyPropertyType, &type,
                               &format, &count, &remaining, &data) == Success &&
            data) {
            if (format == 8) text.assign(reinterpret_cast<char*>(data), count);
            XFree(data);
        }
        return text;
    }

    std::vector<Window> children(Window parent) {
        Window rootReturn = 0, parentReturn = 0;
        Window* list = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;
        if (XQueryTree(display, parent, &rootReturn, &parentReturn, &list, &count) && list) {
            result.assign(list, list + count);
            XFree(list);
        }
        return result;
    }
};

XClient::XClient(const std::string& displayName) : impl_(new Impl) {
    XSetErrorHandler(ignoreXErrors);
    impl_->display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!impl_->display) {
        delete impl_;
        throw std::runtime_error("cannot open X display " + displayName);
    }
    impl_->root = DefaultRootWindow(impl_->display);
    impl_->wmName = XA_WM_NAME;
    impl_->netWmName = XInternAtom(impl_->display, "_NET_WM_NAME", False);
    impl_->utf8String = XInternAtom(impl_->display, "UTF8_STRING", False);
    impl_->wmProtocols = XInternAtom(impl_->display, "WM_PROTOCOLS", False);
    impl_->wmDeleteWindow = XInternAtom(impl_->display, "WM_DELETE_WINDOW", False);
}

XClient::~XClient() {
    XCloseDisplay(impl_->display);
    delete impl_;
}

std::string XClient::title(WindowId window) {
    std::string name = impl_->textProperty(window, impl_->netWmName);
    return name.empty() ? impl_->textProperty(window, impl_->wmName) : name;
}

std::vector<WindowId> XClient::findWindows(const std::string& wanted) {
    std::vector<WindowId> found;
    auto matches = [&](Window w) {
        return impl_->textProperty(w, impl_->wmName) == wanted ||
               impl_->textProperty(w, impl_->netWmName) == wanted;
    };
    for (Window top : impl_->children(impl_->root)) {
        if (matches(top)) found.push_back(static_cast<WindowId>(top));
        // Under a reparenting window manager the client is a child of its frame.
        for (Window inner : impl_->children(top))
            if (matches(inner)) found.push_back(static_cast<WindowId>(inner));
    }
    return found;
}

std::optional<WindowId> XClient::findWindow(const std::string& wanted) {
    auto all = findWindows(wanted);
    if (all.empty()) return std::nullopt;
    return all.front();
}

std::optional<WindowId> XClient::waitForWindow(const std::string& wanted,
                                               std::chrono::milliseconds timeout,
                                               bool mustBeMapped) {
    std::optional<WindowId> result;
    waitUntil(
        [&] {
            for (WindowId w : findWindows(wanted))
                if (!mustBeMapped || isMapped(w)) {
                    result = w;
                    return true;
                }
            return false;
        },
        timeout);
    return result;
}

bool XClient::waitForWindowGone(const std::string& wanted, std::chrono::milliseconds timeout) {
    return waitUntil([&] { return findWindows(wanted).empty(); }, timeout);
}

bool XClient::isMapped(WindowId window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(impl_->display, window, &attributes)) return false;
    return attributes.map_state == IsViewable;
}

Rect XClient::geometry(WindowId window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(impl_->display, window, &attributes)) return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(impl_->display, window, impl_->root, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

WindowId XClient::createWindow(const std::string& wanted, int width, int height, bool mapped,
                               std::uint32_t backgroundPixel) {
    Window window = XCreateSimpleWindow(impl_->display, impl_->root, 0, 0,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height),
                                        0, 0, backgroundPixel);
    XStoreName(impl_->display, window, wanted.c_str());
    XChangeProperty(impl_->display, window, impl_->netWmName, impl_->utf8String, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(wanted.data()),
                    static_cast<int>(wanted.size()));
    if (mapped) XMapWindow(impl_->display, window);
    XSync(impl_->display, False);
    return static_cast<WindowId>(window);
}

void XClient::destroyWindow(WindowId window) {
    XDestroyWindow(impl_->display, window);
    XSync(impl_->display, False);
}

void XClient::moveResizeWindow(WindowId window, const Rect& area) {
    XMoveResizeWindow(impl_->display, window, area.x, area.y, static_cast<unsigned>(area.width),
                      static_cast<unsigned>(area.height));
    XSync(impl_->display, False);
}

std::vector<WindowId> XClient::topLevelWindows() {
    std::vector<WindowId> windows;
    for (Window w : impl_->children(impl_->root)) windows.push_back(static_cast<WindowId>(w));
    return windows;
}

void XClient::closeWindow(WindowId window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = impl_->wmProtocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(impl_->wmDeleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(impl_->display, window, False, NoEventMask, &event);
    XSync(impl_->display, False);
}

void XClient::movePointer(int x, int y) {
    XTestFakeMotionEvent(impl_->display, -1, x, y, CurrentTime);
    XSync(impl_->display, False);
}

std::pair<int, int> XClient::pointerPosition() {
    Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, winX = 0, winY = 0;
    unsigned int mask = 0;
    XQueryPointer(impl_->display, impl_->root, &rootReturn, &child, &rootX, &rootY, &winX, &winY,
                  &mask);
    return {rootX, rootY};
}

void XClient::pressKey(unsigned long keysym) {
    KeyCode code = XKeysymToKeycode(impl_->display, keysym);
    XTestFakeKeyEvent(impl_->display, code, True, CurrentTime);
    XTestFakeKeyEvent(impl_->display, code, False, CurrentTime);
    XSync(impl_->display, False);
}

void XClient::buttonDown(int button) {
    XTestFakeButtonEvent(impl_->display, static_cast<unsigned>(button), True, CurrentTime);
    XSync(impl_->display, False);
}

void XClient::buttonUp(int button) {
    XTestFakeButtonEvent(impl_->display, static_cast<unsigned>(button), False, CurrentTime);
    XSync(impl_->display, False);
}

void XClient::click(int button) {
    buttonDown(button);
    buttonUp(button);
}

Screenshot XClient::capture() { return capture({0, 0, screenWidth(), screenHeight()}); }

Screenshot XClient::capture(const Rect& area) {
    Screenshot shot;
    XImage* image = XGetImage(impl_->display, impl_->root, area.x, area.y,
                              static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                              AllPlanes, ZPixmap);
    if (!image) return shot;
    shot.width = area.width;
    shot.height = area.height;
    shot.rgb.resize(static_cast<std::size_t>(area.width) * area.height * 3);
    // Channel shifts from the visual's masks (Xvfb's 24-bit TrueColor: 0xff0000 ...).
    auto shiftOf = [](unsigned long mask) {
        int shift = 0;
        while (mask && !(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        return shift;
    };
    const int rs = shiftOf(image->red_mask), gs = shiftOf(image->green_mask),
              bs = shiftOf(image->blue_mask);
    std::size_t i = 0;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            shot.rgb[i++] = static_cast<std::uint8_t>((p & image->red_mask) >> rs);
            shot.rgb[i++] = static_cast<std::uint8_t>((p & image->green_mask) >> gs);
            shot.rgb[i++] = static_cast<std::uint8_t>((p & image->blue_mask) >> bs);
        }
    XDestroyImage(image);
    return shot;
}

void XClient::sync() { XSync(impl_->display, False); }
int XClient::screenWidth() { return DisplayWidth(impl_->display, DefaultScreen(impl_->display)); }
int XClient::screenHeight() { return DisplayHeight(impl_->display, DefaultScreen(impl_->display)); }

}  // namespace tamaruka::test

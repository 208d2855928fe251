#include "display_mode/x_screen.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <cstring>

#include "common/mode_refresh.h"
#include "display_mode/gl_window_surface.h"

namespace tamaruka {

namespace {

bool hasRandr(Display* display) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) &&
           XRRQueryVersion(display, &major, &minor) && (major > 1 || minor >= 5);
}

// RandR's first event code; -1 without the extension.
int randrEventBase(Display* display) {
    int eventBase = 0, errorBase = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) ? eventBase : -1;
}

void setTitle(Display* display, Window window, const char* title) {
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), static_cast<int>(std::strlen(title)));
    XClassHint classHint{const_cast<char*>("tamaruka"), const_cast<char*>("Tamaruka")};
    XSetClassHint(display, window, &classHint);
}

Window createGlWindow(Display* display, const ScreenArea& area, unsigned long extraMask,
                      XSetWindowAttributes attributes) {
    const int screen = DefaultScreen(display);
    XVisualInfo visual = chooseGlVisual(display, screen);
    const Window root = RootWindow(display, screen);
    attributes.colormap = XCreateColormap(display, root, visual.visual, AllocNone);
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.border_pixel = 0;
    return XCreateWindow(display, root, area.x, area.y, static_cast<unsigned>(area.width),
                         static_cast<unsigned>(area.height), 0, visual.depth, InputOutput,
                         visual.visual, CWColormap | CWBackPixel | CWBorderPixel | extraMask,
                         &attributes);
}

Cursor blankCursor(Display* display, Window window) {
    const char noBits[1] = {0};
    const Pixmap empty = XCreateBitmapFromData(display, window, noBits, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

}  // namespace

std::vector<ScreenArea> listMonitors(Display* display) {
    std::vector<ScreenArea> monitors;
    const Window root = DefaultRootWindow(display);
    if (hasRandr(display)) {
        int count = 0;
        if (XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &count)) {
            for (int i = 0; i < count; ++i)
                monitors.push_back({list[i].x, list[i].y, list[i].width, list[i].height});
            XRRFreeMonitors(list);
        }
    }
    if (monitors.empty()) {
        const int screen = DefaultScreen(display);
        monitors.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
    }
    return monitors;
}

std::vector<DisplayOutput> listOutputs(Display* display) {
    std::vector<DisplayOutput> outputs;
    if (!hasRandr(display)) return outputs;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return outputs;
    for (int c = 0; c < resources->ncrtc; ++c) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[c]);
        if (!crtc) continue;
        if (crtc->mode != None) {
            DisplayOutput output{{crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height)}, 0};
            for (int m = 0; m < resources->nmode; ++m) {
                const XRRModeInfo& mode = resources->modes[m];
                if (mode.id != crtc->mode) continue;
                output.refreshHz = modeRefreshHz(mode.dotClock, mode.hTotal, mode.vTotal,
                                                 (mode.modeFlags & RR_DoubleScan) != 0,
                                                 (mode.modeFlags & RR_Interlace) != 0);
            }
            outputs.push_back(output);
        }
        XRRFreeCrtcInfo(crtc);
    }
    XRRFreeScreenResources(resources);
    return outputs;
}

ScreenArea windowArea(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return {};
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    return {x, y, attributes.width, attributes.height};
}

Window createOwnWindow(Display* display, int width, int height) {
    XSetWindowAttributes attributes{};
    attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
    const Window window = createGlWindow(display, {0, 0, width, height}, CWEventMask, attributes);
    setTitle(display, window, "Tamaruka");
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
    XMapWindow(display, window);
    return window;
}

Window createCoverWindow(Display* display, const ScreenArea& area) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask | ButtonPressMask | PointerMotionMask;
    const Window window = createGlWindow(display, area, CWOverrideRedirect | CWEventMask, attributes);
    setTitle(display, window, "Tamaruka");
    const Cursor cursor = blankCursor(display, window);
    XDefineCursor(display, window, cursor);
    XFreeCursor(display, cursor);
    XMapRaised(display, window);
    return window;
}

void watchMonitorChanges(Display* display) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, root, &attributes);
    XSelectInput(display, root, attributes.your_event_mask | StructureNotifyMask);
    if (randrEventBase(display) >= 0)
        XRRSelectInput(display, root, RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
}

bool isMonitorChange(Display* display, XEvent& event) {
    const int eventBase = randrEventBase(display);
    const bool rootConfigured = event.type == ConfigureNotify && event.xconfigure.window == DefaultRootWindow(display);
    const bool screenChanged = eventBase >= 0 && event.type == eventBase + RRScreenChangeNotify;
    if (rootConfigured || screenChanged) {
        XRRUpdateConfiguration(&event);
        return true;
    }
    return eventBase >= 0 && event.type == eventBase + RRNotify;
}

void destroyCoverWindow(Display* display, Window window) {
    XWindowAttributes attributes{};
    const bool known = XGetWindowAttributes(display, window, &attributes);
    XDestroyWindow(display, window);
    if (known && attributes.colormap != None) XFreeColormap(display, attributes.colormap);
}

}  // namespace tamaruka

#pragma once
#include <vector>

#include <X11/Xlib.h>

#include "display_mode/screen_areas.h"

namespace tamaruka {

// The X screen as RandR describes it, and the windows tamaruka makes itself.

// The active RandR monitors of the default screen; the whole screen when
// RandR lists none.
std::vector<ScreenArea> listMonitors(Display* display);

// Every lit CRTC with its mode's refresh rate (0 when the mode gives none).
std::vector<DisplayOutput> listOutputs(Display* display);

// Where the window lies on the screen, in root coordinates.
ScreenArea windowArea(Display* display, Window window);

// A resizable top-level window of width x height titled "Tamaruka", with a
// GL visual, asking the window manager for the close button's message.
Window createOwnWindow(Display* display, int width, int height);

// A borderless window over one monitor, above everything, without a pointer.
Window createCoverWindow(Display* display, const ScreenArea& area);

// Asks for the events that tell of monitors added, removed or moved: RandR's
// screen, CRTC and output changes, and the root window's ConfigureNotify,
// which is all a monitor that a client sets or deletes (xrandr --setmonitor,
// --delmonitor) brings.
void watchMonitorChanges(Display* display);

// Whether `event` is one of those; brings Xlib's idea of the screen's size up
// to date as RandR asks of its clients.
bool isMonitorChange(Display* display, XEvent& event);

// Destroys a window of createCoverWindow with its colormap.
void destroyCoverWindow(Display* display, Window window);

}  // namespace tamaruka

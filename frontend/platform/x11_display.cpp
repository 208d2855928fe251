#include "frontend/platform/x11_display.h"

#include <cstdlib>

#include "frontend/platform/x11_connection.h"

namespace tamaruka::x11 {
namespace {

xcb_connection_t* theConnection = nullptr;
xcb_screen_t* theScreen = nullptr;

}  // namespace

bool openDisplay(std::string& reason)
{
    if (theConnection) return true;
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        reason = "no X display (DISPLAY is not set)";
        return false;
    }
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        reason = std::string("cannot open the X display \"") + display + "\"";
        return false;
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) {
        xcb_disconnect(connection);
        reason = std::string("the X display \"") + display + "\" has no such screen";
        return false;
    }
    theConnection = connection;
    theScreen = it.data;
    return true;
}

xcb_connection_t* connection() { return theConnection; }
xcb_screen_t* screen() { return theScreen; }

int rootBitsPerPixel()
{
    if (!theConnection) return 32;
    const xcb_setup_t* setup = xcb_get_setup(theConnection);
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem; xcb_format_next(&it)) {
        if (it.data->depth == theScreen->root_depth)
            return it.data->bits_per_pixel == 24 ? 24 : 32;
    }
    return 32;
}

void flush()
{
    if (theConnection) xcb_flush(theConnection);
}

}  // namespace tamaruka::x11

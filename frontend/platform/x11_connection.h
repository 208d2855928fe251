#pragma once
#include <xcb/xcb.h>

namespace tamaruka::x11 {

// The connection opened by openDisplay(), or null when there is none.
xcb_connection_t* connection();
xcb_screen_t* screen();

}  // namespace tamaruka::x11

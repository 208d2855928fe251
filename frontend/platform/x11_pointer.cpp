#include "frontend/platform/x11_pointer.h"

#include <cstdlib>
#include <xcb/xfixes.h>

#include "frontend/platform/display_counter.h"
#include "frontend/platform/x11_connection.h"

namespace tamaruka {
namespace {

// XFixes hides the pointer for as long as this client's connection lives, so
// the process's own connection carries it.
void setPointerVisible(bool visible)
{
    xcb_connection_t* c = x11::connection();
    if (!c) return;
    static bool versionAnnounced = false;
    if (!versionAnnounced) {
        // XFixes answers nothing else before the client has announced its version.
        std::free(xcb_xfixes_query_version_reply(
            c, xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION),
            nullptr));
        versionAnnounced = true;
    }
    const xcb_window_t root = x11::screen()->root;
    if (visible)
        xcb_xfixes_show_cursor(c, root);
    else
        xcb_xfixes_hide_cursor(c, root);
    xcb_flush(c);
}

}  // namespace

std::optional<CursorPosition> getCursorPos()
{
    xcb_connection_t* c = x11::connection();
    if (!c) return std::nullopt;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, x11::screen()->root), nullptr);
    if (!reply) return std::nullopt;
    std::optional<CursorPosition> position;
    if (reply->same_screen) position = CursorPosition{reply->root_x, reply->root_y};
    std::free(reply);
    return position;
}

int showCursor(bool show)
{
    static DisplayCounter counter(setPointerVisible);
    return counter.show(show);
}

}  // namespace tamaruka

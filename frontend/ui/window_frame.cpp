#include "frontend/ui/window_frame.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <thread>

#include "frontend/platform/x11_connection.h"

namespace tamaruka {
namespace {

template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPtr<Reply> owned(Reply* reply) { return ReplyPtr<Reply>(reply, &std::free); }

xcb_atom_t atom(xcb_connection_t* c, std::string_view name)
{
    const auto reply = owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The window on which a running window manager names itself: the root's
// _NET_SUPPORTING_WM_CHECK, which must point to itself (a window manager
// that has gone leaves the root's property behind).
bool windowManagerRuns(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_atom_t check = atom(c, "_NET_SUPPORTING_WM_CHECK");
    const auto checkWindow = [&](xcb_window_t on) -> xcb_window_t {
        const auto reply = owned(xcb_get_property_reply(
            c, xcb_get_property(c, 0, on, check, XCB_ATOM_WINDOW, 0, 1), nullptr));
        if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 4)
            return XCB_WINDOW_NONE;
        return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    };
    const xcb_window_t named = checkWindow(root);
    return named != XCB_WINDOW_NONE && checkWindow(named) == named;
}

// The window manager lists the requests it answers on the root window.
bool windowManagerSupports(xcb_connection_t* c, xcb_window_t root, xcb_atom_t wanted)
{
    if (!windowManagerRuns(c, root)) return false;
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, atom(c, "_NET_SUPPORTED"), XCB_ATOM_ATOM, 0, 4096), nullptr));
    if (!reply || reply->format != 32) return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, wanted) != atoms + count;
}

std::optional<FrameExtents> frameExtentsProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t extents)
{
    const auto reply = owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) return std::nullopt;
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return FrameExtents{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                        static_cast<int>(v[3])};
}

}  // namespace

std::optional<FrameExtents> requestFrameExtents(std::uint32_t window, std::chrono::milliseconds wait)
{
    xcb_connection_t* c = x11::connection();
    const xcb_screen_t* screen = x11::screen();
    if (!c || !screen) return std::nullopt;
    const xcb_atom_t request = atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    const xcb_atom_t extents = atom(c, "_NET_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || !windowManagerSupports(c, screen->root, request)) return std::nullopt;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (const auto answer = frameExtentsProperty(c, window, extents)) return answer;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace tamaruka

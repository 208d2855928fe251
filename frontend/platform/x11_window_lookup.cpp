#include "frontend/platform/x11_window_lookup.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "frontend/platform/x11_connection.h"

namespace tamaruka::x11 {
namespace {

std::vector<xcb_window_t> childrenOf(xcb_connection_t* c, const std::vector<xcb_window_t>& parents)
{
    // All queries go out before the first reply is read: one round trip.
    std::vector<xcb_query_tree_cookie_t> cookies;
    cookies.reserve(parents.size());
    for (xcb_window_t parent : parents) cookies.push_back(xcb_query_tree(c, parent));
    std::vector<xcb_window_t> children;
    for (auto cookie : cookies) {
        xcb_query_tree_reply_t* reply = xcb_query_tree_reply(c, cookie, nullptr);
        if (!reply) continue;  // the window went away meanwhile
        const xcb_window_t* list = xcb_query_tree_children(reply);
        children.insert(children.end(), list, list + xcb_query_tree_children_length(reply));
        std::free(reply);
    }
    return children;
}

xcb_atom_t netWmName(xcb_connection_t* c)
{
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom == XCB_ATOM_NONE) {
        const char name[] = "_NET_WM_NAME";
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
        if (reply) {
            atom = reply->atom;
            std::free(reply);
        }
    }
    return atom;
}

bool propertyEquals(xcb_connection_t* c, xcb_get_property_cookie_t cookie, std::string_view text)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    if (!reply) return false;
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
    const bool equal = reply->format == 8 && length == text.size() &&
                       std::memcmp(xcb_get_property_value(reply), text.data(), length) == 0;
    std::free(reply);
    return equal;
}

}  // namespace

std::optional<std::uint32_t> findTopLevelWindow(std::string_view caption)
{
    xcb_connection_t* c = connection();
    if (!c) return std::nullopt;
    // Window managers wrap a client in one frame or in several nested ones,
    // so the whole tree is searched, one round trip per level.
    std::vector<xcb_window_t> windows;
    for (std::vector<xcb_window_t> level = childrenOf(c, {screen()->root}); !level.empty();
         level = childrenOf(c, level))
        windows.insert(windows.end(), level.begin(), level.end());

    const xcb_atom_t utf8Name = netWmName(c);
    const uint32_t longLength = static_cast<uint32_t>(caption.size() / 4 + 2);
    struct Cookies {
        xcb_get_property_cookie_t wmName, netWmName;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (xcb_window_t window : windows) {
        cookies.push_back({xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0,
                                            longLength),
                           xcb_get_property(c, 0, window, utf8Name, XCB_ATOM_ANY, 0, longLength)});
    }
    std::optional<std::uint32_t> found;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        // Every reply is collected, found or not, so none is left queued.
        const bool byWmName = propertyEquals(c, cookies[i].wmName, caption);
        const bool byNetWmName = propertyEquals(c, cookies[i].netWmName, caption);
        if (!found && (byWmName || byNetWmName)) found = windows[i];
    }
    return found;
}

}  // namespace tamaruka::x11

#include "frontend/platform/x11_instance_claim.h"

#include <cstdlib>
#include <cstring>

#include "frontend/platform/x11_connection.h"

namespace tamaruka::x11 {
namespace {

// One name per display: a running saver and an open settings dialog exclude
// each other, as their captions do.
constexpr char selectionName[] = "_TAMARUKA_INSTANCE";

xcb_atom_t internAtom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_window_t selectionOwner(xcb_connection_t* c, xcb_atom_t selection, bool& failed)
{
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr);
    failed = reply == nullptr;
    if (!reply) return XCB_WINDOW_NONE;
    const xcb_window_t owner = reply->owner;
    std::free(reply);
    return owner;
}

}  // namespace

bool claimInstance()
{
    static bool claimed = false;
    xcb_connection_t* c = connection();
    if (claimed || !c) return true;
    const xcb_atom_t selection = internAtom(c, selectionName);
    if (selection == XCB_ATOM_NONE) return true;

    // The owner: a window of ours that is never mapped and lives as long as
    // the connection, that is, as long as this process.
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen()->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);

    // Look and take with the server grabbed: no other client's request can
    // come between the two.
    bool failed = false;
    xcb_grab_server(c);
    const xcb_window_t before = selectionOwner(c, selection, failed);
    if (!failed && before == XCB_WINDOW_NONE)
        xcb_set_selection_owner(c, window, selection, XCB_CURRENT_TIME);
    xcb_ungrab_server(c);
    xcb_flush(c);
    if (failed) return true;

    const xcb_window_t owner = selectionOwner(c, selection, failed);
    if (failed) return true;
    claimed = owner == window;
    if (!claimed) {
        xcb_destroy_window(c, window);
        xcb_flush(c);
    }
    return claimed;
}

}  // namespace tamaruka::x11

// wayland_virtual_input FIFO: a virtual pointer and a virtual keyboard on the
// compositor's seat ($WAYLAND_DISPLAY), driven by lines read from FIFO:
//   move DX DY     a relative pointer move
//   click          the left button pressed and released
//   key escape|space   a key pressed and released
// It prints "ready" once the devices exist and "done" after each line, when
// the compositor has taken it. A headless compositor has no input devices of
// its own; this is how the tests act as the user there.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

constexpr unsigned EvdevEscape = 1, EvdevSpace = 57, EvdevLeftButton = 0x110;

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
};

void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* g = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        g->pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        g->keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
}

void onGlobalRemove(void*, wl_registry*, uint32_t) {}

// The default keymap (us) in a file descriptor, as the keyboard protocol wants it.
bool sendKeymap(zwp_virtual_keyboard_v1* keyboard) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = context ? xkb_keymap_new_from_names(context, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
    char* text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
    bool sent = false;
    if (text) {
        const std::size_t size = std::strlen(text) + 1;
        const int fd = memfd_create("keymap", MFD_CLOEXEC);
        if (fd >= 0 && write(fd, text, size) == static_cast<ssize_t>(size)) {
            zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, static_cast<uint32_t>(size));
            sent = true;
        }
        if (fd >= 0) close(fd);
        std::free(text);
    }
    if (keymap) xkb_keymap_unref(keymap);
    if (context) xkb_context_unref(context);
    return sent;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: wayland_virtual_input FIFO\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display) {
        std::fprintf(stderr, "wayland_virtual_input: no compositor\n");
        return 1;
    }
    Globals g;
    static const wl_registry_listener listener = {onGlobal, onGlobalRemove};
    wl_registry_add_listener(wl_display_get_registry(display), &listener, &g);
    wl_display_roundtrip(display);
    if (!g.seat || !g.pointers || !g.keyboards) {
        std::fprintf(stderr, "wayland_virtual_input: the compositor offers no virtual pointer or keyboard\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointers, g.seat);
    zwp_virtual_keyboard_v1* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g.keyboards, g.seat);
    if (!sendKeymap(keyboard)) {
        std::fprintf(stderr, "wayland_virtual_input: no keymap\n");
        return 1;
    }
    if (wl_display_roundtrip(display) < 0) return 1;
    std::printf("ready\n");
    std::fflush(stdout);

    std::ifstream commands(argv[1]);
    uint32_t time = 0;
    for (std::string line; std::getline(commands, line);) {
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        time += 10;
        if (verb == "move") {
            double dx = 0, dy = 0;
            words >> dx >> dy;
            zwlr_virtual_pointer_v1_motion(pointer, time, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
            zwlr_virtual_pointer_v1_frame(pointer);
        } else if (verb == "click") {
            for (auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
                zwlr_virtual_pointer_v1_button(pointer, time, EvdevLeftButton, state);
                zwlr_virtual_pointer_v1_frame(pointer);
            }
        } else if (verb == "key") {
            std::string name;
            words >> name;
            const unsigned key = name == "escape" ? EvdevEscape : EvdevSpace;
            zwp_virtual_keyboard_v1_key(keyboard, time, key, WL_KEYBOARD_KEY_STATE_PRESSED);
            zwp_virtual_keyboard_v1_key(keyboard, time + 1, key, WL_KEYBOARD_KEY_STATE_RELEASED);
        } else {
            std::fprintf(stderr, "wayland_virtual_input: unknown command '%s'\n", line.c_str());
            return 2;
        }
        if (wl_display_roundtrip(display) < 0) return 1;
        std::printf("done\n");
        std::fflush(stdout);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwp_virtual_keyboard_v1_destroy(keyboard);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}

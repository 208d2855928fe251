#include "display_mode/wayland_input.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "display_mode/screen_areas.h"

namespace tamaruka {

namespace {

void ignorePointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void ignorePointerFrame(void*, wl_pointer*) {}
void ignorePointerAxisSource(void*, wl_pointer*, uint32_t) {}
void ignorePointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void ignorePointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
#ifdef WL_POINTER_AXIS_VALUE120_SINCE_VERSION
void ignorePointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}
#endif
void ignoreKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void ignoreKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void ignoreRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

}  // namespace

WaylandInput::WaylandInput(bool fullScreen, SurfaceOrigin origin)
    : fullScreen_(fullScreen), origin_(std::move(origin)), xkb_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

WaylandInput::~WaylandInput() {
    if (pointer_) wl_pointer_release(pointer_);
    if (keyboard_) wl_keyboard_release(keyboard_);
    if (seat_) wl_seat_release(seat_);
    if (keyState_) xkb_state_unref(keyState_);
    if (keymap_) xkb_keymap_unref(keymap_);
    if (xkb_) xkb_context_unref(xkb_);
}

void WaylandInput::useSeat(wl_seat* seat) {
    if (seat_) {  // one seat is enough: the first one
        wl_seat_destroy(seat);
        return;
    }
    seat_ = seat;
    static const wl_seat_listener listener = {onCapabilities, onSeatName};
    wl_seat_add_listener(seat_, &listener, this);
}

void WaylandInput::onCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    auto* self = static_cast<WaylandInput*>(data);
    const bool pointer = capabilities & WL_SEAT_CAPABILITY_POINTER;
    const bool keyboard = capabilities & WL_SEAT_CAPABILITY_KEYBOARD;
    if (pointer && !self->pointer_) {
        self->pointer_ = wl_seat_get_pointer(seat);
        static const wl_pointer_listener listener = {
            onPointerEnter, onPointerLeave, onPointerMotion, onPointerButton, ignorePointerAxis,
            ignorePointerFrame, ignorePointerAxisSource, ignorePointerAxisStop, ignorePointerAxisDiscrete,
#ifdef WL_POINTER_AXIS_VALUE120_SINCE_VERSION
            ignorePointerAxisValue120,
#endif
        };
        wl_pointer_add_listener(self->pointer_, &listener, self);
    } else if (!pointer && self->pointer_) {
        wl_pointer_release(self->pointer_);
        self->pointer_ = nullptr;
        self->pointerSurface_ = nullptr;
    }
    if (keyboard && !self->keyboard_) {
        self->keyboard_ = wl_seat_get_keyboard(seat);
        static const wl_keyboard_listener listener = {onKeymap, ignoreKeyboardEnter, ignoreKeyboardLeave,
                                                      onKey, onModifiers, ignoreRepeatInfo};
        wl_keyboard_add_listener(self->keyboard_, &listener, self);
    } else if (!keyboard && self->keyboard_) {
        wl_keyboard_release(self->keyboard_);
        self->keyboard_ = nullptr;
    }
}

void WaylandInput::onSeatName(void*, wl_seat*, const char*) {}

void WaylandInput::onPointerEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface,
                                  int32_t x, int32_t y) {
    auto* self = static_cast<WaylandInput*>(data);
    self->pointerSurface_ = surface;
    if (self->fullScreen_) wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);  // no cursor over the fireworks
    self->pointerAt(x, y);
}

void WaylandInput::onPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
    static_cast<WaylandInput*>(data)->pointerSurface_ = nullptr;
}

void WaylandInput::onPointerMotion(void* data, wl_pointer*, uint32_t, int32_t x, int32_t y) {
    static_cast<WaylandInput*>(data)->pointerAt(x, y);
}

void WaylandInput::onPointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    auto* self = static_cast<WaylandInput*>(data);
    if (self->fullScreen_ && state == WL_POINTER_BUTTON_STATE_PRESSED) self->endRequested_ = true;
}

// The pointer's place in logical space; the first place seen is the start.
void WaylandInput::pointerAt(int32_t surfaceX, int32_t surfaceY) {
    if (!fullScreen_ || !pointerSurface_) return;
    const auto origin = origin_(pointerSurface_);
    if (!origin) return;
    const int x = origin->first + wl_fixed_to_int(surfaceX);
    const int y = origin->second + wl_fixed_to_int(surfaceY);
    if (!pointerStart_) pointerStart_.emplace(x, y);
    else if (pointerMovedFarEnough(pointerStart_->first, pointerStart_->second, x, y)) endRequested_ = true;
}

void WaylandInput::onKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    auto* self = static_cast<WaylandInput*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && self->xkb_) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_keymap* keymap = xkb_keymap_new_from_string(self->xkb_, static_cast<const char*>(text),
                                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            if (keymap) {
                if (self->keyState_) xkb_state_unref(self->keyState_);
                if (self->keymap_) xkb_keymap_unref(self->keymap_);
                self->keymap_ = keymap;
                self->keyState_ = xkb_state_new(keymap);
            }
        }
    }
    close(fd);
}

void WaylandInput::onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    auto* self = static_cast<WaylandInput*>(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
    if (self->fullScreen_) {
        self->endRequested_ = true;
        return;
    }
    // Evdev key codes are 8 below the keymap's.
    constexpr uint32_t EvdevToXkb = 8;
    if (self->keyState_ && xkb_state_key_get_one_sym(self->keyState_, key + EvdevToXkb) == XKB_KEY_Escape)
        self->endRequested_ = true;
}

void WaylandInput::onModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                               uint32_t locked, uint32_t group) {
    auto* self = static_cast<WaylandInput*>(data);
    if (self->keyState_) xkb_state_update_mask(self->keyState_, depressed, latched, locked, 0, 0, group);
}

}  // namespace tamaruka

#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace tamaruka {

// The seat's pointer and keyboard, and the input that ends the run: in full
// screen any key, any click, or a pointer move of more than 30 px on both
// axes from where the pointer first showed up; in a window, Escape.
class WaylandInput {
public:
    // Where a surface's top-left corner lies in the compositor's logical
    // space; none for a surface that is not ours.
    using SurfaceOrigin = std::function<std::optional<std::pair<int, int>>(wl_surface*)>;

    WaylandInput(bool fullScreen, SurfaceOrigin origin);
    ~WaylandInput();
    WaylandInput(const WaylandInput&) = delete;
    WaylandInput& operator=(const WaylandInput&) = delete;

    void useSeat(wl_seat* seat);
    bool endRequested() const { return endRequested_; }

private:
    static void onCapabilities(void*, wl_seat*, uint32_t);
    static void onSeatName(void*, wl_seat*, const char*);
    static void onPointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, int32_t, int32_t);
    static void onPointerLeave(void*, wl_pointer*, uint32_t, wl_surface*);
    static void onPointerMotion(void*, wl_pointer*, uint32_t, int32_t, int32_t);
    static void onPointerButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t);
    static void onKeymap(void*, wl_keyboard*, uint32_t, int32_t, uint32_t);
    static void onKey(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t);
    static void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t);

    void pointerAt(int32_t surfaceX, int32_t surfaceY);

    bool fullScreen_;
    SurfaceOrigin origin_;
    wl_seat* seat_ = nullptr;
    wl_pointer* pointer_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    xkb_context* xkb_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* keyState_ = nullptr;
    wl_surface* pointerSurface_ = nullptr;
    std::optional<std::pair<int, int>> pointerStart_;
    bool endRequested_ = false;
};

}  // namespace tamaruka

#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "display_mode/drawing_choice.h"
#include "display_mode/fps_text_layout.h"
#include "fireworks/frame_image.h"

struct wl_buffer;
struct wl_shm;
struct wl_surface;

namespace tamaruka {

// The drawing for a Wayland surface whose EGL context is current: its
// renderer and TAMARUKA_DRAWING; the CPU only where the compositor shares
// memory (wl_shm, whose XRGB8888 is the composed frame's own format).
FrameDrawing chooseWaylandDrawing(bool sharedMemory);

// Frames composed on the CPU, shown on a Wayland surface through wl_shm
// buffers. The frame is composed into an image of our own, so that the
// composer keeps clearing only what it drew; at attach() it goes into a
// buffer the compositor has released (a new one where it holds them all),
// with the damage of what changed since the frame before it.
class WaylandShmPresenter {
public:
    WaylandShmPresenter(wl_shm* shm, wl_surface* surface, int textPixelSize);
    ~WaylandShmPresenter();
    WaylandShmPresenter(const WaylandShmPresenter&) = delete;
    WaylandShmPresenter& operator=(const WaylandShmPresenter&) = delete;

    const FrameImage* frameImage(int width, int height);
    void setChangedColumns(std::span<const std::pair<int, int>> perRow);
    void setOverlayText(const std::string& text) { text_ = text; }
    void setTextPixelSize(int size);
    int width() const { return image_.width; }
    int height() const { return image_.height; }
    // Attaches the last composed frame to the surface with its damage; the
    // caller commits. False when there is no frame or no memory for it.
    bool attach();

private:
    struct Buffer {
        WaylandShmPresenter* owner = nullptr;
        wl_buffer* buffer = nullptr;
        std::uint8_t* pixels = nullptr;
        std::size_t bytes = 0;
        int width = 0, height = 0;
        bool busy = false;  // held by the compositor until its release
    };
    static void onRelease(void* data, wl_buffer* buffer);
    Buffer* freeBuffer();
    std::unique_ptr<Buffer> makeBuffer();
    static void destroy(Buffer& buffer);
    void damageChanged(const FpsTextLayout& text);

    wl_shm* shm_;
    wl_surface* surface_;
    int textPixelSize_;
    std::vector<std::uint32_t> pixels_;
    FrameImage image_;
    std::vector<std::pair<int, int>> changed_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    std::string text_;
    int lastTextRight_ = 0, lastTextTop_ = 0;
    bool wholeDue_ = true;
};

}  // namespace tamaruka

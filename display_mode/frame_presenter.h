#pragma once
#include <cstdint>
#include <memory>
#include <optional>

#include "display_mode/fps_overlay.h"

namespace tamaruka {

// A frame composed in memory: 32-bit pixels in the byte order blue, green,
// red, unused; rows `stride` bytes apart, the top row first.
struct BgraImage {
    std::uint8_t* pixels = nullptr;
    int width = 0, height = 0, stride = 0;
};

// Where one scene's frames are shown: a window, or one output's surface. A
// frame is framed by beginFrame() and present(). The OpenGL presenters make
// their context current in beginFrame() and swap in present(). A presenter
// that shows images composed in memory (shared-memory images on X11, wl_shm
// buffers on Wayland) hands out its image through frameImage() between the
// two and shows it in present().
class FramePresenter {
public:
    virtual ~FramePresenter() = default;

    // Whether the surface takes a frame now: false while it is hidden or the
    // display has not yet shown the last one.
    virtual bool readyForFrame() const = 0;
    virtual void beginFrame() = 0;
    virtual void present() = 0;

    // The image to compose this frame into, valid until present(); none
    // where the frame is drawn with OpenGL.
    virtual std::optional<BgraImage> frameImage() { return std::nullopt; }

    // The --fps text's glyphs for this surface, built in its current context;
    // null where the surface has no font for them.
    virtual std::unique_ptr<FpsOverlay> makeFpsOverlay() = 0;
};

}  // namespace tamaruka

#pragma once
#include <memory>

#include "display_mode/fps_overlay.h"

namespace tamaruka {

// Where one scene's frames are shown: a window, or one output's surface. A
// frame is framed by beginFrame() and present(). The OpenGL presenters make
// their context current in beginFrame() and swap in present(); a presenter
// that composes 32-bit images in memory (shared-memory images on X11, wl_shm
// buffers on Wayland) hands its image out between the two and shows it in
// present().
class FramePresenter {
public:
    virtual ~FramePresenter() = default;

    // Whether the surface takes a frame now: false while it is hidden or the
    // display has not yet shown the last one.
    virtual bool readyForFrame() const = 0;
    virtual void beginFrame() = 0;
    virtual void present() = 0;

    // The --fps text's glyphs for this surface, built in its current context;
    // null where the surface has no font for them.
    virtual std::unique_ptr<FpsOverlay> makeFpsOverlay() = 0;
};

}  // namespace tamaruka

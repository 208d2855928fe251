#pragma once
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "display_mode/fps_overlay.h"
#include "fireworks/frame_image.h"

namespace tamaruka {

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

    // The --fps text's glyphs for this surface, built in its current context;
    // null where the surface has no font for them.
    virtual std::unique_ptr<FpsOverlay> makeFpsOverlay() = 0;

    // The image (FrameImage: blue, green, red, unused) to compose this frame
    // into, width x height pixels, valid until present(); null where the
    // frame is drawn with OpenGL.
    virtual const FrameImage* frameImage(int /*width*/, int /*height*/) { return nullptr; }
    // For each row of that image, the columns [first, second) that changed
    // since the last frame: present() may put only those.
    virtual void setChangedColumns(std::span<const std::pair<int, int>> /*perRow*/) {}
    // Text that such a presenter draws over its next frames (the --fps figures).
    virtual void setOverlayText(const std::string& /*text*/) {}
    // How the frames are drawn and shown, as --fps names it.
    virtual std::string drawingName() const { return "GL"; }
};

}  // namespace tamaruka

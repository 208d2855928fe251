#pragma once
#include <X11/Xlib.h>
#include <GL/glx.h>

#include "display_mode/frame_presenter.h"

namespace tamaruka {

// An OpenGL context drawing into one X window with that window's own visual,
// as a host that made the window for GL expects; nothing is asked of the
// visual beyond OpenGL and RGBA (no depth buffer is needed).
class GlWindowSurface : public FramePresenter {
public:
    // Throws StartupError when the window is gone, takes no drawing
    // (InputOnly), its visual has no OpenGL, or it is larger than OpenGL draws.
    GlWindowSurface(Display* display, Window window);
    ~GlWindowSurface() override;  // releases the context
    GlWindowSurface(const GlWindowSurface&) = delete;
    GlWindowSurface& operator=(const GlWindowSurface&) = delete;

    bool readyForFrame() const override { return true; }
    void beginFrame() override { makeCurrent(); }
    // Shows the frame: a buffer swap, or a flush for a single-buffered visual.
    void present() override;
    // Glyphs from the X server's core font.
    std::unique_ptr<FpsOverlay> makeFpsOverlay() override;

    void makeCurrent();
    // Asks the swap to wait for the display; a driver that offers no control is left as it is.
    void requestSwapInterval(int interval);
    // Throws std::runtime_error (a StartupError before the first frame) when
    // the window is larger than this context draws: the viewport's and the
    // texture's limits. Past them the drivers crash (llvmpipe) or Xlib aborts.
    void checkSize(int width, int height, bool startingUp);

private:
    Display* display_;
    Window window_;
    GLXContext context_ = nullptr;
    bool doubleBuffered_ = false;
    int largestWidth_ = 0, largestHeight_ = 0;
};

// A visual for a window of our own: RGBA, double-buffered, no depth buffer
// (or the smallest there is). Throws StartupError when the display has none.
XVisualInfo chooseGlVisual(Display* display, int screen);

}  // namespace tamaruka

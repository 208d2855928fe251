#pragma once
#include <EGL/egl.h>
#include <vector>

#include "display_mode/frame_presenter.h"

struct wl_array;
struct wl_shm;
struct wl_callback;
struct wl_compositor;
struct wl_egl_window;
struct wl_output;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct xdg_wm_base;

namespace tamaruka {

class WaylandEgl;
class WaylandShmPresenter;

// One xdg-shell toplevel with an OpenGL context through EGL: full screen on
// one output, or a resizable window. A frame is drawn ahead and shown when
// the compositor asks for the next one (its frame callback), so that the
// drawing overlaps the compositor's wait; a surface that is not shown gets
// no callbacks and draws nothing more. Sizes are logical; its buffer is
// `scale` times larger. Where the drawing is chosen to be the CPU's, the EGL
// surface and context go and the frames are shown through wl_shm buffers.
class WaylandSurface final : public FramePresenter {
public:
    struct Role {
        wl_output* fullScreenOn = nullptr;  // null: a window titled "Tamaruka"
        int width = 0, height = 0;          // the logical size until the compositor sets one
        int scale = 1;
    };

    // Throws StartupError when EGL makes no surface or context. `shm` may be
    // null: the frames are then drawn with OpenGL.
    WaylandSurface(wl_compositor* compositor, xdg_wm_base* wmBase, wl_shm* shm, const WaylandEgl& egl,
                   const Role& role);
    ~WaylandSurface() override;
    WaylandSurface(const WaylandSurface&) = delete;
    WaylandSurface& operator=(const WaylandSurface&) = delete;

    wl_surface* surface() const { return surface_; }
    wl_output* fullScreenOutput() const { return role_.fullScreenOn; }
    const std::vector<wl_output*>& enteredOutputs() const { return entered_; }
    int bufferWidth() const { return role_.width * role_.scale; }
    int bufferHeight() const { return role_.height * role_.scale; }
    void setScale(int scale);
    // Whether the buffer size changed since the last call.
    bool takeResize();
    bool closeRequested() const { return closeRequested_; }
    // Shows the frame drawn ahead once the compositor has asked for it.
    void showDrawnFrame();

    bool readyForFrame() const override { return configured_ && !frameDrawn_; }
    void beginFrame() override;
    void present() override;
    // Wayland has no server-side fonts: the built-in glyphs, at the buffer scale.
    std::unique_ptr<FpsOverlay> makeFpsOverlay() override { return std::make_unique<FpsOverlay>(role_.scale); }
    const FrameImage* frameImage(int width, int height) override;
    void setChangedColumns(std::span<const std::pair<int, int>> perRow) override;
    void setOverlayText(const std::string& text) override;
    std::string drawingName() const override { return shm_ ? "CPU, wl_shm" : "GL"; }

private:
    static void onConfigure(void*, xdg_surface*, uint32_t);
    static void onToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*);
    static void onClose(void*, xdg_toplevel*);
    static void onFrameDone(void*, wl_callback*, uint32_t);
    void swap();
    void dropEgl();
    void resizeEglWindow();
    static void onEnter(void*, wl_surface*, wl_output*);
    static void onLeave(void*, wl_surface*, wl_output*);

    const WaylandEgl& egl_;
    Role role_;
    int appliedScale_ = 0;  // the buffer scale last given to the surface
    int pendingWidth_ = 0, pendingHeight_ = 0;
    wl_surface* surface_ = nullptr;
    xdg_surface* xdgSurface_ = nullptr;
    xdg_toplevel* toplevel_ = nullptr;
    wl_egl_window* eglWindow_ = nullptr;
    EGLSurface eglSurface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    std::unique_ptr<WaylandShmPresenter> shm_;  // drawing on the CPU
    wl_callback* frameCallback_ = nullptr;
    std::vector<wl_output*> entered_;
    bool configured_ = false;
    bool frameDrawn_ = false;  // drawn, waiting for the frame callback
    bool resized_ = false;
    bool swapIntervalSet_ = false;
    bool closeRequested_ = false;
};

}  // namespace tamaruka

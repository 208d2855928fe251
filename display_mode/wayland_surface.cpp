#include "display_mode/wayland_surface.h"

#include <GL/gl.h>
#include <algorithm>
#include <wayland-client.h>
#include <wayland-egl.h>

#include "display_mode/startup_error.h"
#include "display_mode/wayland_egl.h"
#include "display_mode/wayland_shm_presenter.h"
#include "xdg-shell-client-protocol.h"

namespace tamaruka {

namespace {

void ignoreConfigureBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void ignoreWmCapabilities(void*, xdg_toplevel*, wl_array*) {}

}  // namespace

WaylandSurface::WaylandSurface(wl_compositor* compositor, xdg_wm_base* wmBase, wl_shm* shm, const WaylandEgl& egl,
                               const Role& role)
    : egl_(egl), role_(role) {
    role_.width = std::max(role_.width, 1);
    role_.height = std::max(role_.height, 1);
    role_.scale = std::max(role_.scale, 1);
    surface_ = wl_compositor_create_surface(compositor);
    static const wl_surface_listener surfaceListener = {onEnter, onLeave};
    wl_surface_add_listener(surface_, &surfaceListener, this);
    xdgSurface_ = xdg_wm_base_get_xdg_surface(wmBase, surface_);
    static const xdg_surface_listener xdgListener = {onConfigure};
    xdg_surface_add_listener(xdgSurface_, &xdgListener, this);
    toplevel_ = xdg_surface_get_toplevel(xdgSurface_);
    static const xdg_toplevel_listener toplevelListener = {onToplevelConfigure, onClose, ignoreConfigureBounds,
                                                                  ignoreWmCapabilities};
    xdg_toplevel_add_listener(toplevel_, &toplevelListener, this);
    xdg_toplevel_set_title(toplevel_, "Tamaruka");
    xdg_toplevel_set_app_id(toplevel_, "tamaruka");
    if (role_.fullScreenOn) xdg_toplevel_set_fullscreen(toplevel_, role_.fullScreenOn);
    // The first commit carries no buffer: it asks for the first configure.
    wl_surface_commit(surface_);

    eglWindow_ = wl_egl_window_create(surface_, bufferWidth(), bufferHeight());
    eglSurface_ = eglCreateWindowSurface(egl_.display(), egl_.config(),
                                         reinterpret_cast<EGLNativeWindowType>(eglWindow_), nullptr);
    if (eglSurface_ == EGL_NO_SURFACE) throw StartupError("EGL makes no surface on the Wayland compositor");
    context_ = eglCreateContext(egl_.display(), egl_.config(), EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) throw StartupError("EGL makes no OpenGL context on the Wayland compositor");
    // The renderer is known once a context is current.
    eglMakeCurrent(egl_.display(), eglSurface_, eglSurface_, context_);
    if (chooseWaylandDrawing(shm != nullptr) == FrameDrawing::Cpu) {
        dropEgl();
        shm_ = std::make_unique<WaylandShmPresenter>(shm, surface_, role_.scale);
    }
}

// Drawing on the CPU, the surface needs none of EGL's buffers or its context.
void WaylandSurface::dropEgl() {
    eglMakeCurrent(egl_.display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(egl_.display(), context_);
    eglDestroySurface(egl_.display(), eglSurface_);
    wl_egl_window_destroy(eglWindow_);
    context_ = EGL_NO_CONTEXT;
    eglSurface_ = EGL_NO_SURFACE;
    eglWindow_ = nullptr;
}

void WaylandSurface::resizeEglWindow() {
    if (eglWindow_) wl_egl_window_resize(eglWindow_, bufferWidth(), bufferHeight(), 0, 0);
}

const FrameImage* WaylandSurface::frameImage(int width, int height) {
    return shm_ ? shm_->frameImage(width, height) : nullptr;
}

void WaylandSurface::setChangedColumns(std::span<const std::pair<int, int>> perRow) {
    if (shm_) shm_->setChangedColumns(perRow);
}

void WaylandSurface::setOverlayText(const std::string& text) {
    if (shm_) shm_->setOverlayText(text);
}

WaylandSurface::~WaylandSurface() {
    shm_.reset();
    if (eglGetCurrentContext() == context_)
        eglMakeCurrent(egl_.display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(egl_.display(), context_);
    if (eglSurface_ != EGL_NO_SURFACE) eglDestroySurface(egl_.display(), eglSurface_);
    if (eglWindow_) wl_egl_window_destroy(eglWindow_);
    if (frameCallback_) wl_callback_destroy(frameCallback_);
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(xdgSurface_);
    wl_surface_destroy(surface_);
}

void WaylandSurface::setScale(int scale) {
    scale = std::max(scale, 1);
    if (scale == role_.scale) return;
    role_.scale = scale;
    resized_ = true;
    resizeEglWindow();
    if (shm_) shm_->setTextPixelSize(scale);
}

bool WaylandSurface::takeResize() {
    const bool resized = resized_;
    resized_ = false;
    return resized;
}

void WaylandSurface::beginFrame() {
    if (shm_) return;
    eglMakeCurrent(egl_.display(), eglSurface_, eglSurface_, context_);
    if (!swapIntervalSet_) {
        // The frame callbacks pace the frames; the swap itself never waits.
        eglSwapInterval(egl_.display(), 0);
        swapIntervalSet_ = true;
    }
}

void WaylandSurface::present() {
    // The drawing is done now, while the last frame is still on the screen.
    if (!shm_) glFinish();
    frameDrawn_ = true;
    showDrawnFrame();
}

void WaylandSurface::showDrawnFrame() {
    if (frameDrawn_ && !frameCallback_) swap();
}

void WaylandSurface::swap() {
    if (!shm_) eglMakeCurrent(egl_.display(), eglSurface_, eglSurface_, context_);
    // The buffer scale goes with the buffer of the new size, in one commit: a
    // composed frame of the size before keeps the scale before.
    const bool sizeFollows = !shm_ || (shm_->width() == bufferWidth() && shm_->height() == bufferHeight());
    if (appliedScale_ != role_.scale && sizeFollows) {
        wl_surface_set_buffer_scale(surface_, role_.scale);
        appliedScale_ = role_.scale;
    }
    frameCallback_ = wl_surface_frame(surface_);
    static const wl_callback_listener listener = {onFrameDone};
    wl_callback_add_listener(frameCallback_, &listener, this);
    if (shm_) {
        shm_->attach();
        wl_surface_commit(surface_);
    } else {
        eglSwapBuffers(egl_.display(), eglSurface_);
    }
    frameDrawn_ = false;
}

void WaylandSurface::onConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto* self = static_cast<WaylandSurface*>(data);
    xdg_surface_ack_configure(surface, serial);
    self->configured_ = true;
    const int width = self->pendingWidth_ > 0 ? self->pendingWidth_ : self->role_.width;
    const int height = self->pendingHeight_ > 0 ? self->pendingHeight_ : self->role_.height;
    if (width == self->role_.width && height == self->role_.height) return;
    self->role_.width = width;
    self->role_.height = height;
    self->resized_ = true;
    self->resizeEglWindow();
}

void WaylandSurface::onToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    auto* self = static_cast<WaylandSurface*>(data);
    self->pendingWidth_ = width;
    self->pendingHeight_ = height;
}

void WaylandSurface::onClose(void* data, xdg_toplevel*) { static_cast<WaylandSurface*>(data)->closeRequested_ = true; }

void WaylandSurface::onFrameDone(void* data, wl_callback* callback, uint32_t) {
    auto* self = static_cast<WaylandSurface*>(data);
    wl_callback_destroy(callback);
    self->frameCallback_ = nullptr;
}

void WaylandSurface::onEnter(void* data, wl_surface*, wl_output* output) {
    static_cast<WaylandSurface*>(data)->entered_.push_back(output);
}

void WaylandSurface::onLeave(void* data, wl_surface*, wl_output* output) {
    auto& entered = static_cast<WaylandSurface*>(data)->entered_;
    entered.erase(std::remove(entered.begin(), entered.end(), output), entered.end());
}

}  // namespace tamaruka

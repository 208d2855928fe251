#pragma once
#include <EGL/egl.h>

struct wl_display;

namespace tamaruka {

// EGL on the compositor's connection, with desktop OpenGL (the scene draws
// with OpenGL 1.1) and an opaque RGB configuration without depth buffer.
class WaylandEgl {
public:
    // Throws StartupError when EGL or its OpenGL is missing.
    explicit WaylandEgl(wl_display* display);
    ~WaylandEgl();
    WaylandEgl(const WaylandEgl&) = delete;
    WaylandEgl& operator=(const WaylandEgl&) = delete;

    EGLDisplay display() const { return display_; }
    EGLConfig config() const { return config_; }

private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLConfig config_ = nullptr;
};

}  // namespace tamaruka

#include "display_mode/wayland_egl.h"

#include <EGL/eglext.h>
#include <vector>

#include "display_mode/startup_error.h"

namespace tamaruka {

WaylandEgl::WaylandEgl(wl_display* display) {
    display_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr))
        throw StartupError("EGL does not work on the Wayland compositor");
    if (!eglBindAPI(EGL_OPENGL_API)) throw StartupError("EGL offers no OpenGL on the Wayland compositor");
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
    EGLint count = 0;
    eglChooseConfig(display_, wanted, nullptr, 0, &count);
    std::vector<EGLConfig> configs(static_cast<std::size_t>(count));
    if (count > 0) eglChooseConfig(display_, wanted, configs.data(), count, &count);
    if (count <= 0) throw StartupError("EGL offers no RGB OpenGL configuration on the Wayland compositor");
    // Without alpha the compositor takes the surface as opaque; without a
    // depth buffer llvmpipe fills each square as a rectangle.
    auto attribute = [&](EGLConfig config, EGLint name) {
        EGLint value = 0;
        eglGetConfigAttrib(display_, config, name, &value);
        return value;
    };
    config_ = configs.front();
    for (EGLConfig config : configs) {
        if (attribute(config, EGL_ALPHA_SIZE) == 0 && attribute(config, EGL_DEPTH_SIZE) == 0) {
            config_ = config;
            break;
        }
    }
}

WaylandEgl::~WaylandEgl() {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglTerminate(display_);
}

}  // namespace tamaruka

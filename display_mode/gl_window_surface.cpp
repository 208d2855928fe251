#include "display_mode/gl_window_surface.h"

#include <X11/Xutil.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "display_mode/startup_error.h"

namespace tamaruka {

namespace {

std::string hex(unsigned long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

bool hasExtension(Display* display, int screen, const char* name) {
    const char* list = glXQueryExtensionsString(display, screen);
    if (!list) return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

}  // namespace

GlWindowSurface::GlWindowSurface(Display* display, Window window) : display_(display), window_(window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes))
        throw StartupError("no window " + hex(window) + " on the display");
    if (attributes.c_class == InputOnly)
        throw StartupError("window " + hex(window) + " is an InputOnly window, which cannot be drawn in");
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    wanted.screen = XScreenNumberOfScreen(attributes.screen);
    int count = 0;
    XVisualInfo* info = XGetVisualInfo(display, VisualIDMask | VisualScreenMask, &wanted, &count);
    int usesGl = 0, rgba = 0;
    if (info) {
        glXGetConfig(display, info, GLX_USE_GL, &usesGl);
        glXGetConfig(display, info, GLX_RGBA, &rgba);
        int doubleBuffer = 0;
        glXGetConfig(display, info, GLX_DOUBLEBUFFER, &doubleBuffer);
        doubleBuffered_ = doubleBuffer != 0;
        if (usesGl && rgba) context_ = glXCreateContext(display, info, nullptr, True);
        XFree(info);
    }
    if (!usesGl || !rgba)
        throw StartupError("the visual " + hex(wanted.visualid) + " of window " + hex(window) +
                           " offers no RGBA OpenGL");
    if (!context_) throw StartupError("cannot create an OpenGL context for window " + hex(window));
    makeCurrent();
    GLint viewport[2] = {0, 0};
    GLint texture = 0;
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    largestWidth_ = std::min(viewport[0], texture);
    largestHeight_ = std::min(viewport[1], texture);
    checkSize(attributes.width, attributes.height, true);
}

void GlWindowSurface::checkSize(int width, int height, bool startingUp) {
    if (largestWidth_ <= 0 || largestHeight_ <= 0 || (width <= largestWidth_ && height <= largestHeight_)) return;
    const std::string message = "window " + hex(window_) + " is " + std::to_string(width) + " x " +
                                std::to_string(height) + ", larger than OpenGL draws here (" +
                                std::to_string(largestWidth_) + " x " + std::to_string(largestHeight_) + ")";
    if (startingUp) throw StartupError(message);
    throw std::runtime_error(message);
}

GlWindowSurface::~GlWindowSurface() {
    if (glXGetCurrentContext() == context_) glXMakeCurrent(display_, None, nullptr);
    glXDestroyContext(display_, context_);
}

void GlWindowSurface::makeCurrent() {
    if (glXGetCurrentContext() != context_ || glXGetCurrentDrawable() != window_)
        glXMakeCurrent(display_, window_, context_);
}

void GlWindowSurface::present() {
    if (doubleBuffered_) glXSwapBuffers(display_, window_);
    else glFlush();
}

std::unique_ptr<FpsOverlay> GlWindowSurface::makeFpsOverlay() { return std::make_unique<FpsOverlay>(display_); }

void GlWindowSurface::requestSwapInterval(int interval) {
    const int screen = DefaultScreen(display_);
    using ExtSwap = void (*)(Display*, GLXDrawable, int);
    using MesaOrSgiSwap = int (*)(int);
    auto lookUp = [](const char* name) { return glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)); };
    if (hasExtension(display_, screen, "GLX_EXT_swap_control")) {
        if (auto set = reinterpret_cast<ExtSwap>(lookUp("glXSwapIntervalEXT"))) set(display_, window_, interval);
    } else if (hasExtension(display_, screen, "GLX_MESA_swap_control")) {
        if (auto set = reinterpret_cast<MesaOrSgiSwap>(lookUp("glXSwapIntervalMESA"))) set(interval);
    } else if (interval > 0 && hasExtension(display_, screen, "GLX_SGI_swap_control")) {
        if (auto set = reinterpret_cast<MesaOrSgiSwap>(lookUp("glXSwapIntervalSGI"))) set(interval);
    }
}

XVisualInfo chooseGlVisual(Display* display, int screen) {
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                        GLX_BLUE_SIZE, 1, None};
    XVisualInfo* info = glXChooseVisual(display, screen, attributes);
    if (!info) {
        int singleBuffered[] = {GLX_RGBA, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
        info = glXChooseVisual(display, screen, singleBuffered);
    }
    if (!info) throw StartupError("the display offers no RGBA OpenGL visual");
    XVisualInfo chosen = *info;
    XFree(info);
    return chosen;
}

}  // namespace tamaruka

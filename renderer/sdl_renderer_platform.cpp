#include "renderer/sdl_renderer_platform.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/session_bus_autolaunch.h"
#include "renderer/desktop_mode_rescue.h"

namespace tamaruka {

namespace {

// The depth buffer is asked for at the colour depth, then stepped down: some
// displays have no 32-bit depth buffer, and the closest match is wanted.
constexpr int DepthSteps[] = {32, 24, 16};

}  // namespace

SdlRendererPlatform::SdlRendererPlatform() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A full-screen window that loses the focus stays where it is.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // The X server's own screen saver is left alone: SDL would reset and
    // suspend it, and a locker that watches it (xss-lock) would end its child.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // An X11 program: without an X display there is no window to be had, not
    // SDL's off-screen stand-in.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // SDL connects to the session bus as it starts; without one it must not
    // launch a bus that outlives the renderer.
    preventSessionBusAutolaunch();
    videoReady_ = SDL_Init(SDL_INIT_VIDEO) == 0;
    if (!videoReady_) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "Tamaruka.data: cannot open the X display \"%s\": %s\n",
                     display ? display : "", SDL_GetError());
        return;
    }
    installRendererXErrorGuard();
    // The raw X events show the window's destruction, which SDL passes over.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

SdlRendererPlatform::~SdlRendererPlatform() {
    if (context_) SDL_GL_DeleteContext(context_);
    // Also puts back the desktop's mode should the shutdown sequence not have run.
    if (window_) SDL_DestroyWindow(window_);
    // Errors of requests still on their way (the window may be gone already)
    // reach the program's own handler, not whatever SDL_Quit leaves in place.
    if (xDisplay_) XSync(xDisplay_, False);
    // SDL wakes its event wait through a second connection by an event sent
    // to the window. Once another client has destroyed the window, that
    // connection holds a BadWindow error that SDL_Quit would collect after
    // putting Xlib's own handler back, which ends the process with 1. The
    // server releases both connections when the process ends.
    if (videoReady_ && !windowLost_) SDL_Quit();
}

bool SdlRendererPlatform::readDisplayMode() {
    return videoReady_ && SDL_GetCurrentDisplayMode(0, &desktopMode_) == 0;
}

// SDL neither switches nor fails on a display without the mode, so the mode
// is looked for here: exactly width x height, keeping the current format and
// refresh rate where the display offers them.
bool SdlRendererPlatform::switchDisplayMode(int width, int height) {
    const int count = SDL_GetNumDisplayModes(0);
    int best = -1;
    int bestScore = -1;
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        if (mode.w != width || mode.h != height) continue;
        const int score = (mode.format == desktopMode_.format ? 2 : 0) +
                          (mode.refresh_rate == desktopMode_.refresh_rate ? 1 : 0);
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    if (best < 0) return false;
    SDL_GetDisplayMode(0, best, &fullScreenMode_);
    return true;
}

void SdlRendererPlatform::restoreDisplayMode() {
    if (window_ && fullScreen_) {
        // SDL waits up to 100 ms for a window manager to answer when a mapped
        // window leaves full screen; the program is ending, so the window is
        // taken off the screen first and the desktop's mode comes back at once.
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
            XUnmapWindow(info.info.x11.display, info.info.x11.window);
            XSync(info.info.x11.display, False);
        }
        // Leaving full screen puts the desktop's mode back.
        SDL_SetWindowFullscreen(window_, 0);
    }
    fullScreen_ = false;
    forgetDesktopMode();
}

void SdlRendererPlatform::showCursor(bool visible) {
    if (videoReady_) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// The GL visual is fixed when an X11 window is made, so the pixel format is
// chosen here; setupPixelFormat reports the outcome.
bool SdlRendererPlatform::createWindow(const std::string& title, int width, int height,
                                       bool fullScreen) {
    if (!videoReady_) return false;
    Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN;
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    for (int depth : DepthSteps) {
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        window_ = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags | SDL_WINDOW_OPENGL);
        if (window_) {
            glWindow_ = true;
            depthBits_ = depth;
            break;
        }
    }
    // Without any GL format the window still appears; the pixel format step
    // then reports the failure.
    if (!window_) window_ = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags);
    if (!window_) {
        std::fprintf(stderr, "Tamaruka.data: cannot create its window: %s\n", SDL_GetError());
        return false;
    }
    noteXWindow(title);
    if (fullScreen) {
        SDL_SetWindowDisplayMode(window_, &fullScreenMode_);
        fullScreen_ = true;
        rememberDesktopMode(desktopMode_.w, desktopMode_.h, desktopMode_.refresh_rate);
    }
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
    return true;
}

// Class and instance take the title, as the window's class name does; the
// X window is kept to recognise its destruction.
void SdlRendererPlatform::noteXWindow(const std::string& title) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return;
    xDisplay_ = info.info.x11.display;
    xWindow_ = info.info.x11.window;
    std::string name = title;
    XClassHint hint;
    hint.res_name = name.data();
    hint.res_class = name.data();
    XSetClassHint(xDisplay_, xWindow_, &hint);
}

void SdlRendererPlatform::clientSize(int& width, int& height) {
    SDL_GetWindowSize(window_, &width, &height);
}

// SDL reads the window's attributes to make and bind the context, and crashes
// on a window that another client has destroyed in the meantime. The server
// is held while it does, so the window cannot go between the look and the
// call; a window that is gone already gets no context, and the notice of its
// destruction, waiting in the queue, ends the program.
template <typename Call>
bool SdlRendererPlatform::withWindowHeld(Call call) {
    if (!xDisplay_) return call(), true;
    XGrabServer(xDisplay_);
    XWindowAttributes attributes;
    const bool alive = XGetWindowAttributes(xDisplay_, xWindow_, &attributes) != 0;
    if (alive) call();
    XUngrabServer(xDisplay_);
    XFlush(xDisplay_);
    return alive;
}

PixelFormatResult SdlRendererPlatform::setupPixelFormat(int, int) {
    if (!glWindow_) return PixelFormatResult::ChooseFailed;
    if (!withWindowHeld([this] { context_ = SDL_GL_CreateContext(window_); })) {
        return PixelFormatResult::Set;  // no context: see withWindowHeld
    }
    if (!context_) return PixelFormatResult::SetFailed;
    return PixelFormatResult::Set;
}

bool SdlRendererPlatform::createRenderContext() {
    bool current = false;
    if (context_) {
        withWindowHeld([this, &current] { current = SDL_GL_MakeCurrent(window_, context_) == 0; });
    }
    if (!current) return false;
    // The swap may wait for the display; a driver that refuses is fine too.
    SDL_GL_SetSwapInterval(1);
    return true;
}

void SdlRendererPlatform::deleteRenderContext() {
    if (!context_) return;
    SDL_GL_MakeCurrent(window_, nullptr);
    SDL_GL_DeleteContext(context_);
    context_ = nullptr;
}

void SdlRendererPlatform::swapBuffers() { SDL_GL_SwapWindow(window_); }

RendererMessage SdlRendererPlatform::translate(const SDL_Event& event) {
    RendererMessage message;
    switch (event.type) {
    case SDL_KEYDOWN:
        message.kind = RendererMessage::KeyDown;
        message.escape = event.key.keysym.sym == SDLK_ESCAPE;
        break;
    case SDL_KEYUP:
        message.kind = RendererMessage::KeyUp;
        break;
    case SDL_MOUSEMOTION:
        message.kind = RendererMessage::MouseMove;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) message.kind = RendererMessage::WindowDestroyed;
        break;
    case SDL_QUIT:
        // SDL's own quit request, which follows the last window's close.
        message.kind = RendererMessage::WindowDestroyed;
        break;
    case SDL_SYSWMEVENT: {
        // Another client (a window manager's "kill window") destroyed it.
        const XEvent& x = event.syswm.msg->msg.x11.event;
        if (x.type == DestroyNotify && xWindow_ != 0 && x.xdestroywindow.window == xWindow_) {
            message.kind = RendererMessage::WindowDestroyed;
            windowLost_ = true;
        }
        break;
    }
    default:
        break;
    }
    return message;
}

// SIGTERM, SIGINT and SIGHUP arrive as one destroyed-window message, so they
// end through the shutdown sequence.
std::optional<RendererMessage> SdlRendererPlatform::stopMessage() {
    if (stopTaken_ || !stopSignals_.received()) return std::nullopt;
    stopTaken_ = true;
    return RendererMessage{RendererMessage::WindowDestroyed, false};
}

std::optional<RendererMessage> SdlRendererPlatform::pollMessage() {
    if (auto stop = stopMessage()) return stop;
    SDL_Event event;
    if (!videoReady_ || !SDL_PollEvent(&event)) return std::nullopt;
    return translate(event);
}

std::optional<RendererMessage> SdlRendererPlatform::waitMessage(std::chrono::nanoseconds timeout) {
    if (auto stop = stopMessage()) return stop;
    SDL_Event event;
    // Whole milliseconds, rounded up: the frame is never started early.
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(timeout).count();
    if (!videoReady_ || ms <= 0 || !SDL_WaitEventTimeout(&event, static_cast<int>(ms))) {
        return stopMessage();
    }
    return translate(event);
}

double SdlRendererPlatform::refreshRate() {
    SDL_DisplayMode mode;
    const int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    if (!videoReady_ || SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) != 0) return 0;
    return mode.refresh_rate;
}

void SdlRendererPlatform::showErrorBox(const std::string& text, bool ownedByWindow) {
    // Once asked to end, no box is put up any more.
    if (stopSignals_.received()) return;
    SDL_ShowSimpleMessageBox(0, "Error", text.c_str(), ownedByWindow ? window_ : nullptr);
}

std::uint32_t SdlRendererPlatform::tickCount() { return SDL_GetTicks(); }

std::uint32_t SdlRendererPlatform::calendarSeconds() {
    return static_cast<std::uint32_t>(std::time(nullptr));
}

}  // namespace tamaruka

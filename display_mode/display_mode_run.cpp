#include "display_mode/display_mode_run.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "common/frame_pacer.h"
#include "common/software_gl_threads.h"
#include "display_mode/display_mode_music.h"
#include "display_mode/fps_meter.h"
#include "display_mode/scene_surface.h"
#include "display_mode/x_connection.h"
#include "display_mode/x_screen.h"

namespace tamaruka {

namespace {

using Clock = FramePacer::Clock;

constexpr int OwnWindowWidth = 1024;
constexpr int OwnWindowHeight = 768;
// Tries at taking the keyboard and pointer in --fullscreen, one a frame, while
// the new windows become viewable or another client lets go.
constexpr int GrabAttempts = 120;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double wallSeconds() {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

class DisplayModeRun {
public:
    DisplayModeRun(const DrawTarget& target, const DisplayModeOptions& options, const StopOnSignal& stop)
        : target_(target), options_(options), stop_(stop) {}

    int run() {
        if (stop_.requested()) return 0;
        x_ = std::make_unique<XConnection>();
        display_ = x_->display();
        openSurfaces();
        FramePacer pacer(framePeriod());
        music_ = startDisplayModeMusic(musicWanted() && !stop_.requested(), x_->name());
        XConnection::setConnectionLostAction([this] { stopMusic(); });

        while (!ending_) {
            handleXEvents();
            if (ending_ || stop_.requested() || XConnection::drawableLost()) break;
            if (monitorsChanged_) {
                followMonitors();
                const std::chrono::nanoseconds period = framePeriod();
                if (period != pacer.period()) pacer = FramePacer(period);
            }
            if (target_.kind == DrawTarget::Kind::FullScreen) grabInput();
            drawFrames();
            waitForNextFrame(pacer.delayBeforeNextFrame(Clock::now()));
        }
        XConnection::setConnectionLostAction(nullptr);
        stopMusic();
        const bool windowsAlive = !XConnection::drawableLost() && !hostWindowDestroyed_;
        for (auto& surface : surfaces_) surface->shutdown(windowsAlive);
        surfaces_.clear();
        return 0;
    }

private:
    void openSurfaces() {
        surfaceSettings_.showFps = options_.showFps;
        const char* printSteps = std::getenv("TAMARUKA_PRINT_FRAME_STEPS");
        surfaceSettings_.printFrameSteps = printSteps && *printSteps && std::string(printSteps) != "0";
        // Hosts start one process per monitor in the same second: the process
        // id keeps their fireworks apart.
        surfaceSettings_.seedOffset = static_cast<std::uint32_t>(getpid()) * 2654435761u;
        if (target_.kind == DrawTarget::Kind::FullScreen) {
            // Watched before the monitors are read, so that no change slips between.
            watchMonitorChanges(display_);
            covered_ = monitorsToCover(listMonitors(display_));
        }
        // Its own windows have no depth buffer; before the first GLX call.
        if (!hostsWindow()) chooseSoftwareGlThreads(framePixels());
        std::vector<Window> windows;
        switch (target_.kind) {
        case DrawTarget::Kind::GivenWindow:
            windows.push_back(target_.window);
            break;
        case DrawTarget::Kind::RootWindow:
            windows.push_back(DefaultRootWindow(display_));
            break;
        case DrawTarget::Kind::OwnWindow:
            windows.push_back(createOwnWindow(display_, OwnWindowWidth, OwnWindowHeight));
            break;
        case DrawTarget::Kind::FullScreen:
            for (const ScreenArea& area : covered_) windows.push_back(createCoverWindow(display_, area));
            break;
        }
        for (Window window : windows) addSurface(window);
        // A host's window: its resizes and its end; the host keeps the input.
        if (hostsWindow()) XSelectInput(display_, windows.front(), StructureNotifyMask);
        setSwapIntervals();
        if (target_.kind == DrawTarget::Kind::FullScreen) {
            Window root = 0, child = 0;
            int winX = 0, winY = 0;
            unsigned int mask = 0;
            XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &pointerStartX_,
                          &pointerStartY_, &winX, &winY, &mask);
        }
        XSync(display_, False);
    }

    // --music plays anywhere; otherwise only a window that holds a whole
    // monitor plays (not a settings tool's preview pane), judged at the start.
    bool musicWanted() {
        if (!target_.musicWanted) return false;
        if (options_.music) return true;
        const std::vector<ScreenArea> monitors = listMonitors(display_);
        return std::any_of(surfaces_.begin(), surfaces_.end(), [&](const auto& surface) {
            return coversAWholeMonitor(windowArea(display_, surface->window()), monitors);
        });
    }

    // The pixels that one frame fills in tamaruka's own windows, all together.
    std::int64_t framePixels() {
        if (target_.kind == DrawTarget::Kind::OwnWindow) return std::int64_t{OwnWindowWidth} * OwnWindowHeight;
        std::int64_t sum = 0;
        for (const ScreenArea& area : covered_) sum += std::int64_t{area.width} * area.height;
        return sum;
    }

    void addSurface(Window window) {
        surfaces_.push_back(std::make_unique<SceneSurface>(display_, window, surfaceSettings_));
        ++surfaceSettings_.seedOffset;
    }

    // Several windows would each wait for the display in turn; the pacer
    // keeps their common pace instead.
    void setSwapIntervals() {
        for (auto& surface : surfaces_) surface->requestSwapInterval(surfaces_.size() == 1 ? 1 : 0);
    }

    // --fullscreen after monitors were added, removed or moved: windows over
    // monitors that went away close, new monitors get windows with scenes of
    // their own, and the windows whose monitor stayed keep their scenes. The
    // new windows come before the old ones go, so that the grab moves over
    // without a gap.
    void followMonitors() {
        monitorsChanged_ = false;
        const std::vector<ScreenArea> wanted = monitorsToCover(listMonitors(display_));
        const CoverChange change = coverChange(covered_, wanted);
        if (!change.any()) return;
        std::vector<std::unique_ptr<SceneSurface>> closing;
        std::vector<ScreenArea> kept;
        std::vector<std::unique_ptr<SceneSurface>> staying;
        for (std::size_t i = 0; i < surfaces_.size(); ++i) {
            const bool closes = std::find(change.close.begin(), change.close.end(), i) != change.close.end();
            (closes ? closing : staying).push_back(std::move(surfaces_[i]));
            if (!closes) kept.push_back(covered_[i]);
        }
        surfaces_ = std::move(staying);
        covered_ = std::move(kept);
        for (const ScreenArea& area : change.open) {
            addSurface(createCoverWindow(display_, area));
            covered_.push_back(area);
        }
        setSwapIntervals();
        XSync(display_, False);
        if (grabWindow_ != surfaces_.front()->window()) {
            keyboardGrabbed_ = pointerGrabbed_ = false;
            grabAttempts_ = 0;
            grabInput();
        }
        for (auto& surface : closing) {
            const Window window = surface->window();
            surface.reset();
            destroyCoverWindow(display_, window);
        }
        XSync(display_, False);
    }

    std::chrono::nanoseconds framePeriod() {
        return options_.delay ? std::chrono::nanoseconds(*options_.delay)
                              : FramePacer::periodForRefresh(displayRefresh());
    }

    bool hostsWindow() const {
        return target_.kind == DrawTarget::Kind::GivenWindow || target_.kind == DrawTarget::Kind::RootWindow;
    }

    // The slowest refresh among the windows' monitors; 0 when none is known.
    double displayRefresh() {
        const std::vector<DisplayOutput> outputs = listOutputs(display_);
        double slowest = 0;
        for (const auto& surface : surfaces_) {
            const double hz = refreshForArea(outputs, windowArea(display_, surface->window()));
            if (hz > 0 && (slowest == 0 || hz < slowest)) slowest = hz;
        }
        return slowest;
    }

    SceneSurface* surfaceOf(Window window) {
        for (auto& surface : surfaces_)
            if (surface->window() == window) return surface.get();
        return nullptr;
    }

    void handleXEvents() {
        while (!ending_ && XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            handleXEvent(event);
        }
    }

    void handleXEvent(XEvent& event) {
        if (target_.kind == DrawTarget::Kind::FullScreen && isMonitorChange(display_, event)) {
            monitorsChanged_ = true;
            return;
        }
        switch (event.type) {
        case ConfigureNotify:
            if (SceneSurface* surface = surfaceOf(event.xconfigure.window))
                surface->resize(event.xconfigure.width, event.xconfigure.height);
            break;
        case DestroyNotify:
            if (surfaceOf(event.xdestroywindow.window)) {
                hostWindowDestroyed_ = true;
                ending_ = true;
            }
            break;
        case ClientMessage:
            // The window manager's close button on our own window.
            if (target_.kind == DrawTarget::Kind::OwnWindow &&
                event.xclient.message_type == XInternAtom(display_, "WM_PROTOCOLS", False) &&
                static_cast<Atom>(event.xclient.data.l[0]) == XInternAtom(display_, "WM_DELETE_WINDOW", False))
                ending_ = true;
            break;
        case KeyPress:
            if (target_.kind == DrawTarget::Kind::FullScreen) ending_ = true;
            else if (target_.kind == DrawTarget::Kind::OwnWindow &&
                     XLookupKeysym(&event.xkey, 0) == XK_Escape)
                ending_ = true;
            break;
        case ButtonPress:
            if (target_.kind == DrawTarget::Kind::FullScreen) ending_ = true;
            break;
        case MotionNotify:
            if (target_.kind == DrawTarget::Kind::FullScreen &&
                pointerMovedFarEnough(pointerStartX_, pointerStartY_, event.xmotion.x_root, event.xmotion.y_root))
                ending_ = true;
            break;
        default:
            break;
        }
    }

    // --fullscreen takes the keyboard and the pointer once its windows can be
    // grabbed, so that every key and every move reaches it.
    void grabInput() {
        if (grabAttempts_ >= GrabAttempts || (keyboardGrabbed_ && pointerGrabbed_)) return;
        ++grabAttempts_;
        const Window window = surfaces_.front()->window();
        grabWindow_ = window;
        if (!keyboardGrabbed_)
            keyboardGrabbed_ = XGrabKeyboard(display_, window, False, GrabModeAsync, GrabModeAsync,
                                             CurrentTime) == GrabSuccess;
        if (!pointerGrabbed_)
            pointerGrabbed_ = XGrabPointer(display_, window, False, ButtonPressMask | PointerMotionMask,
                                           GrabModeAsync, GrabModeAsync, None, None,
                                           CurrentTime) == GrabSuccess;
    }

    void drawFrames() {
        // The clocks are read only for the figures that are shown.
        std::string fpsText;
        if (options_.showFps) {
            fps_.frame(wallSeconds(), processCpuSeconds());
            fpsText = fps_.text();
        }
        for (auto& surface : surfaces_) surface->drawFrame(fpsText);
        if (music_) music_->tick();
    }

    // Waits for the frame's start on the X connection and the signal pipe, so
    // that events are taken as they come and a stop signal ends the wait.
    void waitForNextFrame(std::chrono::nanoseconds delay) {
        const Clock::time_point start = Clock::now() + delay;
        for (;;) {
            handleXEvents();
            if (ending_) return;
            const auto left = start - Clock::now();
            if (left <= Clock::duration::zero()) return;
            const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            const timespec timeout{static_cast<time_t>(nanos / 1'000'000'000), static_cast<long>(nanos % 1'000'000'000)};
            pollfd fds[2] = {{x_->fd(), POLLIN, 0}, {stop_.fd(), POLLIN, 0}};
            if (ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) return;
            if (fds[1].revents & POLLIN) return;  // the loop reads the signal
        }
    }

    void stopMusic() {
        if (music_) music_->stop();
        music_.reset();
    }

    DrawTarget target_;
    DisplayModeOptions options_;
    const StopOnSignal& stop_;
    std::unique_ptr<XConnection> x_;  // outlives the surfaces' GL contexts
    Display* display_ = nullptr;
    std::vector<std::unique_ptr<SceneSurface>> surfaces_;
    SceneSurface::Settings surfaceSettings_;  // for the next surface: each gets its own seed
    std::vector<ScreenArea> covered_;  // --fullscreen: the monitor under each surface
    bool monitorsChanged_ = false;
    std::unique_ptr<DisplayModeMusic> music_;
    FpsMeter fps_;
    bool ending_ = false;
    bool hostWindowDestroyed_ = false;
    int pointerStartX_ = 0, pointerStartY_ = 0;
    int grabAttempts_ = 0;
    Window grabWindow_ = 0;
    bool keyboardGrabbed_ = false, pointerGrabbed_ = false;
};

}  // namespace

int runDisplayMode(const DrawTarget& target, const DisplayModeOptions& options, const StopOnSignal& stop) {
    return DisplayModeRun(target, options, stop).run();
}

}  // namespace tamaruka

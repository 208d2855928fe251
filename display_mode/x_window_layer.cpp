#include "display_mode/x_window_layer.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <algorithm>
#include <cerrno>
#include <ctime>
#include <poll.h>
#include <vector>

#include "common/frame_pacer.h"
#include "common/software_gl_threads.h"
#include "display_mode/gl_window_surface.h"
#include "display_mode/screen_areas.h"
#include "display_mode/x_drawing_choice.h"
#include "display_mode/x_image_presenter.h"
#include "display_mode/x_connection.h"
#include "display_mode/x_screen.h"

namespace tamaruka {

namespace {

// Tries at taking the keyboard and pointer in --fullscreen, one a frame, while
// the new windows become viewable or another client lets go; after them one
// a second for as long as it runs, so that a client that held the keyboard
// for long (a menu, another locker) does not leave it deaf to keys for good.
constexpr int GrabAttempts = 120;
constexpr std::chrono::seconds LateGrabInterval{1};

class XWindowLayer final : public WindowLayer {
public:
    explicit XWindowLayer(const DrawTarget& target) : target_(target) {}

    ~XWindowLayer() override {
        XConnection::setConnectionLostAction(nullptr);
        windows_.clear();  // the GL contexts go before the connection
    }

    void open(WindowLayerEvents& events) override {
        x_ = std::make_unique<XConnection>();
        display_ = x_->display();
        if (fullScreen()) {
            // Watched before the monitors are read, so that no change slips between.
            watchMonitorChanges(display_);
            covered_ = monitorsToCover(listMonitors(display_));
        }
        // Its own windows have no depth buffer; before the first GLX call.
        if (!hostsWindow()) chooseSoftwareGlThreads(framePixels());
        switch (target_.kind) {
        case DrawTarget::Kind::GivenWindow:
            addWindow(target_.window, events);
            break;
        case DrawTarget::Kind::RootWindow:
            addWindow(DefaultRootWindow(display_), events);
            break;
        case DrawTarget::Kind::OwnWindow:
            addWindow(createOwnWindow(display_, OwnWindowWidth, OwnWindowHeight), events);
            break;
        case DrawTarget::Kind::FullScreen:
            for (const ScreenArea& area : covered_) addWindow(createCoverWindow(display_, area), events);
            break;
        }
        // A host's window: its resizes, its end and its parts shown again; the
        // host keeps the input.
        if (hostsWindow()) XSelectInput(display_, windows_.front().window, StructureNotifyMask | ExposureMask);
        setSwapIntervals();
        if (fullScreen()) {
            Window root = 0, child = 0;
            int winX = 0, winY = 0;
            unsigned int mask = 0;
            XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &pointerStartX_,
                          &pointerStartY_, &winX, &winY, &mask);
        }
        XSync(display_, False);
    }

    std::string displayName() const override { return x_->name(); }

    std::chrono::nanoseconds displayFramePeriod() override {
        return FramePacer::periodForRefresh(displayRefresh());
    }

    void dispatch(WindowLayerEvents& events) override {
        handleXEvents(events);
        if (ending_) return;
        if (monitorsChanged_) followMonitors(events);
        if (fullScreen()) grabInput();
    }

    // Waits for the frame's start on the X connection and the signal pipe, so
    // that events are taken as they come and a stop signal ends the wait.
    void waitForNextFrame(Clock::time_point start, int stopFd, WindowLayerEvents& events) override {
        for (;;) {
            handleXEvents(events);
            if (ending_) return;
            const auto left = start - Clock::now();
            if (left <= Clock::duration::zero()) return;
            const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
            const timespec timeout{static_cast<time_t>(nanos / 1'000'000'000), static_cast<long>(nanos % 1'000'000'000)};
            pollfd fds[2] = {{x_->fd(), POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (ppoll(fds, 2, &timeout, nullptr) < 0 && errno != EINTR) return;
            if (fds[1].revents & POLLIN) return;  // the loop reads the signal
        }
    }

    bool coversAWholeMonitor() override {
        const std::vector<ScreenArea> monitors = listMonitors(display_);
        return std::any_of(windows_.begin(), windows_.end(), [&](const XWindowEntry& entry) {
            return tamaruka::coversAWholeMonitor(windowArea(display_, entry.window), monitors);
        });
    }

    bool windowsAlive() const override { return !XConnection::drawableLost() && !hostWindowDestroyed_; }

    void setConnectionLostAction(std::function<void()> action) override {
        XConnection::setConnectionLostAction(std::move(action));
    }

private:
    struct XWindowEntry {
        int id = 0;
        Window window = 0;
        // The window's GL context: it draws the frames, or, released, only
        // tells the largest size GL would draw when the frames are composed
        // on the CPU and shown through `image`.
        std::unique_ptr<GlWindowSurface> gl;
        std::unique_ptr<XImagePresenter> image;
        FramePresenter& presenter() { return image ? static_cast<FramePresenter&>(*image) : *gl; }
    };

    bool fullScreen() const { return target_.kind == DrawTarget::Kind::FullScreen; }

    bool hostsWindow() const {
        return target_.kind == DrawTarget::Kind::GivenWindow || target_.kind == DrawTarget::Kind::RootWindow;
    }

    // The pixels that one frame fills in tamaruka's own windows, all together.
    std::int64_t framePixels() const {
        if (target_.kind == DrawTarget::Kind::OwnWindow) return std::int64_t{OwnWindowWidth} * OwnWindowHeight;
        std::int64_t sum = 0;
        for (const ScreenArea& area : covered_) sum += std::int64_t{area.width} * area.height;
        return sum;
    }

    void addWindow(Window window, WindowLayerEvents& events) {
        XWindowEntry entry{nextId_++, window, std::make_unique<GlWindowSurface>(display_, window), nullptr};
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        entry.gl->makeCurrent();
        if (chooseXWindowDrawing(display_, window) == FrameDrawing::Cpu) {
            entry.gl->releaseContext();
            entry.image = std::make_unique<XImagePresenter>(display_, window, attributes.visual, attributes.depth);
        }
        windows_.push_back(std::move(entry));
        events.windowOpened(windows_.back().id, windows_.back().presenter(), attributes.width, attributes.height);
    }

    // Several windows would each wait for the display in turn; the pacer
    // keeps their common pace instead.
    void setSwapIntervals() {
        for (auto& entry : windows_) {
            if (entry.image) continue;
            entry.gl->makeCurrent();
            entry.gl->requestSwapInterval(windows_.size() == 1 ? 1 : 0);
        }
    }

    // --fullscreen after monitors were added, removed or moved: windows over
    // monitors that went away close, new monitors get windows with scenes of
    // their own, and the windows whose monitor stayed keep their scenes. The
    // new windows come before the old ones go, so that the grab moves over
    // without a gap.
    void followMonitors(WindowLayerEvents& events) {
        monitorsChanged_ = false;
        const std::vector<ScreenArea> wanted = monitorsToCover(listMonitors(display_));
        const CoverChange change = coverChange(covered_, wanted);
        if (!change.any()) return;
        std::vector<XWindowEntry> closing;
        std::vector<ScreenArea> kept;
        std::vector<XWindowEntry> staying;
        for (std::size_t i = 0; i < windows_.size(); ++i) {
            const bool closes = std::find(change.close.begin(), change.close.end(), i) != change.close.end();
            (closes ? closing : staying).push_back(std::move(windows_[i]));
            if (!closes) kept.push_back(covered_[i]);
        }
        windows_ = std::move(staying);
        covered_ = std::move(kept);
        for (const ScreenArea& area : change.open) {
            addWindow(createCoverWindow(display_, area), events);
            covered_.push_back(area);
        }
        setSwapIntervals();
        XSync(display_, False);
        if (grabWindow_ != windows_.front().window) {
            keyboardGrabbed_ = pointerGrabbed_ = false;
            grabAttempts_ = 0;
            grabInput();
        }
        for (auto& entry : closing) {
            events.windowClosing(entry.id);
            entry.image.reset();
            entry.gl.reset();
            destroyCoverWindow(display_, entry.window);
        }
        XSync(display_, False);
    }

    // The slowest refresh among the windows' monitors; 0 when none is known.
    double displayRefresh() {
        const std::vector<DisplayOutput> outputs = listOutputs(display_);
        double slowest = 0;
        for (const auto& entry : windows_) {
            const double hz = refreshForArea(outputs, windowArea(display_, entry.window));
            if (hz > 0 && (slowest == 0 || hz < slowest)) slowest = hz;
        }
        return slowest;
    }

    const XWindowEntry* entryOf(Window window) const {
        for (const auto& entry : windows_)
            if (entry.window == window) return &entry;
        return nullptr;
    }

    void handleXEvents(WindowLayerEvents& events) {
        while (!ending_ && XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            handleXEvent(event, events);
        }
    }

    void end(WindowLayerEvents& events) {
        ending_ = true;
        events.endRequested();
    }

    void handleXEvent(XEvent& event, WindowLayerEvents& events) {
        if (fullScreen() && isMonitorChange(display_, event)) {
            monitorsChanged_ = true;
            return;
        }
        switch (event.type) {
        case ConfigureNotify:
            if (const XWindowEntry* entry = entryOf(event.xconfigure.window)) {
                // Too large to draw: the run ends with one line rather than a crash.
                entry->gl->checkSize(event.xconfigure.width, event.xconfigure.height, false);
                events.windowResized(entry->id, event.xconfigure.width, event.xconfigure.height);
            }
            break;
        case Expose:
            // Frames in memory are put only where they changed: a part shown
            // again needs the whole picture.
            if (const XWindowEntry* entry = entryOf(event.xexpose.window); entry && entry->image)
                entry->image->putWholeImageNext();
            break;
        case DestroyNotify:
            if (entryOf(event.xdestroywindow.window)) {
                hostWindowDestroyed_ = true;
                end(events);
            }
            break;
        case ClientMessage:
            // The window manager's close button on our own window.
            if (target_.kind == DrawTarget::Kind::OwnWindow &&
                event.xclient.message_type == XInternAtom(display_, "WM_PROTOCOLS", False) &&
                static_cast<Atom>(event.xclient.data.l[0]) == XInternAtom(display_, "WM_DELETE_WINDOW", False))
                end(events);
            break;
        case KeyPress:
            if (fullScreen()) end(events);
            else if (target_.kind == DrawTarget::Kind::OwnWindow && XLookupKeysym(&event.xkey, 0) == XK_Escape)
                end(events);
            break;
        case ButtonPress:
            if (fullScreen()) end(events);
            break;
        case MotionNotify:
            if (fullScreen() &&
                pointerMovedFarEnough(pointerStartX_, pointerStartY_, event.xmotion.x_root, event.xmotion.y_root))
                end(events);
            break;
        default:
            break;
        }
    }

    // --fullscreen takes the keyboard and the pointer once its windows can be
    // grabbed, so that every key and every move reaches it.
    void grabInput() {
        if (keyboardGrabbed_ && pointerGrabbed_) return;
        if (grabAttempts_ >= GrabAttempts) {
            const Clock::time_point now = Clock::now();
            if (now < nextLateGrab_) return;
            nextLateGrab_ = now + LateGrabInterval;
        } else {
            ++grabAttempts_;
        }
        const Window window = windows_.front().window;
        grabWindow_ = window;
        if (!keyboardGrabbed_)
            keyboardGrabbed_ = XGrabKeyboard(display_, window, False, GrabModeAsync, GrabModeAsync,
                                             CurrentTime) == GrabSuccess;
        if (!pointerGrabbed_)
            pointerGrabbed_ = XGrabPointer(display_, window, False, ButtonPressMask | PointerMotionMask,
                                           GrabModeAsync, GrabModeAsync, None, None,
                                           CurrentTime) == GrabSuccess;
    }

    DrawTarget target_;
    std::unique_ptr<XConnection> x_;  // outlives the GL contexts
    Display* display_ = nullptr;
    std::vector<XWindowEntry> windows_;
    std::vector<ScreenArea> covered_;  // --fullscreen: the monitor under each window
    int nextId_ = 0;
    bool monitorsChanged_ = false;
    bool ending_ = false;
    bool hostWindowDestroyed_ = false;
    int pointerStartX_ = 0, pointerStartY_ = 0;
    int grabAttempts_ = 0;
    Clock::time_point nextLateGrab_{};
    Window grabWindow_ = 0;
    bool keyboardGrabbed_ = false, pointerGrabbed_ = false;
};

}  // namespace

std::unique_ptr<WindowLayer> makeXWindowLayer(const DrawTarget& target) {
    return std::make_unique<XWindowLayer>(target);
}

}  // namespace tamaruka

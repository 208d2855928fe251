#include "display_mode/wayland_window_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <unistd.h>
#include <vector>
#include <wayland-client.h>

#include "common/software_gl_threads.h"
#include "display_mode/startup_error.h"
#include "display_mode/wayland_egl.h"
#include "display_mode/wayland_input.h"
#include "display_mode/wayland_output.h"
#include "display_mode/wayland_surface.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace tamaruka {

namespace {

// With no surface ready for a frame the loop still comes round this often,
// for the music's checks.
constexpr std::chrono::seconds IdleWake{1};

std::string waylandDisplayName() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return name && *name ? name : "wayland-0";
}

class WaylandWindowLayer final : public WindowLayer {
public:
    explicit WaylandWindowLayer(const DrawTarget& target)
        : fullScreen_(target.kind == DrawTarget::Kind::FullScreen),
          input_(std::make_unique<WaylandInput>(fullScreen_, [this](wl_surface* s) { return originOf(s); })) {}

    ~WaylandWindowLayer() override {
        windows_.clear();
        egl_.reset();
        input_.reset();
        outputs_.clear();
        if (outputManager_) zxdg_output_manager_v1_destroy(outputManager_);
        if (wmBase_) xdg_wm_base_destroy(wmBase_);
        if (shm_) wl_shm_destroy(shm_);
        if (compositor_) wl_compositor_destroy(compositor_);
        if (registry_) wl_registry_destroy(registry_);
        if (display_) wl_display_disconnect(display_);
    }

    void open(WindowLayerEvents& events) override {
        display_ = wl_display_connect(nullptr);
        if (!display_) throw StartupError("cannot connect to the Wayland compositor '" + waylandDisplayName() + "'");
        registry_ = wl_display_get_registry(display_);
        static const wl_registry_listener listener = {onGlobal, onGlobalRemove};
        wl_registry_add_listener(registry_, &listener, this);
        roundtrip();
        if (!compositor_ || !wmBase_) throw StartupError("the Wayland compositor offers no xdg-shell windows");
        for (auto& output : outputs_) output->describeWith(outputManager_);
        roundtrip();
        // Before EGL loads the driver.
        chooseSoftwareGlThreads(framePixels());
        egl_ = std::make_unique<WaylandEgl>(display_);
        if (!fullScreen_) openWindow(events, {nullptr, OwnWindowWidth, OwnWindowHeight, 1}, nullptr);
        update(events);
        wl_display_flush(display_);
    }

    std::string displayName() const override { return waylandDisplayName(); }

    // The frame callbacks pace the frames.
    std::chrono::nanoseconds displayFramePeriod() override { return std::chrono::nanoseconds::zero(); }

    void dispatch(WindowLayerEvents& events) override {
        pump(0, -1);
        update(events);
    }

    void waitForNextFrame(Clock::time_point earliest, int stopFd, WindowLayerEvents& events) override {
        const Clock::time_point giveUp = std::max(earliest, Clock::now()) + IdleWake;
        for (;;) {
            update(events);
            if (ending_) return;
            const Clock::time_point now = Clock::now();
            if ((now >= earliest && anyReady()) || now >= giveUp) return;
            const Clock::time_point until = now < earliest ? earliest : giveUp;
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
            if (pump(static_cast<int>(wait), stopFd)) return;  // the loop reads the signal
        }
    }

    // A client does not learn where its window lies; the full-screen
    // surfaces each hold an output.
    bool coversAWholeMonitor() override { return fullScreen_; }

    bool windowsAlive() const override { return true; }  // a lost compositor ends the program at once

    void setConnectionLostAction(std::function<void()> action) override { connectionLostAction_ = std::move(action); }

private:
    struct WaylandWindow {
        int id = 0;
        WaylandOutput* output = nullptr;  // full screen on it; null for the window
        std::unique_ptr<WaylandSurface> surface;
    };

    static void onGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        auto* self = static_cast<WaylandWindowLayer*>(data);
        auto bind = [&](const wl_interface* wanted, uint32_t most) {
            return wl_registry_bind(registry, name, wanted, std::min(version, most));
        };
        if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
            self->compositor_ = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
        } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
            self->wmBase_ = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
            static const xdg_wm_base_listener listener = {onPing};
            xdg_wm_base_add_listener(self->wmBase_, &listener, self);
        } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
            self->shm_ = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
        } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && version >= 5) {
            self->input_->useSeat(static_cast<wl_seat*>(bind(&wl_seat_interface, 5)));
        } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
            auto* output = static_cast<wl_output*>(bind(&wl_output_interface, 3));
            self->outputs_.push_back(std::make_unique<WaylandOutput>(output, name));
            self->outputs_.back()->describeWith(self->outputManager_);
        } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
            self->outputManager_ =
                static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 2));
        }
    }

    static void onGlobalRemove(void* data, wl_registry*, uint32_t name) {
        for (auto& output : static_cast<WaylandWindowLayer*>(data)->outputs_)
            if (output->globalName() == name) output->removed = true;
    }

    static void onPing(void*, xdg_wm_base* wmBase, uint32_t serial) { xdg_wm_base_pong(wmBase, serial); }

    void roundtrip() {
        if (wl_display_roundtrip(display_) < 0) lost();
    }

    // Sends what is queued, waits up to `timeoutMs` (-1: no limit) for the
    // compositor or `stopFd`, and runs the handlers of what came. Returns
    // whether `stopFd` is readable.
    bool pump(int timeoutMs, int stopFd) {
        while (wl_display_prepare_read(display_) != 0)
            if (wl_display_dispatch_pending(display_) < 0) lost();
        if (wl_display_flush(display_) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display_);
            lost();
        }
        pollfd fds[2] = {{wl_display_get_fd(display_), POLLIN, 0}, {stopFd, POLLIN, 0}};
        const int ready = poll(fds, stopFd >= 0 ? 2 : 1, timeoutMs);
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP))) {
            if (wl_display_read_events(display_) < 0) lost();
        } else {
            wl_display_cancel_read(display_);
        }
        if (wl_display_dispatch_pending(display_) < 0) lost();
        return ready > 0 && stopFd >= 0 && (fds[1].revents & POLLIN);
    }

    [[noreturn]] void lost() {
        std::fputs("tamaruka: lost the connection to the Wayland compositor\n", stderr);
        if (connectionLostAction_) connectionLostAction_();
        _exit(1);  // EGL and the connection cannot be taken down in order any more
    }

    // The pixels that one frame fills, all surfaces together.
    std::int64_t framePixels() const {
        if (!fullScreen_) return std::int64_t{OwnWindowWidth} * OwnWindowHeight;
        std::int64_t sum = 0;
        for (const auto& output : outputs_) sum += std::int64_t{output->modeWidth()} * output->modeHeight();
        return sum;
    }

    void openWindow(WindowLayerEvents& events, const WaylandSurface::Role& role, WaylandOutput* output) {
        windows_.push_back({nextId_++, output, std::make_unique<WaylandSurface>(compositor_, wmBase_, shm_, *egl_, role)});
        const WaylandSurface& surface = *windows_.back().surface;
        events.windowOpened(windows_.back().id, *windows_.back().surface, surface.bufferWidth(), surface.bufferHeight());
    }

    // Brings the windows in line with the outputs and the compositor's
    // configures, and ends the run on the user's wish.
    void update(WindowLayerEvents& events) {
        for (auto window = windows_.begin(); window != windows_.end();) {
            if (window->output && window->output->removed) {
                events.windowClosing(window->id);
                window = windows_.erase(window);
            } else {
                ++window;
            }
        }
        std::erase_if(outputs_, [](const auto& output) { return output->removed; });
        if (fullScreen_) {
            for (auto& output : outputs_) {
                const bool covered = std::any_of(windows_.begin(), windows_.end(),
                                                 [&](const WaylandWindow& w) { return w.output == output.get(); });
                if (covered || !output->described()) continue;
                const int scale = output->scale();
                openWindow(events, {output->output(), output->modeWidth() / scale, output->modeHeight() / scale, scale},
                           output.get());
            }
        }
        for (auto& window : windows_) {
            window.surface->showDrawnFrame();
            window.surface->setScale(window.output ? window.output->scale() : enteredScale(*window.surface));
            if (window.surface->takeResize())
                events.windowResized(window.id, window.surface->bufferWidth(), window.surface->bufferHeight());
            if (window.surface->closeRequested()) end(events);
        }
        if (input_->endRequested()) end(events);
    }

    void end(WindowLayerEvents& events) {
        if (ending_) return;
        ending_ = true;
        events.endRequested();
    }

    // A window is as sharp as the densest output that shows it.
    int enteredScale(const WaylandSurface& surface) const {
        int scale = 1;
        for (wl_output* entered : surface.enteredOutputs())
            for (const auto& output : outputs_)
                if (output->output() == entered) scale = std::max(scale, output->scale());
        return scale;
    }

    bool anyReady() const {
        return std::any_of(windows_.begin(), windows_.end(),
                           [](const WaylandWindow& w) { return w.surface->readyForFrame(); });
    }

    std::optional<std::pair<int, int>> originOf(wl_surface* surface) const {
        for (const auto& window : windows_)
            if (window.surface->surface() == surface && window.output)
                return std::pair{window.output->logicalX(), window.output->logicalY()};
        return std::nullopt;
    }

    bool fullScreen_;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    xdg_wm_base* wmBase_ = nullptr;
    wl_shm* shm_ = nullptr;
    zxdg_output_manager_v1* outputManager_ = nullptr;
    std::unique_ptr<WaylandInput> input_;
    std::vector<std::unique_ptr<WaylandOutput>> outputs_;
    std::unique_ptr<WaylandEgl> egl_;
    std::vector<WaylandWindow> windows_;
    int nextId_ = 0;
    bool ending_ = false;
    std::function<void()> connectionLostAction_;
};

}  // namespace

std::unique_ptr<WindowLayer> makeWaylandWindowLayer(const DrawTarget& target) {
    return std::make_unique<WaylandWindowLayer>(target);
}

bool waylandCompositorAnswers() {
    wl_display* display = wl_display_connect(nullptr);
    if (!display) return false;
    wl_display_disconnect(display);
    return true;
}

}  // namespace tamaruka

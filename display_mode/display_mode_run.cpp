#include "display_mode/display_mode_run.h"

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include "common/frame_pacer.h"
#include "display_mode/display_mode_music.h"
#include "display_mode/fps_meter.h"
#include "display_mode/scene_surface.h"
#include "display_mode/wayland_window_layer.h"
#include "display_mode/window_layer.h"
#include "display_mode/x_window_layer.h"

namespace tamaruka {

namespace {

using Clock = FramePacer::Clock;

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double wallSeconds() {
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// The frames, the music and the end of one run, over whichever window layer
// the display offers: each window the layer opens shows a scene of its own.
class DisplayModeRun final : private WindowLayerEvents {
public:
    DisplayModeRun(const DrawTarget& target, const DisplayModeOptions& options, DisplayProtocol protocol,
                   const StopOnSignal& stop)
        : target_(target), options_(options), protocol_(protocol), stop_(stop) {}

    int run() {
        if (stop_.requested()) return 0;
        surfaceSettings_.showFps = options_.showFps;
        const char* printSteps = std::getenv("TAMARUKA_PRINT_FRAME_STEPS");
        surfaceSettings_.printFrameSteps = printSteps && *printSteps && std::string(printSteps) != "0";
        // Hosts start one process per monitor in the same second: the process
        // id keeps their fireworks apart.
        surfaceSettings_.seedOffset = static_cast<std::uint32_t>(getpid()) * 2654435761u;

        layer_ = protocol_ == DisplayProtocol::Wayland ? makeWaylandWindowLayer(target_) : makeXWindowLayer(target_);
        layer_->open(*this);
        windowsChanged_ = false;
        FramePacer pacer(framePeriod());
        music_ = startDisplayModeMusic(musicWanted() && !stop_.requested(), layer_->displayName());
        layer_->setConnectionLostAction([this] { stopMusic(); });

        while (!ending_) {
            layer_->dispatch(*this);
            if (ending_ || stop_.requested() || !layer_->windowsAlive()) break;
            if (windowsChanged_) {
                windowsChanged_ = false;
                const std::chrono::nanoseconds period = framePeriod();
                if (period != pacer.period()) pacer = FramePacer(period);
            }
            drawFrames();
            layer_->waitForNextFrame(Clock::now() + pacer.delayBeforeNextFrame(Clock::now()), stop_.fd(),
                                     *this);
        }
        layer_->setConnectionLostAction(nullptr);
        stopMusic();
        const bool windowsAlive = layer_->windowsAlive();
        for (auto& [id, surface] : surfaces_) surface->shutdown(windowsAlive);
        surfaces_.clear();
        layer_.reset();
        return 0;
    }

private:
    void windowOpened(int id, FramePresenter& presenter, int width, int height) override {
        surfaces_[id] = std::make_unique<SceneSurface>(presenter, width, height, surfaceSettings_);
        ++surfaceSettings_.seedOffset;
        windowsChanged_ = true;
    }

    void windowResized(int id, int width, int height) override {
        if (auto found = surfaces_.find(id); found != surfaces_.end()) found->second->resize(width, height);
    }

    void windowClosing(int id) override {
        surfaces_.erase(id);
        windowsChanged_ = true;
    }

    void endRequested() override { ending_ = true; }

    // --music plays anywhere; otherwise only windows that hold a whole
    // monitor play (not a settings tool's preview pane), judged at the start.
    bool musicWanted() {
        if (!target_.musicWanted) return false;
        return options_.music.has_value() || layer_->coversAWholeMonitor();
    }

    std::chrono::nanoseconds framePeriod() {
        return options_.delay ? std::chrono::nanoseconds(*options_.delay) : layer_->displayFramePeriod();
    }

    void drawFrames() {
        if (music_) music_->tick();
        // A surface that is hidden, or whose last frame is not shown yet, waits.
        std::vector<SceneSurface*> ready;
        for (auto& [id, surface] : surfaces_)
            if (surface->readyForFrame()) ready.push_back(surface.get());
        if (ready.empty()) return;
        // The clocks are read only for the figures that are shown.
        std::string fpsText;
        if (options_.showFps) {
            fps_.frame(wallSeconds(), processCpuSeconds());
            fpsText = fps_.text();
        }
        for (SceneSurface* surface : ready) surface->drawFrame(fpsText);
    }

    void stopMusic() {
        if (music_) music_->stop();
        music_.reset();
    }

    DrawTarget target_;
    DisplayModeOptions options_;
    DisplayProtocol protocol_;
    const StopOnSignal& stop_;
    std::unique_ptr<WindowLayer> layer_;  // outlives the surfaces
    std::map<int, std::unique_ptr<SceneSurface>> surfaces_;  // by the layer's window id
    SceneSurface::Settings surfaceSettings_;  // for the next surface: each gets its own seed
    bool windowsChanged_ = false;
    std::unique_ptr<DisplayModeMusic> music_;
    FpsMeter fps_;
    bool ending_ = false;
};

}  // namespace

int runDisplayMode(const DrawTarget& target, const DisplayModeOptions& options, DisplayProtocol protocol,
                   const StopOnSignal& stop) {
    return DisplayModeRun(target, options, protocol, stop).run();
}

}  // namespace tamaruka

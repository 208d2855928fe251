#pragma once
#include <chrono>
#include <cstdint>

namespace tamaruka {

// The refresh rate of a display mode from its timings, as xrandr computes it;
// 0 when the timings are unknown (Xvfb reports them as 0).
double modeRefreshHz(std::uint64_t dotClock, unsigned hTotal, unsigned vTotal, bool doubleScan,
                     bool interlace);

// Presents no more frames than the display shows. Each frame gets one display
// period; a frame that starts before its period has come waits for it. Where
// the buffer swap already waits for the display the period has passed by the
// time the next frame starts, so the pacer adds nothing.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;

    // The period of a display refreshing hz times a second; 60 Hz when the
    // rate is unknown (0, negative or absurd), as Xvfb reports it.
    static std::chrono::nanoseconds periodForRefresh(double hz);

    explicit FramePacer(std::chrono::nanoseconds period) : period_(period) {}

    // How long to wait at `now` before the next frame may start; advances to
    // that frame. A pacer that fell more than a period behind (a slow frame,
    // a stopped process) starts afresh from `now` instead of catching up.
    std::chrono::nanoseconds delayBeforeNextFrame(Clock::time_point now);

    // delayBeforeNextFrame on the real clock, and the wait itself.
    void waitForNextFrame();

    std::chrono::nanoseconds period() const { return period_; }

private:
    std::chrono::nanoseconds period_;
    Clock::time_point next_{};
    bool started_ = false;
};

}  // namespace tamaruka

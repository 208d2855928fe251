#pragma once
#include <chrono>

#include "common/monotonic_clock.h"

namespace tamaruka {

// Presents no more frames than the display shows. Each frame gets one display
// period; a frame that starts before its period has come waits for it. Where
// the buffer swap already waits for the display the period has passed by the
// time the next frame starts, so the pacer adds nothing.
class FramePacer {
public:
    using Clock = std::chrono::steady_clock;  // MonotonicClock's time points

    // The period of a display refreshing hz times a second; 60 Hz when the
    // rate is unknown (0, negative or absurd), as Xvfb reports it.
    static std::chrono::nanoseconds periodForRefresh(double hz);

    explicit FramePacer(std::chrono::nanoseconds period, MonotonicClock& clock = steadyClock())
        : period_(period), clock_(&clock) {}

    // How long to wait at `now` before the next frame may start; advances to
    // that frame. A pacer that fell more than a period behind (a slow frame,
    // a stopped process) starts afresh from `now` instead of catching up.
    std::chrono::nanoseconds delayBeforeNextFrame(Clock::time_point now);

    // The same, at the pacer's clock's now.
    std::chrono::nanoseconds delayBeforeNextFrame() { return delayBeforeNextFrame(clock_->now()); }

    std::chrono::nanoseconds period() const { return period_; }

private:
    std::chrono::nanoseconds period_;
    MonotonicClock* clock_;
    Clock::time_point next_{};
    bool started_ = false;
};

}  // namespace tamaruka

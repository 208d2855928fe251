#include "common/frame_pacer.h"

#include <cstdint>

namespace tamaruka {

std::chrono::nanoseconds FramePacer::periodForRefresh(double hz) {
    // Refresh rates outside 1..1000 Hz are read errors, not displays.
    if (!(hz >= 1.0 && hz <= 1000.0)) hz = 60.0;
    return std::chrono::nanoseconds(static_cast<std::int64_t>(1e9 / hz));
}

std::chrono::nanoseconds FramePacer::delayBeforeNextFrame(Clock::time_point now) {
    if (!started_ || now > next_ + period_) {
        started_ = true;
        next_ = now + period_;
        return std::chrono::nanoseconds::zero();
    }
    const Clock::time_point start = now < next_ ? next_ : now;
    const auto delay = std::chrono::duration_cast<std::chrono::nanoseconds>(start - now);
    next_ += period_;
    return delay;
}

}  // namespace tamaruka

#pragma once
#include <cstdint>

namespace tamaruka {

// The millisecond tick that the scene reads. It advances with the real clock
// but by at most 100 ms between two readings, so that a stopped and continued
// process (a host's unlock dialog sends SIGSTOP, later SIGCONT) or any other
// long stall moves the fireworks by one ordinary step, not by the whole pause.
class ClampedTickClock {
public:
    static constexpr std::uint64_t MaxStepMilliseconds = 100;

    // The virtual tick starts at 0 at the real time `realStartMs`.
    explicit ClampedTickClock(std::uint64_t realStartMs) : lastReal_(realStartMs) {}

    // The tick at the real time `realNowMs` (a monotonic clock; a clock that
    // went back counts as no time). Wraps at 2^32 like the scene expects.
    std::uint32_t tick(std::uint64_t realNowMs);

private:
    std::uint64_t lastReal_;
    std::uint32_t virtual_ = 0;
};

}  // namespace tamaruka

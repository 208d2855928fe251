#include "display_mode/step_clock.h"

#include <algorithm>

namespace tamaruka {

std::uint32_t ClampedTickClock::tick(std::uint64_t realNowMs) {
    const std::uint64_t elapsed = realNowMs > lastReal_ ? realNowMs - lastReal_ : 0;
    lastReal_ = std::max(lastReal_, realNowMs);
    virtual_ += static_cast<std::uint32_t>(std::min(elapsed, MaxStepMilliseconds));
    return virtual_;
}

}  // namespace tamaruka

#pragma once
#include <chrono>

#include "common/monotonic_clock.h"

namespace tamaruka::test {

// A clock that moves only when the test moves it.
class ManualClock : public MonotonicClock {
public:
    time_point now() override { return now_; }
    void advance(std::chrono::nanoseconds by) { now_ += by; }

private:
    time_point now_{};
};

}  // namespace tamaruka::test

#pragma once
#include <chrono>

namespace tamaruka {

// The clock that frame pacing reads. The programs use the steady clock; the
// tests drive one of their own.
class MonotonicClock {
public:
    using time_point = std::chrono::steady_clock::time_point;
    virtual ~MonotonicClock() = default;
    virtual time_point now() = 0;
};

// The process's steady clock.
MonotonicClock& steadyClock();

}  // namespace tamaruka

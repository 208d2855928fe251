#include "common/monotonic_clock.h"

namespace tamaruka {
namespace {

class SteadyClock final : public MonotonicClock {
public:
    time_point now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace

MonotonicClock& steadyClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace tamaruka

#pragma once
#include <cstdint>

namespace tamaruka {

// The refresh rate of a display mode from its timings, as xrandr computes it;
// 0 when the timings are unknown (Xvfb reports them as 0).
double modeRefreshHz(std::uint64_t dotClock, unsigned hTotal, unsigned vTotal, bool doubleScan,
                     bool interlace);

}  // namespace tamaruka

#include "display_mode/fps_meter.h"

#include <cmath>
#include <cstdio>

namespace tamaruka {

void FpsMeter::frame(double wallSeconds, double cpuSeconds) {
    if (!started_) {
        started_ = true;
        startWall_ = wallSeconds;
        startCpu_ = cpuSeconds;
        return;
    }
    ++frames_;
    const double elapsed = wallSeconds - startWall_;
    if (elapsed < 1.0) return;
    char line[64];
    std::snprintf(line, sizeof line, "FPS: %.1f\nCPU: %.0f%%", frames_ / elapsed,
                  std::round(100.0 * (cpuSeconds - startCpu_) / elapsed));
    text_ = line;
    frames_ = 0;
    startWall_ = wallSeconds;
    startCpu_ = cpuSeconds;
}

}  // namespace tamaruka

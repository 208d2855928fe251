#include "display_mode/screen_areas.h"

#include <algorithm>
#include <cstdlib>

namespace tamaruka {

namespace {

bool contains(const ScreenArea& outer, const ScreenArea& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

long long overlap(const ScreenArea& a, const ScreenArea& b) {
    const long long w = std::min(a.x + a.width, b.x + b.width) - std::max(a.x, b.x);
    const long long h = std::min(a.y + a.height, b.y + b.height) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

double refreshForArea(std::span<const DisplayOutput> outputs, const ScreenArea& area) {
    double refresh = 0;
    long long best = 0;
    for (const DisplayOutput& output : outputs) {
        const long long shared = overlap(output.area, area);
        if (shared > best) {
            best = shared;
            refresh = output.refreshHz;
        }
    }
    return refresh;
}

std::vector<ScreenArea> monitorsToCover(std::span<const ScreenArea> monitors) {
    std::vector<ScreenArea> kept;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const ScreenArea& m = monitors[i];
        if (m.width <= 0 || m.height <= 0) continue;
        const bool holdsAnother = std::any_of(monitors.begin(), monitors.end(), [&](const ScreenArea& other) {
            return other != m && other.width > 0 && other.height > 0 && contains(m, other);
        });
        const bool seenBefore = std::find(kept.begin(), kept.end(), m) != kept.end();
        if (!holdsAnother && !seenBefore) kept.push_back(m);
    }
    return kept;
}

CoverChange coverChange(std::span<const ScreenArea> covered, std::span<const ScreenArea> wanted) {
    CoverChange change;
    if (wanted.empty()) return change;
    auto listed = [](std::span<const ScreenArea> areas, const ScreenArea& area) {
        return std::find(areas.begin(), areas.end(), area) != areas.end();
    };
    for (std::size_t i = 0; i < covered.size(); ++i)
        if (!listed(wanted, covered[i])) change.close.push_back(i);
    for (const ScreenArea& area : wanted)
        if (!listed(covered, area)) change.open.push_back(area);
    return change;
}

bool pointerMovedFarEnough(int startX, int startY, int x, int y) {
    constexpr int Threshold = 30;
    return std::abs(x - startX) > Threshold && std::abs(y - startY) > Threshold;
}

bool coversAWholeMonitor(const ScreenArea& window, std::span<const ScreenArea> monitors) {
    return std::any_of(monitors.begin(), monitors.end(), [&](const ScreenArea& monitor) {
        return monitor.width > 0 && monitor.height > 0 && contains(window, monitor);
    });
}

}  // namespace tamaruka

#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tamaruka {

// A rectangle of the X screen in pixels.
struct ScreenArea {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenArea&) const = default;
};

// One lit output (a CRTC) of the display: where it shows and how often.
struct DisplayOutput {
    ScreenArea area;
    double refreshHz = 0;
};

// The refresh rate of the output that shows the largest part of `area`; 0
// when no output shows any of it or its rate is unknown.
double refreshForArea(std::span<const DisplayOutput> outputs, const ScreenArea& area);

// The monitors that --fullscreen covers, one scene each. A monitor that holds
// another one whole is left out (a screen split into monitors still lists the
// whole screen as well), and of monitors showing the same area (clones) the
// first is kept.
std::vector<ScreenArea> monitorsToCover(std::span<const ScreenArea> monitors);

// How the --fullscreen windows follow a change of monitors: the windows over
// areas no longer to be covered close, newly listed areas get windows, and a
// window whose area is still listed keeps its scene. The order of the areas
// counts for nothing. An empty list changes nothing, so that the screen is
// never left uncovered.
struct CoverChange {
    std::vector<std::size_t> close;  // positions in the covered areas
    std::vector<ScreenArea> open;
    bool any() const { return !close.empty() || !open.empty(); }
};
CoverChange coverChange(std::span<const ScreenArea> covered, std::span<const ScreenArea> wanted);

// Whether `window` holds at least one of the monitors whole (a monitor with no
// area counts for nothing). Without --music only such a window plays music:
// a settings tool's preview pane holds none.
bool coversAWholeMonitor(const ScreenArea& window, std::span<const ScreenArea> monitors);

// The run mode's rule for ending on the pointer: more than 30 pixels away
// from where it was at the start, on both axes at once.
bool pointerMovedFarEnough(int startX, int startY, int x, int y);

}  // namespace tamaruka

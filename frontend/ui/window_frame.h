#pragma once
#include <chrono>
#include <cstdint>
#include <optional>

namespace tamaruka {

// The widths of the frame a window manager puts around a window.
struct FrameExtents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

// Asks the window manager what frame it will give the window (which need not
// be mapped yet) and waits up to `wait` for the answer. nullopt when no
// window manager that answers such requests runs, or it did not answer.
std::optional<FrameExtents> requestFrameExtents(std::uint32_t window, std::chrono::milliseconds wait);

}  // namespace tamaruka

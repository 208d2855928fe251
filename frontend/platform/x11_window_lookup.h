#pragma once
#include <cstdint>
#include <optional>
#include <string_view>

namespace tamaruka::x11 {

// FindWindow by caption: looks through the X server's whole window tree (a
// reparenting window manager may nest a top-level window in several frames)
// for a WM_NAME or _NET_WM_NAME equal to the caption. Unmapped windows count.
// nullopt when there is none or no display.
std::optional<std::uint32_t> findTopLevelWindow(std::string_view caption);

}  // namespace tamaruka::x11

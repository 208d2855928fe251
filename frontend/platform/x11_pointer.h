#pragma once
#include <optional>

namespace tamaruka {

// GetCursorPos: the pointer position in screen pixels on the X server.
// nullopt when the pointer is on another screen or there is no display.
struct CursorPosition {
    int x = 0;
    int y = 0;
};
std::optional<CursorPosition> getCursorPos();

// ShowCursor: the display counter, with Win32's return values. It starts at 0;
// showCursor(true) increments it, showCursor(false) decrements it, and each
// returns the new count. The pointer is hidden on the X server (XFixes)
// while the count is negative.
int showCursor(bool show);

}  // namespace tamaruka

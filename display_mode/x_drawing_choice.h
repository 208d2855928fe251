#pragma once
#include <X11/Xlib.h>

#include "display_mode/drawing_choice.h"

namespace tamaruka {

// The drawing for an X window whose GL context is current: its renderer, its
// visual and the server's image format, and TAMARUKA_DRAWING.
FrameDrawing chooseXWindowDrawing(Display* display, Window window);

}  // namespace tamaruka

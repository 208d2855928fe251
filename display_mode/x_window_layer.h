#pragma once
#include <memory>

#include "display_mode/display_mode_options.h"
#include "display_mode/window_layer.h"

namespace tamaruka {

// The window layer on an X server ($DISPLAY): a host's window or the root
// window, a window of its own, or one borderless window over each RandR
// monitor, with GLX contexts.
std::unique_ptr<WindowLayer> makeXWindowLayer(const DrawTarget& target);

}  // namespace tamaruka

#pragma once
#include <memory>

#include "display_mode/display_mode_options.h"
#include "display_mode/window_layer.h"

namespace tamaruka {

// The window layer as a Wayland client ($WAYLAND_DISPLAY): one full-screen
// toplevel on each output, following the outputs that come and go, or one
// resizable window, each drawn with OpenGL through EGL.
std::unique_ptr<WindowLayer> makeWaylandWindowLayer(const DrawTarget& target);

// Whether a compositor accepts a connection on $WAYLAND_DISPLAY (wayland-0
// when unset).
bool waylandCompositorAnswers();

}  // namespace tamaruka

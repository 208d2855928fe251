#pragma once
#include "display_mode/display_mode_options.h"
#include "display_mode/display_protocol.h"
#include "display_mode/stop_on_signal.h"

namespace tamaruka {

// Runs the display mode on the X server or the Wayland compositor until a
// stop signal (told by `stop`), the end of its window or (in its own windows)
// the user ends it. Returns the exit code; throws StartupError when it cannot
// start.
int runDisplayMode(const DrawTarget& target, const DisplayModeOptions& options, DisplayProtocol protocol,
                   const StopOnSignal& stop);

}  // namespace tamaruka

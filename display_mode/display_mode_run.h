#pragma once
#include "display_mode/display_mode_options.h"

namespace tamaruka {

// Runs the display mode on the display until a stop signal, the end of its
// window or (in its own windows) the user ends it. Returns the exit code;
// throws StartupError when it cannot start.
int runDisplayMode(const DrawTarget& target, const DisplayModeOptions& options);

}  // namespace tamaruka

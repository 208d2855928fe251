#pragma once

namespace tamaruka {

// SIGTERM and SIGINT ask the renderer to end. The request is noted for the
// message loop, which runs the shutdown sequence on it. An error box on the
// screen cannot be waited for: SDL shows it from a child process and waits
// for that child, so the signal ends the child, and keeps ending any child
// that appears afterwards. The renderer starts no other process.
void installStopSignals();
bool stopRequested();

}  // namespace tamaruka

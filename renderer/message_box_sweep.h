#pragma once

namespace tamaruka {

// An error box on the screen cannot be waited for: SDL shows it from a child
// process and waits for that child. On a stop signal this hook (run in the
// handler) ends the child, and keeps ending any child that appears
// afterwards. The renderer starts no other process.
void sweepMessageBoxChildren();

}  // namespace tamaruka
